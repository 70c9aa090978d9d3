#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Platform.h"

// Launch flags (a bit set; the run-on-event settings store it as a number).
constexpr uint16_t ALF_COMMAND_SHELL = 0x01;     // through cmd.exe, ending with the command's exit code
constexpr uint16_t ALF_HIDDEN = 0x02;            // the window starts hidden
constexpr uint16_t ALF_WAIT = 0x04;              // for the callers: wait for the exit (not read here)
constexpr uint16_t ALF_KEEP_OPEN = 0x08;         // with the shell: "/k", the window stays open
constexpr uint16_t ALF_PAUSE_ON_ERROR = 0x10;    // the shell waits for a key when the command failed
constexpr uint16_t ALF_SYSTEM_DIRECTORY = 0x20;  // starts in the Windows system directory
constexpr uint16_t ALF_CAPTURE = 0x40;           // with the shell: output and errors go to the output file
constexpr uint16_t ALF_ELEVATE = 0x80;           // through the shell's "runas" verb
constexpr uint16_t ALF_AS_DESKTOP_USER = 0x100;  // when elevated, with the desktop user's own token

// The Windows system directory; "c:\windows\system32" when the system does
// not tell.
std::string SystemDirectoryOrDefault(cProcesses& processes);

// Starts one external program, optionally waits for it and collects its
// output. One object serves one command; its creator launches, waits and
// destroys it, usually within one function, on one thread. Nothing is
// logged here: a failed launch returns false with the platform's last error
// set, for the caller to log.
class cApplicationLauncher {
public:
    // Capturing (ALF_COMMAND_SHELL with ALF_CAPTURE) creates the output file
    // here, in the temporary folder.
    cApplicationLauncher(cPlatform& platform, const std::string& command, uint16_t flags);
    // Closes the process handles (the program runs on) and deletes the
    // output file.
    ~cApplicationLauncher();
    cApplicationLauncher(const cApplicationLauncher&) = delete;
    cApplicationLauncher& operator=(const cApplicationLauncher&) = delete;

    // Starts the command with the parameters; true when it started. With
    // ALF_ELEVATE this is LaunchElevated.
    bool Launch(const std::string& parameters);
    // Replaces the priority class the next launches are created with
    // (normal, 0x20, until then).
    void SetCreationPriority(uint32_t priorityClass) { CreationFlags = priorityClass; }
    // Starts the command through the elevation prompt, whatever the flags.
    // No process is kept, so WaitForExit afterwards returns 259 at once.
    bool LaunchElevated(const std::string& parameters);
    // Polls the exit code every 20 ms until the process ends or the timeout
    // (ms; 0 no limit) passes; returns it, 259 while the process still runs.
    // A negative timeout reads the exit code once.
    uint32_t WaitForExit(int32_t timeout);
    // Waits on the process itself; a negative timeout counts as 0.
    eWaitResult WaitForProcess(int32_t timeout);
    // Where the captured output goes; empty when not capturing.
    std::string GetOutputFile() const { return OutputFile; }

private:
    // The shell's arguments, the caller's parameters and the suffixes that
    // pause, redirect into the output file and hand on the exit code.
    std::string ShellTail(const std::string& parameters) const;
    bool LaunchAsDesktopUser(const std::string& application, const std::string& commandLine);

    cPlatform& Platform;
    // The last process started on the standard path; null until then.
    std::unique_ptr<cProcess> Process;
    // What the last standard-path launch passed to the platform.
    cProcessStart Startup;
    const uint16_t Flags;
    const bool Capture;
    uint32_t StartTime = 0;
    uint32_t ExitCode = 0;
    uint32_t CreationFlags = CREATION_PRIORITY_NORMAL;
    std::string OutputFile;
    const std::string Command;
};
