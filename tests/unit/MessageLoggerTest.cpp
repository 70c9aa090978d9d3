#include <gtest/gtest.h>

#include "foundation/MessageLogger.h"
#include "platform/sim/SimWindows.h"

namespace {

constexpr const char* LOG_DIR = "C:\\Logs\\Slumberhold";
constexpr const char* LOG_FILE = "C:\\Logs\\Slumberhold\\SLH Log.txt";

class MessageLogger : public ::testing::Test {
protected:
    void SetUp() override
    {
        cLocalTime start{2026, 12, 3, 9, 1, 45, 14, 123};
        Sim.Clock().SetLocalTime(start);
        SetHklm("LogMode", 1);
        Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", LOG_DIR);
    }

    void SetHklm(const char* name, uint32_t value) { Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, name, value); }

    std::string ReadLog(const std::string& path = LOG_FILE)
    {
        std::string text;
        Sim.Files().ReadWholeFile(path, text);
        return text;
    }

    cSimWindows Sim;
};

TEST_F(MessageLogger, WritesFirstAndContinuationLinesWithCrLf)
{
    cMessageLogger logger(Sim.Get(), "SLH Log.txt");
    logger.WriteLine("Starting Slumberhold");
    logger.WriteLine("detail", false);
    EXPECT_EQ(ReadLog(), "Wed 09 Dec 2026 01:45:14.123 - Starting Slumberhold\r\n" + std::string(31, ' ') + "detail\r\n");
}

TEST_F(MessageLogger, WritesNothingAtAllWhileLoggingIsOff)
{
    SetHklm("LogMode", 0);
    int hookCalls = 0;
    cMessageLogger logger(Sim.Get(), "SLH Log.txt");
    logger.SetNewFileHook([&](const char*) { ++hookCalls; });
    logger.WriteLine("nothing");
    logger.WriteError("nothing", true);
    EXPECT_FALSE(Sim.Files().DirectoryExists("C:\\Logs"));
    EXPECT_EQ(hookCalls, 0);
}

TEST_F(MessageLogger, NewFileHookRunsOnceBeforeTheFirstLineOfEachNewFile)
{
    cMessageLogger logger(Sim.Get(), "SLH Log.txt");
    std::vector<std::string> paths;
    logger.SetNewFileHook([&](const char* path) {
        paths.push_back(path);
        Sim.Files().AppendToFile(path, "SUMMARY\r\n");
    });
    logger.WriteLine("one");
    logger.WriteLine("two");
    ASSERT_EQ(paths, std::vector<std::string>{LOG_FILE});
    EXPECT_EQ(ReadLog().rfind("SUMMARY\r\n", 0), 0u);

    logger.SetLogPath("C:\\Elsewhere\\Deep");  // a folder that does not exist yet
    logger.WriteLine("three");
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[1], "C:\\Elsewhere\\Deep\\SLH Log.txt");
    EXPECT_TRUE(Sim.Files().FileExists("C:\\Elsewhere\\Deep\\SLH Log.txt"));
}

TEST_F(MessageLogger, ErrorEntryAddsTheSystemTextOfTheLastError)
{
    cMessageLogger logger(Sim.Get(), "SLH Log.txt");
    Sim.Errors().SetLastError(5);
    logger.WriteError("CreateFile failed", false);
    Sim.Errors().SetLastError(0x1234ABCD);  // no system text
    logger.WriteError("Odd", true);
    const std::string indent(31, ' ');
    EXPECT_EQ(ReadLog(), indent + "CreateFile failed\r\n" + indent + "LastError=0005h: Access is denied.\r\n\r\n" +
                             "Wed 09 Dec 2026 01:45:14.123 - Odd\r\n" + indent + "LastError=1234ABCDh: \r\n");
}

