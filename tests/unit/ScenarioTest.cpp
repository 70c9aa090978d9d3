#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/runner/Scenario.h"

namespace {

std::vector<std::string> ScenarioFiles()
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(SLH_SCENARIO_DIR))
        if (entry.path().extension() == ".scn")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

void ExpectScenarioPasses(const std::string& script, const std::string& name)
{
    cScenarioPlayer player;
    player.Play(script);
    player.Finish();
    for (const std::string& failure : player.Failures())
        ADD_FAILURE() << name << ": " << failure;
}

}  // namespace

TEST(Scenario, DefaultScenarioPlaysWithoutFailure)
{
    ExpectScenarioPasses(DEFAULT_SCENARIO, "default scenario");
}

TEST(Scenario, EveryScenarioFilePlaysWithoutFailure)
{
    const std::vector<std::string> files = ScenarioFiles();
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files) {
        std::ifstream in(file);
        std::ostringstream text;
        text << in.rdbuf();
        ExpectScenarioPasses(text.str(), file);
    }
}

TEST(Scenario, ReportsBadLinesAndUnmetExpectations)
{
    cScenarioPlayer player;
    player.Play("frobnicate\nset HKLM LogMode 1\nstart ENGINE\nexpect title \"Wrong\"\n+5x\n");
    ASSERT_EQ(player.Failures().size(), 3u);
    EXPECT_NE(player.Failures()[0].find("line 1"), std::string::npos);
    EXPECT_NE(player.Failures()[1].find("line 4"), std::string::npos);
    EXPECT_NE(player.Failures()[2].find("line 5"), std::string::npos);
}
