#include "foundation/ApplicationLauncher.h"

namespace {

// The first token of every command line: the application is passed on its
// own, so the program's argument 0 is only a stand-in.
constexpr const char* ARGUMENT_ZERO = "placeholder ";
constexpr const char* FALLBACK_TEMP_DIRECTORY = "C:";
constexpr const char* FALLBACK_SYSTEM_DIRECTORY = "c:\\windows\\system32";
constexpr uint32_t POLL_INTERVAL_MS = 20;
// Above this integrity level (medium) the program runs elevated.
constexpr uint32_t INTEGRITY_LEVEL_MEDIUM = 0x2000;

// Character by character, as the wide calls take the texts.
std::wstring Widen(const std::string& text)
{
    std::wstring wide;
    wide.reserve(text.size());
    for (unsigned char c : text)
        wide += static_cast<wchar_t>(c);
    return wide;
}

}  // namespace

std::string SystemDirectoryOrDefault(cProcesses& processes)
{
    std::string directory;
    if (!processes.GetSystemDirectory(directory))
        directory = FALLBACK_SYSTEM_DIRECTORY;
    return directory;
}

cApplicationLauncher::cApplicationLauncher(cPlatform& platform, const std::string& command, uint16_t flags)
    : Platform(platform), Flags(flags), Capture((flags & ALF_COMMAND_SHELL) && (flags & ALF_CAPTURE)),
      Command(command)
{
    if (!Capture)
        return;
    std::string directory = Platform.Files.GetTempPath();
    if (directory.empty())
        directory = FALLBACK_TEMP_DIRECTORY;
    // On failure the path stays empty: the shell's redirection then fails and
    // the caller finds no output.
    Platform.Files.GetTempFileName(directory, Command, OutputFile);
}

cApplicationLauncher::~cApplicationLauncher()
{
    if (Capture && !OutputFile.empty())
        Platform.Files.DeleteFile(OutputFile);
}

std::string cApplicationLauncher::ShellTail(const std::string& parameters) const
{
    std::string tail;
    if (Flags & ALF_COMMAND_SHELL) {
        // /d: no AutoRun commands; /v:on: !errorlevel! is read when the
        // command has run, not when the line is parsed.
        tail = "/d /v:on ";
        tail += (Flags & ALF_KEEP_OPEN) ? "/k " : "/c ";
        tail += "\"" + Command + "\" ";
    }
    tail += parameters;
    if (Flags & ALF_PAUSE_ON_ERROR)
        tail += " & if not !errorlevel!==0 pause";
    if (Capture)
        tail += " >" + OutputFile + " 2>&1";
    if (Flags & ALF_COMMAND_SHELL)
        tail += " & exit /b !errorlevel!";
    return tail;
}

bool cApplicationLauncher::Launch(const std::string& parameters)
{
    if (Flags & ALF_ELEVATE)
        return LaunchElevated(parameters);

    const std::string application =
        (Flags & ALF_COMMAND_SHELL) ? SystemDirectoryOrDefault(Platform.Processes) + "\\cmd.exe" : Command;
    const std::string commandLine = ARGUMENT_ZERO + ShellTail(parameters);

    Process.reset();
    Startup = cProcessStart();
    Startup.Show = (Flags & ALF_HIDDEN) ? SHOW_HIDE : SHOW_SHOW;
    if (Flags & ALF_AS_DESKTOP_USER)
        return LaunchAsDesktopUser(application, commandLine);

    Startup.Application = application;
    Startup.CommandLine = commandLine;
    Startup.InheritHandles = true;
    Startup.CreationFlags = CreationFlags | CREATE_PROCESS_GROUP;
    // Also without the shell: the flag asks for the system directory.
    if (Flags & ALF_SYSTEM_DIRECTORY)
        Startup.CurrentDirectory = SystemDirectoryOrDefault(Platform.Processes);
    Process = Platform.Processes.CreateProcess(Startup);
    if (!Process)
        return false;
    StartTime = Platform.Clock.GetTickCount();
    return true;
}

bool cApplicationLauncher::LaunchAsDesktopUser(const std::string& application, const std::string& commandLine)
{
    // Sized to fit, so that texts of any length pass whole.
    const std::wstring wideApplication = Widen(application);
    const std::wstring wideCommandLine = Widen(commandLine);

    // Windows before Vista has no integrity levels: start normally there.
    uint32_t level = 0;
    if (Platform.Processes.HasGetProductInfo() && !Platform.Processes.GetProcessIntegrityLevel(level))
        return false;
    const bool started = level > INTEGRITY_LEVEL_MEDIUM
                             ? Platform.Processes.CreateProcessWithDesktopShellToken(wideApplication, wideCommandLine)
                             : Platform.Processes.CreateProcessW(wideApplication, wideCommandLine);
    if (started)
        StartTime = Platform.Clock.GetTickCount();
    return started;
}

bool cApplicationLauncher::LaunchElevated(const std::string& parameters)
{
    // The elevated program is started by the shell, which hands back no
    // process to wait for.
    Process.reset();
    if (Flags & ALF_COMMAND_SHELL)
        return Platform.Processes.ShellExecuteRunAs("cmd.exe", ShellTail(parameters), SHOW_NORMAL);
    return Platform.Processes.ShellExecuteRunAs(Command, parameters, SHOW_NORMAL);
}

uint32_t cApplicationLauncher::WaitForExit(int32_t timeout)
{
    if (!Process)
        return EXIT_CODE_STILL_ACTIVE;
    if (timeout < 0) {
        Process->GetExitCode(ExitCode);
        return ExitCode;
    }
    const uint32_t start = Platform.Clock.GetTickCount();
    ExitCode = EXIT_CODE_STILL_ACTIVE;
    bool read = true;
    // Tick differences in unsigned arithmetic survive the wrap of the count.
    while (ExitCode == EXIT_CODE_STILL_ACTIVE && read &&
           (timeout == 0 || Platform.Clock.GetTickCount() - start < static_cast<uint32_t>(timeout))) {
        Platform.Clock.Sleep(POLL_INTERVAL_MS);
        read = Process->GetExitCode(ExitCode);
    }
    return ExitCode;
}

eWaitResult cApplicationLauncher::WaitForProcess(int32_t timeout)
{
    if (!Process)
        return eWaitResult::Failed;
    return Process->Wait(timeout < 0 ? 0 : static_cast<uint32_t>(timeout));
}
