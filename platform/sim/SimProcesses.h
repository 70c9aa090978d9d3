#pragma once
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Processes.h"

class cSimClock;
class cSimWindowing;
class cSimFileSystem;
class cSimSystemErrors;

// The way a program was started.
enum class eSimLaunchKind {
    WinExec,
    CreateProcess,
    CreateProcessW,
    DesktopShellToken,  // CreateProcessWithDesktopShellToken
    RunAs,              // ShellExecuteRunAs
};

// One attempt to start a program, recorded whether or not it started.
struct cSimLaunch {
    eSimLaunchKind Kind = eSimLaunchKind::WinExec;
    // The application (CreateProcess*) or the file (RunAs); empty for WinExec.
    std::string Application;
    // The command line as passed; for RunAs the file, a space and the
    // parameters.
    std::string CommandLine;
    std::string Parameters;  // RunAs only
    bool InheritHandles = false;
    uint32_t CreationFlags = 0;
    std::string Directory;
    int Show = 0;
    bool Started = false;
    uint64_t At = 0;  // virtual milliseconds since the simulation began
};

// How a simulated program behaves. The first program whose Match text occurs
// in the application, a space and the command line of a launch decides it;
// without one a program starts, writes nothing and ends at once with 0.
struct cSimProgram {
    static constexpr uint64_t RUNS_FOREVER = std::numeric_limits<uint64_t>::max();

    std::string Match;
    uint32_t ExitCode = 0;
    // Virtual milliseconds from the start until it ends.
    uint64_t RunTime = 0;
    // What it prints. A command line that redirects into a file (">" or
    // ">>" and a path, quoted or not) writes this into that host file at the
    // start, truncating or appending as cmd.exe would.
    std::string Output;
    // Nonzero: the start fails with this platform error.
    uint32_t StartError = 0;
    // Non-empty: the program shows a top-level window of this class (and
    // title), which becomes the foreground window.
    std::string WindowClass;
    std::string WindowTitle;
    // Milliseconds from a WM_CLOSE to its window until the program has
    // ended; IGNORES_CLOSE: it keeps running.
    static constexpr int64_t IGNORES_CLOSE = -1;
    int64_t CloseDelay = 0;
    // The priority class it runs at.
    uint32_t PriorityClass = 0x20;
    // Runs as the program starts, with its command line: what else the
    // program does (a file it writes).
    std::function<void(const std::string& commandLine)> OnStart;
};

// The programs the simulated program starts, and others running beside it.
// Processes "run" on the virtual clock: one ends once the clock reaches its
// start plus its run time, or when it is closed or terminated. A
// "taskkill.exe /PID n" asks the process n to close (WM_CLOSE to its windows). As on
// Windows, CreateProcess and CreateProcessW do not search the path for the
// application: one given without its folder ("cmd.exe") is not found
// (error 2).
class cSimProcesses : public cProcesses {
public:
    cSimProcesses(cSimClock& clock, cSimFileSystem& files, cSimSystemErrors& errors)
        : Clock(clock), Files(files), Errors(errors)
    {
    }

    std::vector<std::string> CommandLineArguments() override { return Arguments; }
    uint32_t WinExec(const std::string& commandLine, int show) override;
    std::unique_ptr<cProcess> CreateProcess(const cProcessStart& start) override;
    bool CreateProcessW(const std::wstring& application, const std::wstring& commandLine) override;
    bool CreateProcessWithDesktopShellToken(const std::wstring& application, const std::wstring& commandLine) override;
    bool ShellExecuteRunAs(const std::string& file, const std::string& parameters, int show) override;
    // Null, with error 87, for a process that does not run; error 5 when
    // refused (SetOpenRefused).
    std::unique_ptr<cProcess> OpenProcess(uint32_t processId, uint32_t access) override;
    bool GetSystemDirectory(std::string& path) override;
    bool HasGetProductInfo() override { return ProductInfo; }

    // Windows of started programs go here; set by the machine.
    void AttachWindowing(cSimWindowing& windowing) { Windowing = &windowing; }
    // A program already running when the simulation starts (a front-end the
    // user opened); returns its process id.
    uint32_t RunProgram(const cSimProgram& program);
    bool IsRunning(uint32_t processId) const;
    // The process ends (and its windows go) at the virtual moment at.
    void EndProcess(uint32_t processId, uint64_t at, uint32_t exitCode = 0);
    void EndNow(uint32_t processId);
    uint32_t PriorityClassOf(uint32_t processId) const;
    void SetOpenRefused(uint32_t processId, bool refused);
    // The id of the process the last successful launch created.
    uint32_t LastProcessId() const { return LastStarted; }
    bool GetProcessIntegrityLevel(uint32_t& level) override;

    void SetArguments(std::vector<std::string> arguments) { Arguments = std::move(arguments); }
    void AddProgram(cSimProgram program) { Programs.push_back(std::move(program)); }
    const std::vector<cSimLaunch>& Launches() const { return Launched; }
    // Process objects handed out and not yet destroyed (their handles open).
    int OpenProcessHandles() const { return OpenHandles; }

    // "" makes GetSystemDirectory fail.
    void SetSystemDirectory(const std::string& path) { SystemDirectory = path; }
    // false: an XP-family Windows without GetProductInfo.
    void SetHasGetProductInfo(bool has) { ProductInfo = has; }
    // error nonzero: reading the level fails with that error.
    void SetIntegrityLevel(uint32_t level, uint32_t error = 0)
    {
        IntegrityLevel = level;
        IntegrityError = error;
    }
    // Nonzero: a start with the desktop shell's token fails with this error
    // before any program is looked at (1 no CreateProcessWithTokenW, 1400
    // no desktop shell, 5 access to the shell's token denied).
    void SetDesktopShellTokenError(uint32_t error) { DesktopShellError = error; }

private:
    class cSimProcess;
    struct cRunning {
        uint64_t End = 0;
        uint32_t ExitCode = 0;
        uint32_t PriorityClass = 0x20;
        bool OpenRefused = false;
    };

    // Gives the started program its process id, its window and its answer to
    // WM_CLOSE.
    uint32_t Spawn(const cSimProgram& program);
    void PassOnTaskkill(const std::string& commandLine);

    // Records the launch and, when it starts, writes the program's output.
    const cSimProgram* Start(cSimLaunch launch, uint32_t failure = 0);
    void WriteOutput(const std::string& commandLine, const std::string& output);

    cSimClock& Clock;
    cSimFileSystem& Files;
    cSimSystemErrors& Errors;
    cSimWindowing* Windowing = nullptr;
    std::map<uint32_t, cRunning> Running;
    uint32_t NextProcessId = 0x1000;
    uint32_t LastStarted = 0;
    std::vector<std::string> Arguments{"C:\\Program Files\\Slumberhold\\Slumberhold.exe"};
    std::vector<cSimProgram> Programs;
    std::vector<cSimLaunch> Launched;
    int OpenHandles = 0;
    std::string SystemDirectory = "C:\\Windows\\system32";
    bool ProductInfo = true;
    uint32_t IntegrityLevel = 0x2000;
    uint32_t IntegrityError = 0;
    uint32_t DesktopShellError = 0;
};
