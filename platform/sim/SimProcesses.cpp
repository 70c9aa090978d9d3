#include "platform/sim/SimProcesses.h"

#include <algorithm>

#include "platform/sim/SimClock.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimServices.h"

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
    cSimProcess(cSimProcesses& owner, const cSimProgram& program)
        : Owner(owner), ExitCode(program.ExitCode),
          End(program.RunTime == cSimProgram::RUNS_FOREVER ? program.RunTime
                                                           : owner.Clock.Now() + program.RunTime)
    {
        ++Owner.OpenHandles;
    }
    ~cSimProcess() override { --Owner.OpenHandles; }

    eWaitResult Wait(uint32_t milliseconds) override
    {
        const uint64_t now = Owner.Clock.Now();
        if (now >= End)
            return eWaitResult::Signaled;
        if (End - now <= milliseconds) {
            Owner.Clock.Sleep(static_cast<uint32_t>(End - now));
            return eWaitResult::Signaled;
        }
        Owner.Clock.Sleep(milliseconds);
        return eWaitResult::Timeout;
    }

    bool GetExitCode(uint32_t& code) override
    {
        code = Owner.Clock.Now() >= End ? ExitCode : EXIT_CODE_STILL_ACTIVE;
        return true;
    }

private:
    cSimProcesses& Owner;
    uint32_t ExitCode;
    uint64_t End;
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
    return std::make_unique<cSimProcess>(*this, *program);
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
