// The application launcher on the real Windows backend: a hidden shell
// command whose output is captured, run by slhlaunch.exe.
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

// slhlaunch's result: "name=value" lines up to "--", then the captured output.
struct cLaunchResult {
    std::map<std::string, std::string> Values;
    std::string Output;
};

std::optional<cLaunchResult> ReadLaunchResult(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::stringstream content;
    content << file.rdbuf();
    const std::string text = content.str();
    const size_t separator = text.find("--\r\n");
    if (separator == std::string::npos)
        return std::nullopt;
    cLaunchResult result;
    std::istringstream head(text.substr(0, separator));
    for (std::string line; std::getline(head, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t equals = line.find('=');
        if (equals != std::string::npos)
            result.Values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    result.Output = text.substr(separator + 4);
    return result;
}

}  // namespace

TEST_F(cSlumberholdWineTest, HiddenShellCommandHandsBackItsOutputAndExitCodeAndLeavesNoFile)
{
    const std::string resultFile = "C:\\launch-result.txt";
    // Flags 0x43: hidden, through cmd.exe, standard output and error captured.
    cChildProcess& launcher = StartHelper("slhlaunch.exe", {resultFile, "0x43", "30000", "slhlaunch.exe", "child 3"});
    ASSERT_EQ(launcher.WaitForExit(60s), 0);

    const std::optional<cLaunchResult> result = ReadLaunchResult(HostPath(resultFile));
    ASSERT_TRUE(result) << "no result file";
    EXPECT_EQ(result->Values.at("launched"), "1");
    // The program's exit code, handed on by the shell.
    EXPECT_EQ(result->Values.at("exit"), "3");
    // Both streams, in the order written.
    EXPECT_EQ(result->Output, "out line\r\nerr line\r\n");

    // A file named after the command in the temporary folder, gone with the
    // launcher.
    const std::string outputFile = result->Values.at("file");
    const std::filesystem::path hostFile = HostPath(outputFile);
    ASSERT_FALSE(hostFile.empty()) << outputFile;
    EXPECT_EQ(hostFile.filename().string().substr(0, 3), "slh") << outputFile;
    EXPECT_EQ(hostFile.extension().string(), ".tmp") << outputFile;
    EXPECT_TRUE(std::filesystem::is_directory(hostFile.parent_path())) << outputFile;
    EXPECT_FALSE(std::filesystem::exists(hostFile)) << outputFile;
}
