#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "BoxWatcher.h"
#include "ChildProcess.h"
#include "PowercfgStandIn.h"
#include "SlumberholdProcess.h"
#include "TempFolder.h"
#include "TestPrefix.h"
#include "WindowMessenger.h"
#include "Wine.h"
#include "WineRegistry.h"
#include "WineSession.h"

// The fixture of the Wine tests. The X display and the template prefix are
// set up once per process (SetUpTestSuite; the template is the one ctest's
// set-up step made, see WineSession.h); each test gets a fresh copy of the
// prefix in a folder of its own. Everything a test starts is owned here and killed in TearDown,
// then the prefix's wineserver is ended and the folder removed. Without
// SLH_WIN64_DIR (the folder of the Windows build) every test is skipped.
class cSlumberholdWineTest : public ::testing::Test {
protected:
    static constexpr const char* SETTINGS_KEY = "HKLM\\Software\\Velderane\\Slumberhold";
    // The first program in a fresh prefix also starts Wine's own services.
    static constexpr std::chrono::seconds WINDOW_TIMEOUT{30};
    static constexpr std::chrono::seconds EXIT_TIMEOUT{30};

    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    const cWineRegistry& Registry() const { return *Registry_; }
    const cWindowMessenger& Windows() const { return *Windows_; }
    // The X display the test's programs show on (":3").
    static const std::string& Display() { return Session->Display(); }
    // The Linux path of a Windows path ("C:\...") of the test's prefix.
    std::string HostPath(const std::string& windowsPath) const { return Prefix->LinuxPath(windowsPath); }
    // The prefix's powercfg.exe stand-in.
    cPowercfgStandIn Powercfg() const { return cPowercfgStandIn(*Prefix); }

    cSlumberholdProcess& StartSlumberhold(const std::vector<std::string>& switches);
    // Starts Slumberhold.exe ENGINE logging into logFolder and waits for its
    // window; the engine window's name.
    cWindowName StartLoggingEngine(const std::string& logFolder);
    // Another program of the Windows build (slhlogwriter.exe, ...), in the
    // background.
    cChildProcess& StartHelper(const std::string& exeName, const std::vector<std::string>& arguments);
    // A program of the Windows build run to its end (killed at the timeout),
    // with its standard output.
    cRunResult RunHelper(const std::string& exeName, const std::vector<std::string>& arguments,
                         std::chrono::milliseconds timeout);
    // A program of the prefix itself (taskkill.exe, C:\windows\notepad.exe),
    // the same way.
    cRunResult RunInPrefix(const std::vector<std::string>& command, std::chrono::milliseconds timeout);
    // Starts slhboxwatch.exe; start it before anything that may show a box.
    cBoxWatcher& WatchMessageBoxes();
    // Waits until the standard error of the test's Wine processes holds the
    // text: Wine's stubs of the power library report their calls there.
    bool WaitForWineErrors(const std::string& text, std::chrono::milliseconds timeout) const;
    // The boxes of the program's start under Wine's Windows 7, once per
    // start: its powrprof.dll lacks the power-setting functions.
    static std::vector<cBoxRecord> WineStartupBoxes(size_t starts = 1)
    {
        return std::vector<cBoxRecord>(starts, cBoxRecord{"powrprof.dll", "GetProcAddress failed."});
    }
    // The Linux path of a program of the Windows build; throws
    // std::runtime_error when the build has no such program.
    std::string ProgramPath(const std::string& exeName) const;

private:
    // A new file name in the test's folder for a program's output.
    std::string OutputFile(const std::string& exeName);
    // Where the standard error of all the test's Wine processes goes; shown
    // when the test failed, as the folder is removed with it.
    std::string ErrorLogPath() const;
    std::string WineErrors() const;
    void ShowWineErrors() const;

    // Shared by all tests of the run; SessionError says why it is missing.
    static inline std::unique_ptr<cWineSession> Session;
    static inline std::string SessionError;

    std::unique_ptr<cTempFolder> Folder;
    std::unique_ptr<cTestPrefix> Prefix;
    std::unique_ptr<cWine> Wine;
    std::unique_ptr<cWineRegistry> Registry_;
    std::unique_ptr<cWindowMessenger> Windows_;
    std::unique_ptr<cBoxWatcher> Boxes;
    std::vector<std::unique_ptr<cSlumberholdProcess>> Programs;
    std::vector<std::unique_ptr<cChildProcess>> Helpers;
    int OutputCount = 0;
};
