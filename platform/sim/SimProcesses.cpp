#include "platform/sim/SimProcesses.h"

#include <algorithm>
#include <cstdlib>

#include "platform/sim/SimClock.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimWindowing.h"
#include "platform/WinConst.h"

namespace {

// The wide texts of the simulated Windows hold one character per byte.
std::string Narrow(const std::wstring& wide)
{
    std::string text;
    for (wchar_t c : wide)
        text += static_cast<char>(c);
    return text;
}

const cSimProgram DEFAULT_PROGRAM;

constexpr uint32_t ERROR_FILE_NOT_FOUND_CODE = 2;

// "C:\..." or "\\server\...": the only applications found without a search.
bool IsFullPath(const std::string& path)
{
    return (path.size() > 2 && path[1] == ':' && path[2] == '\\') || path.rfind("\\\\", 0) == 0;
}

uint32_t ApplicationError(const std::string& application)
{
    return application.empty() || IsFullPath(application) ? 0 : ERROR_FILE_NOT_FOUND_CODE;
}

}  // namespace

class cSimProcesses::cSimProcess : public cProcess {
public:
    cSimProcess(cSimProcesses& owner, uint32_t processId) : Owner(owner), ProcessId(processId)
    {
        ++Owner.OpenHandles;
    }
    ~cSimProcess() override { --Owner.OpenHandles; }

    eWaitResult Wait(uint32_t milliseconds) override
    {
        const uint64_t now = Owner.Clock.Now();
        const uint64_t end = State().End;
        if (now >= end)
            return eWaitResult::Signaled;
        if (end - now <= milliseconds) {
            Owner.Clock.Sleep(static_cast<uint32_t>(end - now));
            return eWaitResult::Signaled;
        }
        Owner.Clock.Sleep(milliseconds);
        return eWaitResult::Timeout;
    }

    bool GetExitCode(uint32_t& code) override
    {
        code = Owner.Clock.Now() >= State().End ? State().ExitCode : EXIT_CODE_STILL_ACTIVE;
        return true;
    }

    bool Terminate(uint32_t exitCode) override
    {
        if (Owner.Clock.Now() >= State().End) {
            Owner.Errors.SetLastError(5);
            return false;
        }
        Owner.EndProcess(ProcessId, Owner.Clock.Now(), exitCode);
        return true;
    }

    bool GetPriorityClass(uint32_t& priorityClass) override
    {
        priorityClass = State().PriorityClass;
        return true;
    }

    bool SetPriorityClass(uint32_t priorityClass) override
    {
        State().PriorityClass = priorityClass;
        return true;
    }

private:
    cRunning& State() { return Owner.Running[ProcessId]; }

    cSimProcesses& Owner;
    uint32_t ProcessId;
};

const cSimProgram* cSimProcesses::Start(cSimLaunch launch, uint32_t failure)
{
    const std::string whole = launch.Application + " " + launch.CommandLine;
    auto found = std::find_if(Programs.begin(), Programs.end(), [&](const cSimProgram& program) {
        return whole.find(program.Match) != std::string::npos;
    });
    const cSimProgram& program = found == Programs.end() ? DEFAULT_PROGRAM : *found;
    if (failure == 0)
        failure = program.StartError;
    launch.Started = failure == 0;
    launch.At = Clock.Now();
    Launched.push_back(launch);
    if (failure != 0) {
        Errors.SetLastError(failure);
        return nullptr;
    }
    WriteOutput(launch.CommandLine, program.Output);
    if (program.OnStart)
        program.OnStart(launch.CommandLine);
    LastStarted = Spawn(program);
    PassOnTaskkill(whole);
    return &program;
}

void cSimProcesses::WriteOutput(const std::string& commandLine, const std::string& output)
{
    for (size_t at = commandLine.find('>'); at != std::string::npos; at = commandLine.find('>', at + 1)) {
        // "2>&1" joins the streams; it names no file.
        if (at + 1 < commandLine.size() && commandLine[at + 1] == '&')
            continue;
        const bool append = at + 1 < commandLine.size() && commandLine[at + 1] == '>';
        size_t begin = commandLine.find_first_not_of(' ', at + (append ? 2 : 1));
        if (begin == std::string::npos)
            return;
        size_t end;
        if (commandLine[begin] == '"') {
            end = commandLine.find('"', ++begin);
        } else {
            end = commandLine.find(' ', begin);
        }
        const std::string path = commandLine.substr(begin, end == std::string::npos ? end : end - begin);
        // Only full paths (C:\...) map into the simulated drive.
        if (path.size() < 3 || path[1] != ':' || path[2] != '\\')
            return;
        if (append)
            Files.AppendToFile(path, output);
        else
            Files.WriteNewFile(path, output);
        return;
    }
}

uint32_t cSimProcesses::WinExec(const std::string& commandLine, int show)
{
    cSimLaunch launch;
    launch.Kind = eSimLaunchKind::WinExec;
    launch.CommandLine = commandLine;
    launch.Show = show;
    return Start(launch) ? 33 : 2;
}