TEST_F(MessageLogger, EmptyLogPathBecomesTheDesktopOnceAndStays)
{
    Sim.Registry().DeleteValue(eHive::LocalMachine, SETTINGS_KEY, "LogPath");
    { cMessageLogger first(Sim.Get(), "SLH Log.txt"); }
    std::string stored;
    ASSERT_TRUE(Sim.Registry().GetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", stored));
    EXPECT_EQ(stored, "C:\\Users\\htpc\\Desktop");

    Sim.Files().SetSpecialFolder(FOLDER_DESKTOPDIRECTORY, "C:\\Users\\other\\Desktop");
    cMessageLogger second(Sim.Get(), "SLH Log.txt");
    EXPECT_EQ(second.GetLogPath(), "C:\\Users\\htpc\\Desktop");
    EXPECT_EQ(Sim.Sync().CreatedNames().back(), "C:_Users_htpc_Desktop_SLH Log.txt");
}

TEST_F(MessageLogger, WithoutADesktopFolderTheLogGoesToTheDriveRoot)
{
    Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", "-empty-");
    Sim.Files().SetSpecialFolder(FOLDER_DESKTOPDIRECTORY, "");
    cMessageLogger logger(Sim.Get(), "SLH Log.txt");
    EXPECT_EQ(logger.GetLogPath(), "C:\\");
    logger.WriteLine("at the root");
    EXPECT_NE(ReadLog(logger.GetLogFilePath()).find("at the root"), std::string::npos);
}

TEST_F(MessageLogger, BusyLockDropsTheLineAfterHalfASecond)
{
    cMessageLogger logger(Sim.Get(), "SLH Log.txt");
    Sim.Sync().HoldByOtherProcess("C:_Logs_Slumberhold_SLH Log.txt", true);
    const uint64_t before = Sim.Clock().Now();
    logger.WriteLine("lost");
    EXPECT_EQ(Sim.Clock().Now() - before, 500u);
    EXPECT_FALSE(Sim.Files().FileExists(LOG_FILE));

    Sim.Sync().HoldByOtherProcess("C:_Logs_Slumberhold_SLH Log.txt", false);
    logger.WriteLine("kept");
    EXPECT_NE(ReadLog().find("kept"), std::string::npos);
}

TEST_F(MessageLogger, LockFailuresAreShownAndLoggingGoesOn)
{
    cMessageLogger logger(Sim.Get(), "SLH Log.txt");
    Sim.Sync().Abandon("C:_Logs_Slumberhold_SLH Log.txt");
    logger.WriteLine("dropped");
    EXPECT_FALSE(Sim.Files().FileExists(LOG_FILE));
    logger.WriteLine("written");
    EXPECT_EQ(ReadLog().find("dropped"), std::string::npos);
    EXPECT_NE(ReadLog().find("written"), std::string::npos);

    Sim.Sync().SetReleaseFails(true);
    logger.WriteLine("written too");
    EXPECT_NE(ReadLog().find("written too"), std::string::npos);

    const auto& boxes = Sim.Dialogs().Shown();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Caption, "WAIT_ABANDONED");
    EXPECT_EQ(boxes[1].Caption, "ReleaseMutex");
    EXPECT_EQ(boxes[1].Text, "Failed");
}

TEST_F(MessageLogger, WithoutAMutexNothingIsWrittenUntilANewPathCreatesOne)
{
    Sim.Sync().SetCreationFails(true);
    cMessageLogger logger(Sim.Get(), "SLH Log.txt");
    ASSERT_EQ(Sim.Dialogs().Shown().size(), 1u);
    EXPECT_EQ(Sim.Dialogs().Shown()[0].Caption, "CreateMutex");
    logger.WriteLine("lost");
    EXPECT_FALSE(Sim.Files().FileExists(LOG_FILE));

    Sim.Sync().SetCreationFails(false);
    EXPECT_TRUE(logger.SetLogPath(LOG_DIR));
    logger.WriteLine("back");
    EXPECT_NE(ReadLog().find("back"), std::string::npos);
}

TEST_F(MessageLogger, UnusableLogFolderLosesTheLineQuietly)
{
    Sim.Files().WriteNewFile("C:\\Blocker", "a file, not a folder");
    Sim.Registry().SetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", "C:\\Blocker\\Logs");
    cMessageLogger logger(Sim.Get(), "SLH Log.txt");
    logger.WriteLine("nowhere to go");
    EXPECT_FALSE(Sim.Files().FileExists("C:\\Blocker\\Logs\\SLH Log.txt"));
    EXPECT_TRUE(Sim.Dialogs().Shown().empty());
}

TEST_F(MessageLogger, TaskListSnapshotStartsTheTaskListToolIntoAFreshFile)
{
    cMessageLogger logger(Sim.Get(), "SLH Log.txt");
    logger.StoreTaskList("PBT_APMSUSPEND");
    EXPECT_TRUE(Sim.Processes().Launches().empty());

    SetHklm("StoreTaskLists", 1);
    Sim.Processes().AddProgram({"tasklist", 0, 3000, "\"Image Name\",\"PID\"\r\n"});
    logger.StoreTaskList("100% PBT_APMSUSPEND");
    const std::string file = "C:\\Logs\\Slumberhold\\TaskLists\\SLH20261209-014514123.csv";
    ASSERT_EQ(Sim.Processes().Launches().size(), 1u);
    const cSimLaunch& launch = Sim.Processes().Launches()[0];
    // The shell runs what follows the stand-in first token.
    EXPECT_EQ(launch.Application, "C:\\Windows\\system32\\cmd.exe");
    EXPECT_EQ(launch.CommandLine, "placeholder /c tasklist /v /FO csv >> \"" + file + "\"");
    EXPECT_EQ(launch.Show, SHOW_HIDE);
    std::string list;
    ASSERT_TRUE(Sim.Files().ReadWholeFile(file, list));
    EXPECT_EQ(list, "100% PBT_APMSUSPEND\r\n\"Image Name\",\"PID\"\r\n");
    // Not waited for, and the process handles are not kept.
    EXPECT_EQ(Sim.Clock().Now(), 0u);
    EXPECT_EQ(Sim.Processes().OpenProcessHandles(), 0);
    EXPECT_NE(ReadLog().find(" - Task list stored: " + file + "\r\n"), std::string::npos);
}

}  // namespace
