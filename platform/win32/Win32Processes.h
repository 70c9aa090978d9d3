#pragma once
#include "platform/Processes.h"

// The arguments as the C runtime split the command line (__argc, __argv) and
// WinExec.
class cWin32Processes final : public cProcesses {
public:
    std::vector<std::string> CommandLineArguments() override;
    uint32_t WinExec(const std::string& commandLine, int show) override;
};
