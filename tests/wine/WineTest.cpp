#include "WineTest.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

// The tail of the Wine processes' error output that a failed test shows.
constexpr size_t MAX_ERRORS_SHOWN = 4000;
constexpr auto ERROR_POLL_INTERVAL = std::chrono::milliseconds(200);

const char* WindowsBuildFolder()
{
    const char* folder = std::getenv("SLH_WIN64_DIR");
    return folder && *folder ? folder : nullptr;
}

}  // namespace

void cSlumberholdWineTest::SetUpTestSuite()
{
    const char* folder = WindowsBuildFolder();
    if (!folder)
        return;
    try {
        Session = std::make_unique<cWineSession>(folder);
    } catch (const std::exception& error) {
        SessionError = error.what();
    }
}

void cSlumberholdWineTest::TearDownTestSuite()
{
    Session.reset();
}

void cSlumberholdWineTest::SetUp()
{
    if (!WindowsBuildFolder())
        GTEST_SKIP() << "SLH_WIN64_DIR is not set: no Windows build to test";
    ASSERT_TRUE(Session) << "no Wine session: " << SessionError;

    Folder = std::make_unique<cTempFolder>("slh-wine-test");
    Prefix = std::make_unique<cTestPrefix>(Session->Template(), Folder->Path());
    Wine = std::make_unique<cWine>(Prefix->Path(), Session->Display(), Session->Template().Home(), ErrorLogPath());
    ASSERT_TRUE(Wine->StartServer()) << "no wineserver for " << Prefix->Path();
    Registry_ = std::make_unique<cWineRegistry>(*Wine);
    Windows_ = std::make_unique<cWindowMessenger>(*Wine, ProgramPath("slhmsg.exe"));
}

void cSlumberholdWineTest::TearDown()
{
    Boxes.reset();
    Programs.clear();
    Helpers.clear();
    if (Wine && !Wine->KillServer())
        ADD_FAILURE() << "the wineserver of " << Prefix->Path() << " did not end";
    if (HasFailure() && Folder)
        ShowWineErrors();
    Windows_.reset();
    Registry_.reset();
    Wine.reset();
    Prefix.reset();
    Folder.reset();
}

std::string cSlumberholdWineTest::ErrorLogPath() const
{
    return Folder->Path() + "/wine-errors.log";
}

std::string cSlumberholdWineTest::WineErrors() const
{
    std::ifstream file(ErrorLogPath(), std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

bool cSlumberholdWineTest::WaitForWineErrors(const std::string& text, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (WineErrors().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(ERROR_POLL_INTERVAL);
    }
    return true;
}

void cSlumberholdWineTest::ShowWineErrors() const
{
    std::string text = WineErrors();
    if (text.size() > MAX_ERRORS_SHOWN)
        text = "...\n" + text.substr(text.size() - MAX_ERRORS_SHOWN);
    if (!text.empty())
        std::cout << "Standard error of the Wine processes:\n" << text << std::endl;
}

std::string cSlumberholdWineTest::ProgramPath(const std::string& exeName) const
{
    const std::string path = Session->ProgramPath(exeName);
    if (path.empty())
        throw std::runtime_error(exeName + " is not in the Windows build " + WindowsBuildFolder());
    return path;
}

std::string cSlumberholdWineTest::OutputFile(const std::string& exeName)
{
    return Folder->Path() + "/" + exeName + "-" + std::to_string(++OutputCount) + ".out";
}

cSlumberholdProcess& cSlumberholdWineTest::StartSlumberhold(const std::vector<std::string>& switches)
{
    Programs.push_back(std::make_unique<cSlumberholdProcess>(*Wine, *Windows_, ProgramPath("Slumberhold.exe"),
                                                             switches, OutputFile("Slumberhold.exe")));
    return *Programs.back();
}

cWindowName cSlumberholdWineTest::StartLoggingEngine(const std::string& logFolder)
{
    const std::string title = "Slumberhold - Engine mode";
    EXPECT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 1));
    EXPECT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", logFolder));
    EXPECT_TRUE(StartSlumberhold({"ENGINE"}).WaitForWindow(title, WINDOW_TIMEOUT));
    return cSlumberholdProcess::Window(title);
}

cChildProcess& cSlumberholdWineTest::StartHelper(const std::string& exeName, const std::vector<std::string>& arguments)
{
    std::vector<std::string> command = {ProgramPath(exeName)};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const std::string output = OutputFile(exeName);
    Helpers.push_back(Wine->Start(command, output));
    return *Helpers.back();
}

cRunResult cSlumberholdWineTest::RunHelper(const std::string& exeName, const std::vector<std::string>& arguments,
                                           std::chrono::milliseconds timeout)
{
    std::vector<std::string> command = {ProgramPath(exeName)};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return Wine->Run(command, timeout);
}

cRunResult cSlumberholdWineTest::RunInPrefix(const std::vector<std::string>& command,
                                             std::chrono::milliseconds timeout)
{
    return Wine->Run(command, timeout);
}

cBoxWatcher& cSlumberholdWineTest::WatchMessageBoxes()
{
    Boxes = std::make_unique<cBoxWatcher>(*Wine, ProgramPath("slhboxwatch.exe"), Folder->Path() + "/boxes.txt");
    return *Boxes;
}
