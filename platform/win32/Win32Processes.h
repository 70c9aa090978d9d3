#pragma once
#include "platform/Processes.h"

// GetExitCodeProcess; false when the call fails.
bool ReadProcessExitCode(void* process, uint32_t& code);

// The arguments as the C runtime split the command line (__argc, __argv) and
// WinExec. Starting programs is in Win32ProcessLaunch.cpp.
class cWin32Processes final : public cProcesses {
public:
    std::vector<std::string> CommandLineArguments() override;
    uint32_t WinExec(const std::string& commandLine, int show) override;
    std::unique_ptr<cProcess> CreateProcess(const cProcessStart& start) override;
    bool CreateProcessW(const std::wstring& application, const std::wstring& commandLine) override;
    // CreateProcessWithTokenW is looked up in advapi32 at run time (XP
    // lacks it).
    bool CreateProcessWithDesktopShellToken(const std::wstring& application,
                                            const std::wstring& commandLine) override;
    bool ShellExecuteRunAs(const std::string& file, const std::string& parameters, int show) override;
    // OpenProcess without handle inheritance (Win32ProcessOpen.cpp).
    std::unique_ptr<cProcess> OpenProcess(uint32_t processId, uint32_t access) override;
    bool GetSystemDirectory(std::string& path) override;
    bool HasGetProductInfo() override;
    bool GetProcessIntegrityLevel(uint32_t& level) override;
};
