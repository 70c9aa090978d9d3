#include "engine/EventActions.h"

#include <cstdio>

#include "engine/EngineSettings.h"
#include "foundation/ApplicationLauncher.h"
#include "foundation/MessageLogger.h"
#include "targets/MediaCenterContract.h"
#include "targets/ScreenBlanker.h"

namespace {

namespace Text {
constexpr const char* EXECUTING = "Executing: ";
constexpr const char* FLAGS = " Flags: ";
constexpr const char* EXECUTION_FAILED = "Execution failed";
constexpr const char* EXIT_CODE = "ExitCode = ";
constexpr const char* RESTART_RECEIVER = "Restarting Media Center Receiver Service (EhRecvr.exe)";
constexpr const char* RESTART_SCHEDULER = "Restarting Media Center Scheduler-service (EhSched.exe)";
constexpr const char* BLANK = "Blank";
constexpr const char* ALREADY_BLANKING = "Blank (was already blanking)";
constexpr const char* UNBLANK_TRUE = "UnBlank(true)";
constexpr const char* UNBLANK_FALSE = "UnBlank(false)";
constexpr const char* EHOME_STILL_RUNNING = "eHome is still running while it should be closed.";
constexpr const char* MEDIAPORTAL_STILL_RUNNING = "MediaPortal is still running while it should be closed.";
constexpr const char* TITLES_FILE = "Titles.txt";
constexpr const char* NET = "net.exe";
}  // namespace Text

// A program run with ALF_WAIT gets this long before its exit code is read.
constexpr int32_t PROGRAM_WAIT_MS = 30000;
constexpr int32_t SERVICE_WAIT_MS = 5000;
constexpr uint16_t HIDDEN_SHELL = ALF_COMMAND_SHELL | ALF_HIDDEN;
constexpr size_t TITLE_CLASS_COLUMNS = 25;

}  // namespace

cEventActions::cEventActions(cPlatform& platform, cEngineSettings& settings, cScreenBlanker& blanker,
                             cMessageLogger& logger)
    : Platform(platform), Settings(settings), Blanker(blanker), Logger(logger)
{
}

bool cEventActions::Run(eEventProgram event)
{
    struct cProgramSetting {
        cPersistentAnsiString& Command;
        cPersistentInteger& Flags;
    };
    const auto setting = [this](eEventProgram which) -> cProgramSetting {
        cEngineSettings& s = Settings;
        switch (which) {
        case eEventProgram::UserSuspendEarly: return {s.RunOnUserSuspendEarly, s.RunOnUserSuspendEarlyFlags};
        case eEventProgram::AutoSuspendEarly: return {s.RunOnAutoSuspendEarly, s.RunOnAutoSuspendEarlyFlags};
        case eEventProgram::UserSuspend: return {s.RunOnUserSuspend, s.RunOnUserSuspendFlags};
        case eEventProgram::AutoSuspend: return {s.RunOnAutoSuspend, s.RunOnAutoSuspendFlags};
        case eEventProgram::UserResume: return {s.RunOnUserResume, s.RunOnUserResumeFlags};
        case eEventProgram::AutoResume: return {s.RunOnAutoResume, s.RunOnAutoResumeFlags};
        case eEventProgram::UserInterfaceResume:
            return {s.RunOnUserInterfaceResume, s.RunOnUserInterfaceResumeFlags};
        case eEventProgram::Away: return {s.RunOnAway, s.RunOnAwayFlags};
        case eEventProgram::AwayResume: return {s.RunOnAwayResume, s.RunOnAwayResumeFlags};
        case eEventProgram::Reboot: return {s.RunOnReboot, s.RunOnRebootFlags};
        case eEventProgram::DisplayOn: return {s.RunOnDisplayOn, s.RunOnDisplayOnFlags};
        case eEventProgram::DisplayOff: break;
        }
        return {s.RunOnDisplayOff, s.RunOnDisplayOffFlags};
    }(event);
    const std::string command = setting.Command.Get();
    if (command.empty())
        return false;
    return RunEventProgram(command, setting.Flags.Get());
}

bool cEventActions::RunEventProgram(const std::string& commandLine, int32_t flags)
{
    const uint32_t bits = static_cast<uint32_t>(flags);
    cApplicationLauncher launcher(Platform, commandLine, static_cast<uint16_t>(bits & 0xFFFF));
    char hex[16];
    std::snprintf(hex, sizeof hex, "%02X", bits);
    Logger.WriteLine(Text::EXECUTING + commandLine + Text::FLAGS + hex + "h");
    if (!launcher.Launch("")) {
        Logger.WriteError(Text::EXECUTION_FAILED, true);
        return false;
    }
    if (bits & ALF_WAIT)
        Logger.WriteLine(Text::EXIT_CODE + std::to_string(launcher.WaitForExit(PROGRAM_WAIT_MS)));
    return true;
}

void cEventActions::RestartReceiverService()
{
    RestartService(Text::RESTART_RECEIVER, MC_RECEIVER_SERVICE);
}

void cEventActions::RestartSchedulerService()
{
    RestartService(Text::RESTART_SCHEDULER, MC_SCHEDULER_SERVICE);
}

void cEventActions::RestartService(const char* logLine, const char* serviceName)
{
    Logger.WriteLine(logLine);
    cApplicationLauncher net(Platform, Text::NET, HIDDEN_SHELL);
    const std::string quoted = std::string("\"") + serviceName + "\"";
    // A stop that fails (the service was not running) still lets the start try.
    if (net.Launch("stop " + quoted))
        net.WaitForExit(SERVICE_WAIT_MS);
    if (net.Launch("start " + quoted))
        net.WaitForExit(SERVICE_WAIT_MS);
}

void cEventActions::Blank()
{
    if (Settings.BlankScreen == 0)
        return;
    if (Blanker.IsBlanking()) {
        Logger.WriteLine(Text::ALREADY_BLANKING);
        return;
    }
    Blanker.StartBlanking();
    Logger.WriteLine(Text::BLANK);
}

void cEventActions::UnBlank(bool restartPending)
{
    if (Settings.BlankScreen == 0)
        return;
    Logger.WriteLine(restartPending ? Text::UNBLANK_TRUE : Text::UNBLANK_FALSE);
    Blanker.StopBlanking(restartPending);
}

bool cEventActions::IsBlanking() const
{
    return Blanker.IsBlanking();
}

std::string cEventActions::TitlesFilePath()
{
    return Logger.GetLogPath() + "\\" + Text::TITLES_FILE;
}

void cEventActions::BeginWindowTitles()
{
    Platform.Files.DeleteFile(TitlesFilePath());
}

void cEventActions::SaveWindowTitle(const cWindowInfo& window)
{
    if (window.Title.empty())
        return;
    char processId[16];
    std::snprintf(processId, sizeof processId, "%08x", window.ProcessId);
    std::string className = window.ClassName;
    if (className.size() < TITLE_CLASS_COLUMNS)
        className.resize(TITLE_CLASS_COLUMNS, ' ');
    Platform.Files.AppendToFile(TitlesFilePath(), className + ", " + processId + ", >" + window.Title + "<\r\n");
}

void cEventActions::WarnFrontEndStillRunning(eFrontEnd frontEnd)
{
    // The balloon joins the log line once the tray icon is there.
    Logger.WriteLine(frontEnd == eFrontEnd::MediaCenter ? Text::EHOME_STILL_RUNNING : Text::MEDIAPORTAL_STILL_RUNNING);
}
