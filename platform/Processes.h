#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Sync.h"

// Show states of a new program's window (SW_*).
constexpr int SHOW_HIDE = 0;
constexpr int SHOW_NORMAL = 1;
constexpr int SHOW_SHOW = 5;

// Creation flags of CreateProcess: priority classes and a new process group
// (named apart from <windows.h>, which defines the Windows names as macros).
constexpr uint32_t CREATION_PRIORITY_NORMAL = 0x00000020;
constexpr uint32_t CREATION_PRIORITY_HIGH = 0x00000080;
constexpr uint32_t CREATE_PROCESS_GROUP = 0x00000200;
// The exit code a process reports while it is still running (STILL_ACTIVE).
constexpr uint32_t EXIT_CODE_STILL_ACTIVE = 259;
// Waits without a time limit (INFINITE).
constexpr uint32_t WAIT_NO_LIMIT = 0xFFFFFFFF;

// What CreateProcess gets, passed through unchanged. The startup record only
// requests the show state; the environment is always the caller's.
struct cProcessStart {
    std::string Application;
    std::string CommandLine;
    bool InheritHandles = false;
    uint32_t CreationFlags = 0;
    std::string CurrentDirectory;  // empty: the caller's
    int Show = SHOW_NORMAL;
};

// A process this program started or opened. Holds its process and thread handles and
// closes them when destroyed; the process itself runs on.
class cProcess {
public:
    virtual ~cProcess() = default;

    // Waits for the process to end (WaitForSingleObject on its handle).
    virtual eWaitResult Wait(uint32_t milliseconds) = 0;
    // GetExitCodeProcess: EXIT_CODE_STILL_ACTIVE while it runs; false when
    // the call fails.
    virtual bool GetExitCode(uint32_t& code) = 0;
    // TerminateProcess with the exit code.
    virtual bool Terminate(uint32_t exitCode) = 0;
    // GetPriorityClass and SetPriorityClass of the process.
    virtual bool GetPriorityClass(uint32_t& priorityClass) = 0;
    virtual bool SetPriorityClass(uint32_t priorityClass) = 0;
};

// The running process and the programs it starts. A failed call leaves the
// thread's last platform error set to the code of the call that failed.
class cProcesses {
public:
    virtual ~cProcesses() = default;

    // The program's arguments, argument 0 (the program path) included.
    virtual std::vector<std::string> CommandLineArguments() = 0;
    // Starts a command line without waiting (WinExec); returns its result code
    // (above 31 on success).
    virtual uint32_t WinExec(const std::string& commandLine, int show) = 0;

    // CreateProcess (ANSI); null on failure.
    virtual std::unique_ptr<cProcess> CreateProcess(const cProcessStart& start) = 0;
    // CreateProcessW without handle inheritance, creation flags, environment
    // or directory; the process's handles are closed at once.
    virtual bool CreateProcessW(const std::wstring& application, const std::wstring& commandLine) = 0;
    // Starts the program with a primary token duplicated from the token of
    // the desktop shell's process (the process of the "Progman" window),
    // through CreateProcessWithTokenW, without logon flags, creation flags,
    // environment or directory; the process's handles are closed at once.
    // Fails with ERROR_INVALID_FUNCTION (1) where Windows lacks that call
    // and with ERROR_INVALID_WINDOW_HANDLE (1400) without a desktop shell.
    virtual bool CreateProcessWithDesktopShellToken(const std::wstring& application,
                                                    const std::wstring& commandLine) = 0;
    // ShellExecuteEx with the verb "runas" (elevation prompt), no owner
    // window, no directory and no mask flags; no process handle is returned.
    virtual bool ShellExecuteRunAs(const std::string& file, const std::string& parameters, int show) = 0;

    // A running process by its id (OpenProcess with the access rights, no
    // inheritance); null when it is refused or gone.
    virtual std::unique_ptr<cProcess> OpenProcess(uint32_t processId, uint32_t access) = 0;
    // The Windows system directory (GetSystemDirectoryA), without a
    // trailing backslash.
    virtual bool GetSystemDirectory(std::string& path) = 0;
    // Whether kernel32 exports GetProductInfo (Windows Vista and later).
    virtual bool HasGetProductInfo() = 0;
    // The integrity level of this process's token: the last sub-authority
    // of its integrity SID (0x2000 medium, 0x3000 high).
    virtual bool GetProcessIntegrityLevel(uint32_t& level) = 0;
};
