#include "Wine.h"

#include <filesystem>
#include <stdexcept>
#include <utility>

namespace {

constexpr auto SERVER_TIMEOUT = std::chrono::seconds(20);

// The 64-bit loader directly where Debian keeps it (its "wine" wrapper
// script prints a wine32 hint and execs it anyway), else what PATH has.
std::string WineLoader()
{
    for (const char* path : {"/usr/lib/wine/wine64", "/usr/lib64/wine/wine64"}) {
        if (std::filesystem::exists(path))
            return path;
    }
    return "wine";
}

}  // namespace

cWine::cWine(std::string prefix, std::string display, std::string home, std::string errorLog)
    : Prefix_(std::move(prefix)), Display(std::move(display)), Home(std::move(home)), ErrorLog(std::move(errorLog))
{
}

cLaunch cWine::Launch(std::vector<std::string> arguments) const
{
    cLaunch launch;
    launch.Arguments = std::move(arguments);
    launch.ErrorFile = ErrorLog;
    launch.Environment = {
        {"WINEPREFIX", Prefix_},
        {"DISPLAY", Display},
        {"HOME", Home},
        // Quiet, except the power library's stubs, which report each call
        // (a test sees the sleep call reach Windows by them).
        {"WINEDEBUG", "-all,fixme+powrprof"},
        {"WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d"},
        // English day and month names in the program's time stamps.
        {"LC_ALL", "C.UTF-8"},
    };
    return launch;
}

cLaunch cWine::Program(std::vector<std::string> arguments) const
{
    arguments.insert(arguments.begin(), WineLoader());
    return Launch(std::move(arguments));
}

std::unique_ptr<cChildProcess> cWine::Start(std::vector<std::string> arguments, const std::string& outputFile) const
{
    cLaunch launch = Program(std::move(arguments));
    launch.OutputFile = outputFile;
    return std::make_unique<cChildProcess>(launch);
}

cRunResult cWine::Run(std::vector<std::string> arguments, std::chrono::milliseconds timeout) const
{
    return RunToEnd(Program(std::move(arguments)), timeout);
}

bool cWine::StartServer() const
{
    // The server detaches itself; the command returns at once.
    const cRunResult started = RunToEnd(Launch({"wineserver", "--persistent"}), SERVER_TIMEOUT);
    return started.Finished && started.ExitCode == 0;
}

bool cWine::KillServer() const noexcept
{
    try {
        const cRunResult killed = RunToEnd(Launch({"wineserver", "-k"}), SERVER_TIMEOUT);
        // -k only signals; -w returns once the server has really gone.
        const cRunResult gone = RunToEnd(Launch({"wineserver", "-w"}), SERVER_TIMEOUT);
        return killed.Finished && gone.Finished;
    } catch (const std::exception&) {
        return false;
    }
}
