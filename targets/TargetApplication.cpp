#include "targets/TargetApplication.h"

#include <cstdio>

#include "foundation/ApplicationLauncher.h"
#include "foundation/MessageLogger.h"
#include "foundation/Settings.h"
#include "foundation/WindowsVersion.h"

namespace {

// SYNCHRONIZE, PROCESS_QUERY_INFORMATION, PROCESS_SET_INFORMATION and
// PROCESS_TERMINATE: wait for the target, raise its priority, end it.
constexpr uint32_t TARGET_PROCESS_ACCESS = 0x00100601;
constexpr uint32_t PRIORITY_CLASS_HIGH = 0x0080;

constexpr uint16_t VK_MENU = 0x12;  // Alt
constexpr uint16_t VK_ESCAPE = 0x1B;
constexpr uint16_t VK_F4 = 0x73;
// Alt+Esc moves the foreground on by one window: at most this many tries.
constexpr int MAX_ALT_ESC = 25;
// The target gets this long after Alt+F4 before the wait for its end.
constexpr uint32_t AFTER_CLOSE_KEYS_MS = 100;

std::string Hex8(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%08llx", static_cast<unsigned long long>(value));
    return text;
}

std::string Hex4(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

}  // namespace

cTargetApplication::cTargetApplication(cPlatform& platform, cMessageLogger& logger, cWindowsVersion& version,
                                       const std::string& name)
    : FakeTarget(platform.Registry, name + "_FakeTarget", HIVE_LOCAL_MACHINE),
      StartAtBoot(platform.Registry, name + "_StartAtBoot", HIVE_CURRENT_USER, false),
      StartDelay(platform.Registry, name + "_StartDelay", HIVE_LOCAL_MACHINE, 0),
      CloseMethod(platform.Registry, name + "_CloseMethod", HIVE_LOCAL_MACHINE, CM_TERMINATE_SIGNAL),
      StopStartMode(platform.Registry, name + "_StopStartMode", HIVE_LOCAL_MACHINE, SM_RESTART_IF_RUNNING),
      Platform(platform), Logger(logger), Version(version), Name(name)
{
    StopStartMode.SetDisabledValue(SM_DO_NOTHING);
}

bool cTargetApplication::IsRunning()
{
    return Platform.Windowing.FindWindow(GetWindowClass(), "") != 0;
}

bool cTargetApplication::Start()
{
    return ResumeStart();
}

void cTargetApplication::Close(WindowHandle window, uint32_t processId, bool hibernating)
{
    switch (CloseMethod.Get()) {
    case CM_NONE:
        return;
    case CM_WM_CLOSE:
        CloseByWmClose(window, processId);
        return;
    case CM_USER_SIMULATION:
        CloseByUserSimulation(window, processId);
        return;
    case CM_USER_SIMULATION_OR_SIGNAL:
        // Keys sent while Vista and later hibernate are lost.
        if (Version.IsVistaOrLater() && hibernating)
            CloseByTerminateSignal(window, processId);
        else
            CloseByUserSimulation(window, processId);
        return;
    default:
        CloseByTerminateSignal(window, processId);
        return;
    }
}

int cTargetApplication::StartIfNeeded()
{
    if (!MustStartAtResume())
        return TARGET_NOT_NEEDED;
    return ResumeStart() ? TARGET_STARTED : TARGET_START_FAILED;
}

bool cTargetApplication::MustStopAtSuspend()
{
    const int32_t mode = StopStartMode;
    return Installed && (mode == SM_RESTART_IF_RUNNING || mode == SM_ALWAYS_START || mode == SM_NEVER_START);
}

bool cTargetApplication::MustStartAtResume()
{
    const int32_t mode = StopStartMode;
    return Installed && (mode == SM_ALWAYS_START || (mode == SM_RESTART_IF_RUNNING && WasRunningAtSuspend) ||
                         mode == SM_JUMP_TO_PAGE);
}

void cTargetApplication::SaveRunningState()
{
    cPersistentBool(Platform.Registry, Name + "_WasRunning", HIVE_CURRENT_USER, false).Set(IsRunning());
    cPersistentBool(Platform.Registry, Name + "_WasRunningAtSuspend", HIVE_CURRENT_USER, false)
        .Set(WasRunningAtSuspend);
}

void cTargetApplication::RestoreRunningState()
{
    const cPersistentBool wasRunning(Platform.Registry, Name + "_WasRunning", HIVE_CURRENT_USER, false);
    const cPersistentBool atSuspend(Platform.Registry, Name + "_WasRunningAtSuspend", HIVE_CURRENT_USER, false);
    if (wasRunning)
        Start();
    WasRunningAtSuspend = atSuspend;
}

void cTargetApplication::ClearRunningState()
{
    cPersistentBool(Platform.Registry, Name + "_WasRunning", HIVE_CURRENT_USER, false).Delete();
    cPersistentBool(Platform.Registry, Name + "_WasRunningAtSuspend", HIVE_CURRENT_USER, false).Delete();
}

void cTargetApplication::TerminateTarget(cProcess* process)
{
    if (!TerminateAllowed) {
        Logger.WriteLine("Unsafe to terminate the " + Name + " process");
        if (Version.IsXpFamily())
            Logger.WriteLine("(Don't use the sleep option from the " + Name + " menu to suspend the system)", false);
        return;
    }
    BoostPriority(process);
    if (process != nullptr && process->Terminate(0))
        Logger.WriteLine("TerminateProcess() succesfull.");
    else
        Logger.WriteError("TerminateProcess() failed.", true);
}

void cTargetApplication::BoostPriority(cProcess* process)
{
    uint32_t old = 0;
    if (process != nullptr && process->GetPriorityClass(old) && process->SetPriorityClass(PRIORITY_CLASS_HIGH))
        Logger.WriteLine(Name + " boost successful (" + Hex4(old) + "->" + Hex4(PRIORITY_CLASS_HIGH) + ")");
    else
        Logger.WriteError(Name + " boost failed", true);
}

std::unique_ptr<cProcess> cTargetApplication::OpenTarget(uint32_t processId, const std::string& failureLine)
{
    std::unique_ptr<cProcess> process = Platform.Processes.OpenProcess(processId, TARGET_PROCESS_ACCESS);
    if (!process)
        Logger.WriteLine(failureLine);
    return process;
}

std::string cTargetApplication::HandleAndProcess(WindowHandle window, uint32_t processId)
{
    return "(Handle=" + Hex8(window) + " ProcessId=" + Hex8(processId) + ")";
}

bool cTargetApplication::WaitForTarget(cProcess* process, int64_t timeout)
{
    if (process == nullptr || timeout < 0)
        return false;
    return process->Wait(static_cast<uint32_t>(timeout)) == eWaitResult::Signaled;
}

bool cTargetApplication::WaitForForegroundWindow(uint32_t start, uint32_t limit)
{
    // Windows leaves no foreground window for a moment while it switches;
    // the wait is bounded so that a desktop without one cannot hang the
    // suspend.
    while (Platform.Windowing.GetForegroundWindow() == 0) {
        if (Platform.Clock.GetTickCount() - start >= limit)
            return false;
        Platform.Clock.Sleep(1);
    }
    return true;
}

bool cTargetApplication::BringToFront(WindowHandle window, uint32_t start)
{
    cWindowing& windowing = Platform.Windowing;
    if (windowing.GetForegroundWindow() != window) {
        windowing.SetForegroundWindow(window);
        WaitForForegroundWindow(start, CloseTimeout);
        for (int tries = 0; tries < MAX_ALT_ESC && windowing.GetForegroundWindow() != window; ++tries) {
            SendChord(VK_ESCAPE);
            if (!WaitForForegroundWindow(start, CloseTimeout))
                break;
        }
    }
    return windowing.GetForegroundWindow() == window;
}

void cTargetApplication::SendChord(uint16_t key)
{
    Platform.Windowing.SendKeyboardInput({{VK_MENU, false}, {key, false}, {key, true}, {VK_MENU, true}});
}

void cTargetApplication::CloseByUserSimulation(WindowHandle window, uint32_t processId)
{
    std::unique_ptr<cProcess> process =
        OpenTarget(processId, Name + " is running, insufficient rights to terminate!");
    bool force = IsDeadlocked();
    if (!force) {
        Logger.WriteLine(Name + " is running, closing by user simulation " + HandleAndProcess(window, processId));
        const uint32_t start = Platform.Clock.GetTickCount();
        if (BringToFront(window, start)) {
            SendChord(VK_F4);
            const uint32_t sent = Platform.Clock.GetTickCount();
            Platform.Clock.Sleep(AFTER_CLOSE_KEYS_MS);
            if (WaitForTarget(process.get(), CloseTimeout)) {
                Logger.WriteLine("Close request successfully finished (" +
                                 std::to_string(Platform.Clock.GetTickCount() - sent) + "ms)");
            } else {
                Logger.WriteLine("Close request timed out");
                force = true;
            }
        } else {
            Logger.WriteLine("Failed to make " + Name + " foreground window");
            force = true;
        }
    }
    if (force)
        TerminateTarget(process.get());
}

void cTargetApplication::CloseByTerminateSignal(WindowHandle window, uint32_t processId)
{
    std::unique_ptr<cProcess> process =
        OpenTarget(processId, Name + " is running, insufficient rights to terminate!");
    bool force = IsDeadlocked();
    if (!force) {
        Logger.WriteLine(Name + " is running, closing by sending terminate signal " +
                         HandleAndProcess(window, processId));
        const uint32_t start = Platform.Clock.GetTickCount();
        auto remaining = [&] {
            return static_cast<int64_t>(CloseTimeout) - static_cast<int64_t>(Platform.Clock.GetTickCount() - start);
        };
        // taskkill without /F asks the process to close, as the user would;
        // at high priority so that it runs at once.
        cApplicationLauncher taskkill(Platform, SystemDirectoryOrDefault(Platform.Processes) + "\\taskkill.exe",
                                      ALF_HIDDEN);
        taskkill.SetCreationPriority(PRIORITY_CLASS_HIGH);
        if (!taskkill.Launch("/PID " + std::to_string(processId)))
            Logger.WriteError("Sending terminate signal failed", true);
        int64_t left = remaining();
        Logger.WriteLine("Timeout = " + std::to_string(left) + "ms");
        // A timeout that has run out reads the exit code once: waiting
        // without limit could hang the suspend on a hanging taskkill.
        const uint32_t exitCode = taskkill.WaitForExit(left > 0 ? static_cast<int32_t>(left) : -1);
        Logger.WriteLine("Terminate signal send, result=" + std::to_string(exitCode));
        left = remaining();
        Logger.WriteLine("Timeout = " + std::to_string(left) + "ms");
        if (left >= 1 && WaitForTarget(process.get(), left)) {
            Logger.WriteLine("Close request successfully finished (" +
                             std::to_string(Platform.Clock.GetTickCount() - start) + "ms)");
        } else {
            Logger.WriteLine("Close request timed out");
            force = true;
        }
    }
    if (force)
        TerminateTarget(process.get());
}
