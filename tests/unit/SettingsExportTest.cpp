#include <gtest/gtest.h>

#include "configurator/SettingsExport.h"
#include "foundation/MessageLogger.h"
#include "foundation/Settings.h"
#include "platform/WinConst.h"
#include "platform/sim/SimWindows.h"

namespace {

constexpr WindowHandle MAIN_WINDOW = 0x4711;
constexpr const char* REGEDIT = "C:\\Windows\\regedit.exe";

// The file named after "/e " in a command line, without its quotes.
std::string ExportTarget(const std::string& commandLine)
{
    const size_t at = commandLine.find("/e \"") + 4;
    return commandLine.substr(at, commandLine.find('"', at) - at);
}

class SettingsExport : public ::testing::Test {
protected:
    void SetUp() override { Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", "C:\\Logs"); }

    // The registry editor: writes the file it is asked for unless told not
    // to, and takes runTime virtual ms.
    void Regedit(bool writes, uint64_t runTime = 0)
    {
        cSimProgram regedit;
        regedit.Match = "regedit.exe";
        regedit.RunTime = runTime;
        if (writes)
            regedit.OnStart = [this](const std::string& commandLine) {
                Sim.Files().WriteNewFile(ExportTarget(commandLine), "REGEDIT4\r\n");
            };
        Sim.Processes().AddProgram(regedit);
    }

    const std::vector<cSimMessageBox>& Boxes() { return Sim.Dialogs().Shown(); }

    cSimWindows Sim;
    cMessageLogger Logger{Sim.Get(), "SLH Log.txt"};
    cSettingsExport Export{Sim.Get(), Logger, MAIN_WINDOW};
};

// Directly, not through the shell, whose "/c" would strip the outer quotes of
// a line with four.
TEST_F(SettingsExport, BothHivesGoIntoTheLogFolderThroughTheHiddenRegistryEditor)
{
    Regedit(true);
    Export.ExportSettings();

    const auto& launches = Sim.Processes().Launches();
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].CommandLine,
              "placeholder /e \"C:\\Logs\\SLH_HKLM.txt\" \"HKEY_LOCAL_MACHINE\\SOFTWARE\\Velderane\\Slumberhold\"");
    EXPECT_EQ(launches[1].CommandLine,
              "placeholder /e \"C:\\Logs\\SLH_HKCU.txt\" \"HKEY_CURRENT_USER\\SOFTWARE\\Velderane\\Slumberhold\"");
    for (const cSimLaunch& launch : launches) {
        EXPECT_EQ(launch.Application, REGEDIT);
        EXPECT_EQ(launch.Show, SHOW_HIDE);
    }
    // The folder did not exist before: it was made for the files.
    EXPECT_TRUE(Sim.Files().FileExists("C:\\Logs\\SLH_HKLM.txt"));
    EXPECT_TRUE(Sim.Files().FileExists("C:\\Logs\\SLH_HKCU.txt"));

    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, "Application settings exported");
    EXPECT_EQ(Boxes()[0].Caption, "Slumberhold");
    EXPECT_EQ(Boxes()[0].Style, MB_OK);
    EXPECT_EQ(Boxes()[0].Owner, MAIN_WINDOW);
}

TEST_F(SettingsExport, AnEditorThatHangsIsWaitedForFiveSecondsPerFile)
{
    Regedit(true, cSimProgram::RUNS_FOREVER);
    const uint64_t before = Sim.Clock().Now();

    Export.ExportSettings();

    EXPECT_GE(Sim.Clock().Now() - before, 10000u);
    EXPECT_LT(Sim.Clock().Now() - before, 10100u);
    ASSERT_EQ(Sim.Processes().Launches().size(), 2u);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, "Application settings exported");
}

TEST_F(SettingsExport, AMissingFileIsReportedAsAFailureNotAsExported)
{
    // An export of an earlier day must not pass for this one.
    Sim.Files().CreateDirectory("C:\\Logs");
    Sim.Files().WriteNewFile("C:\\Logs\\SLH_HKLM.txt", "old");
    Sim.Files().WriteNewFile("C:\\Logs\\SLH_HKCU.txt", "old");
    Regedit(false);

    Export.ExportSettings();

    // Both files were still tried.
    EXPECT_EQ(Sim.Processes().Launches().size(), 2u);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, "The application settings could not be exported to C:\\Logs");
    EXPECT_EQ(Boxes()[0].Caption, "Failed");
    EXPECT_EQ(Boxes()[0].Style, MB_OK | MB_ICONERROR);
}

}  // namespace