std::unique_ptr<cProcess> cSimProcesses::CreateProcess(const cProcessStart& start)
{
    cSimLaunch launch;
    launch.Kind = eSimLaunchKind::CreateProcess;
    launch.Application = start.Application;
    launch.CommandLine = start.CommandLine;
    launch.InheritHandles = start.InheritHandles;
    launch.CreationFlags = start.CreationFlags;
    launch.Directory = start.CurrentDirectory;
    launch.Show = start.Show;
    const cSimProgram* program = Start(launch, ApplicationError(start.Application));
    if (!program)
        return nullptr;
    return std::make_unique<cSimProcess>(*this, LastStarted);
}

bool cSimProcesses::CreateProcessW(const std::wstring& application, const std::wstring& commandLine)
{
    cSimLaunch launch;
    launch.Kind = eSimLaunchKind::CreateProcessW;
    launch.Application = Narrow(application);
    launch.CommandLine = Narrow(commandLine);
    return Start(launch, ApplicationError(launch.Application)) != nullptr;
}

bool cSimProcesses::CreateProcessWithDesktopShellToken(const std::wstring& application,
                                                       const std::wstring& commandLine)
{
    cSimLaunch launch;
    launch.Kind = eSimLaunchKind::DesktopShellToken;
    launch.Application = Narrow(application);
    launch.CommandLine = Narrow(commandLine);
    return Start(launch, DesktopShellError) != nullptr;
}

bool cSimProcesses::ShellExecuteRunAs(const std::string& file, const std::string& parameters, int show)
{
    cSimLaunch launch;
    launch.Kind = eSimLaunchKind::RunAs;
    launch.Application = file;
    launch.CommandLine = file + " " + parameters;
    launch.Parameters = parameters;
    launch.Show = show;
    return Start(launch) != nullptr;
}

bool cSimProcesses::GetSystemDirectory(std::string& path)
{
    if (SystemDirectory.empty()) {
        Errors.SetLastError(5);
        return false;
    }
    path = SystemDirectory;
    return true;
}

bool cSimProcesses::GetProcessIntegrityLevel(uint32_t& level)
{
    if (IntegrityError != 0) {
        Errors.SetLastError(IntegrityError);
        return false;
    }
    level = IntegrityLevel;
    return true;
}

uint32_t cSimProcesses::Spawn(const cSimProgram& program)
{
    const uint32_t processId = NextProcessId;
    NextProcessId += 4;
    cRunning& running = Running[processId];
    running.End = program.RunTime == cSimProgram::RUNS_FOREVER ? program.RunTime : Clock.Now() + program.RunTime;
    running.ExitCode = program.ExitCode;
    running.PriorityClass = program.PriorityClass;
    if (Windowing != nullptr && !program.WindowClass.empty()) {
        const WindowHandle window = Windowing->AddWindow(program.WindowClass, program.WindowTitle, processId);
        Windowing->CloseWindowsOfProcess(processId, running.End);
        Windowing->SetForegroundWindow(window);
        const int64_t closeDelay = program.CloseDelay;
        Windowing->SetWindowAnswer(window, [this, processId, closeDelay](uint32_t message, uintptr_t, intptr_t) {
            if (message == WM_CLOSE && closeDelay != cSimProgram::IGNORES_CLOSE)
                EndProcess(processId, Clock.Now() + static_cast<uint64_t>(closeDelay));
            return intptr_t{0};
        });
    }
    return processId;
}

void cSimProcesses::PassOnTaskkill(const std::string& commandLine)
{
    // taskkill without /F closes the process the way the user would.
    if (commandLine.find("taskkill") == std::string::npos || Windowing == nullptr)
        return;
    const size_t at = commandLine.find("/PID ");
    if (at == std::string::npos)
        return;
    const uint32_t processId = static_cast<uint32_t>(std::strtoul(commandLine.c_str() + at + 5, nullptr, 10));
    if (IsRunning(processId))
        Windowing->RequestCloseOfProcess(processId);
}

uint32_t cSimProcesses::RunProgram(const cSimProgram& program)
{
    return Spawn(program);
}

bool cSimProcesses::IsRunning(uint32_t processId) const
{
    auto it = Running.find(processId);
    return it != Running.end() && Clock.Now() < it->second.End;
}

void cSimProcesses::EndProcess(uint32_t processId, uint64_t at, uint32_t exitCode)
{
    auto it = Running.find(processId);
    if (it == Running.end() || it->second.End <= at)
        return;
    it->second.End = at;
    it->second.ExitCode = exitCode;
    if (Windowing != nullptr)
        Windowing->CloseWindowsOfProcess(processId, at);
}

uint32_t cSimProcesses::PriorityClassOf(uint32_t processId) const
{
    auto it = Running.find(processId);
    return it == Running.end() ? 0 : it->second.PriorityClass;
}

void cSimProcesses::SetOpenRefused(uint32_t processId, bool refused)
{
    Running[processId].OpenRefused = refused;
}

std::unique_ptr<cProcess> cSimProcesses::OpenProcess(uint32_t processId, uint32_t /*access*/)
{
    if (!IsRunning(processId)) {
        Errors.SetLastError(87);
        return nullptr;
    }
    if (Running[processId].OpenRefused) {
        Errors.SetLastError(5);
        return nullptr;
    }
    return std::make_unique<cSimProcess>(*this, processId);
}

void cSimProcesses::EndNow(uint32_t processId)
{
    EndProcess(processId, Clock.Now());
}
