#include "platform/win32/Win32Processes.h"

#include "platform/win32/Win32.h"

#include <cstdlib>

std::vector<std::string> cWin32Processes::CommandLineArguments()
{
    std::vector<std::string> arguments;
    // The runtime fills __argc and __argv before WinMain, also for a
    // GUI-subsystem program.
    if (__argv == nullptr)
        return arguments;
    for (int index = 0; index < __argc; ++index)
        arguments.emplace_back(__argv[index] != nullptr ? __argv[index] : "");
    return arguments;
}

uint32_t cWin32Processes::WinExec(const std::string& commandLine, int show)
{
    return ::WinExec(commandLine.c_str(), static_cast<UINT>(show));
}
