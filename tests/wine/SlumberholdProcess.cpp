#include "SlumberholdProcess.h"

namespace {
constexpr uint32_t WM_CLOSE = 0x0010;
}

cSlumberholdProcess::cSlumberholdProcess(const cWine& wine, const cWindowMessenger& windows,
                                         const std::string& exePath, const std::vector<std::string>& switches,
                                         const std::string& outputFile)
    : Windows(windows)
{
    std::vector<std::string> arguments = {exePath};
    arguments.insert(arguments.end(), switches.begin(), switches.end());
    Process = wine.Start(arguments, outputFile);
}

bool cSlumberholdProcess::WaitForWindow(const std::string& title, std::chrono::milliseconds timeout) const
{
    return Windows.WaitUntilPresent(Window(title), timeout);
}

bool cSlumberholdProcess::Close(const std::string& title) const
{
    return Windows.Send(Window(title), WM_CLOSE).has_value();
}

std::optional<int> cSlumberholdProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    std::optional<int> exitCode = Process->WaitForExit(timeout);
    if (!exitCode)
        Process->Kill();
    return exitCode;
}
