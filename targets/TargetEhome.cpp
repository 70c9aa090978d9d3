#include "targets/TargetEhome.h"

#include <cstdio>

#include "foundation/ApplicationLauncher.h"
#include "foundation/MessageLogger.h"
#include "foundation/Settings.h"
#include "foundation/WindowsVersion.h"
#include "platform/WinConst.h"
#include "targets/MediaCenterContract.h"

namespace {

constexpr const char* NAME = "eHome";
constexpr uint32_t CLOSE_TIMEOUT_XP = 20000;
constexpr uint32_t CLOSE_TIMEOUT_VISTA = 6000;
// Disable reason of the start page: Media Center is never started.
constexpr uint32_t START_PAGE_UNUSED = 0x20;

constexpr const char* RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr int FOLDER_WINDOWS = 36;  // CSIDL_WINDOWS
constexpr const char* DEFAULT_WINDOWS_FOLDER = "C:\\Windows";

// The closed instance may take a while to go: 120 looks, 500 ms apart.
constexpr int OLD_INSTANCE_LOOKS = 120;
constexpr uint32_t OLD_INSTANCE_INTERVAL_MS = 500;
// The tray applet's window appears within about 45 s.
constexpr int TRAY_LOOKS = 900;
constexpr uint32_t TRAY_INTERVAL_MS = 50;
constexpr uint32_t SMTO_ABORTIFHUNG_NOTIMEOUTIFNOTHUNG = 0x000A;
constexpr uint32_t NAVIGATION_TIMEOUT_MS = 20000;

// The direct start: CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, maximised.
constexpr uint32_t DIRECT_START_FLAGS = 0x04000020;
constexpr int SHOW_MAXIMIZED = 3;
constexpr size_t MAX_COMMAND_LINE = 260;
constexpr uint32_t WINDOW_LOOK_INTERVAL_MS = 25;

struct cStartPage {
    int32_t Code;
    const char* Name;
};
constexpr cStartPage START_PAGES[] = {
    {0, "default"},         {1, "live tv"},
    {2, "guide"},           {3, "(my tv)"},
    {4, "recorded tv"},     {5, "music library"},
    {6, "picture library"}, {7, "(scheduled recordings)"},
    {8, "video library"},   {9, "radio"},
    {12, "explore"},        {13, "extensibility application"},
};
constexpr int BASIC_START_PAGES = 10;
constexpr int ALL_START_PAGES = 12;

std::string Hex8(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%08llx", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

cTargetEhome::cTargetEhome(cPlatform& platform, cMessageLogger& logger, cWindowsVersion& version)
    : cTargetApplication(platform, logger, version, NAME),
      StartPage(platform.Registry, "eHome_StartPage", HIVE_LOCAL_MACHINE, SL_DEFAULT),
      StartTimeout(platform.Registry, "eHome_StartTimeout", HIVE_LOCAL_MACHINE, 30000),
      SmartWmClose(platform.Registry, "eHome_SmartWmClose", HIVE_LOCAL_MACHINE, true),
      SkipTerminate(platform.Registry, "eHome_SkipTerminate", HIVE_LOCAL_MACHINE, false),
      SkipRefocus(platform.Registry, "SkipRefocus", HIVE_LOCAL_MACHINE, false)
{
    CloseTimeout = Version.IsVistaOrLater() ? CLOSE_TIMEOUT_VISTA : CLOSE_TIMEOUT_XP;
    // A Media Center that does not close is left running, never killed.
    TerminateAllowed = false;
    Installed = Platform.Files.FileExists(GetExecutablePath()) || FakeTarget.Get();
    StartPage.SetDisabledValue(SL_DEFAULT);
}

std::string cTargetEhome::WindowsDirectory()
{
    std::string folder;
    if (!Platform.Files.GetWindowsDirectory(folder))
        folder = DEFAULT_WINDOWS_FOLDER;
    return folder;
}

std::string cTargetEhome::GetWindowClass()
{
    return FakeTarget.Get() ? "Notepad" : MC_SHELL_WINDOW_CLASS;
}

std::string cTargetEhome::GetExecutablePath()
{
    const std::string folder = WindowsDirectory();
    return FakeTarget.Get() ? folder + "\\notepad.exe" : MediaCenterShellPath(folder);
}

// ---------------------------------------------------------------------------
// Start

bool cTargetEhome::ResumeStart()
{
    Logger.WriteLine("eHome ResumeStart()");
    if (FakeTarget.Get()) {
        Logger.WriteLine("StartEhome62()");
        return StartEhome62();
    }
    return NavigateToPage();
}

void cTargetEhome::DelayStart()
{
    const int32_t delay = StartDelay;
    if (delay > 0) {
        Logger.WriteLine("Delaying eHome start for " + std::to_string(delay) + " milliseconds.");
        Platform.Clock.Sleep(static_cast<uint32_t>(delay));
    }
}

bool cTargetEhome::NavigateToPage()
{
    DelayStart();
    if (MustStopAtSuspend() && IsRunning()) {
        for (int look = 0; look < OLD_INSTANCE_LOOKS && IsRunning(); ++look)
            Platform.Clock.Sleep(OLD_INSTANCE_INTERVAL_MS);
        Logger.WriteLine(IsRunning() ? "eHome still running." : "eHome finally closed.");
    }
    const WindowHandle tray = FindOrStartTrayApplet();
    if (tray == 0)
        return false;

    const uint32_t message = Platform.Windowing.RegisterWindowMessage(MC_NAVIGATE_MESSAGE);
    const int32_t page = GetStartPage();
    uintptr_t answer = 0;
    // A running Media Center on Vista and later ignores a move to the page it
    // shows already: the default page is reached through another one.
    if (Version.IsVistaOrLater() && IsRunning() && page == SL_DEFAULT) {
        Logger.WriteLine("Move to Recorded TV first");
        if (!SendNavigation(tray, message, SL_RECORDEDTV, answer) || answer == 0) {
            Logger.WriteError("SendMessageTimeout failed (already running)", true);
            return false;
        }
    }
    Logger.WriteLine("Start at / Move to selected page");
    if (SendNavigation(tray, message, page, answer) && answer != 0)
        return true;
    Logger.WriteError("SendMessageTimeout failed (" + Hex8(tray) + ", " + Hex8(message) + ")", true);
    return false;
}

WindowHandle cTargetEhome::FindOrStartTrayApplet()
{
    WindowHandle tray = Platform.Windowing.FindWindow(MC_TRAY_WINDOW_CLASS, "");
    if (tray != 0)
        return tray;
    std::string folder;
    if (!Platform.Files.GetWindowsDirectory(folder)) {
        Logger.WriteError("GetSystemWindowsDirectory() failed", true);
        return 0;
    }
    const std::string program = MediaCenterTrayPath(folder);
    Logger.WriteLine("Starting Tray Applet");
    Logger.WriteLine(program);
    cApplicationLauncher launcher(Platform, program, 0);
    if (!launcher.Launch("")) {
        Logger.WriteError("Failed to create process", true);
        return 0;
    }
    for (int look = 0; look < TRAY_LOOKS && tray == 0; ++look) {
        Platform.Clock.Sleep(TRAY_INTERVAL_MS);
        tray = Platform.Windowing.FindWindow(MC_TRAY_WINDOW_CLASS, "");
    }
    Logger.WriteLine(tray == 0 ? "Starting Tray Applet failed (Timeout)" : "Starting Tray Applet succesfull");
    return tray;
}

bool cTargetEhome::SendNavigation(WindowHandle tray, uint32_t message, int32_t page, uintptr_t& answer)
{
    answer = 0;
    return Platform.Windowing.SendMessageTimeout(tray, message, static_cast<uintptr_t>(page), MC_NAVIGATE_LPARAM,
                                                 SMTO_ABORTIFHUNG_NOTIMEOUTIFNOTHUNG, NAVIGATION_TIMEOUT_MS,
                                                 answer);
}

bool cTargetEhome::StartEhome62()
{
    if (IsRunning())
        Logger.WriteLine("eHome not fully closed, increase Standby Delay.");
    std::string commandLine = GetExecutablePath();
    if (commandLine.size() > MAX_COMMAND_LINE)
        commandLine.resize(MAX_COMMAND_LINE);
    DelayStart();

    cProcessStart start;
    start.CommandLine = commandLine;
    start.CreationFlags = DIRECT_START_FLAGS;
    start.Show = SHOW_MAXIMIZED;
    const std::unique_ptr<cProcess> process = Platform.Processes.CreateProcess(start);
    if (!process) {
        Logger.WriteError("Starting eHome failed.", false);
        return false;
    }
    const uint32_t created = Platform.Clock.GetTickCount();
    Logger.WriteLine("eHome succesfully started.");

    const std::string windowClass = GetWindowClass();
    const uint32_t timeout = static_cast<uint32_t>(std::max<int32_t>(StartTimeout, 0));
    WindowHandle window = Platform.Windowing.FindWindow(windowClass, "");
    while (window == 0 && Platform.Clock.GetTickCount() - created <= timeout) {
        Platform.Clock.Sleep(WINDOW_LOOK_INTERVAL_MS);
        window = Platform.Windowing.FindWindow(windowClass, "");
    }
    Logger.WriteLine(Platform.Windowing.GetForegroundWindow() == window ? "eHome is ForegroundWindow."
                                                                        : "eHome is NOT the ForegroundWindow.");
    if (window == 0) {
        Logger.WriteLine("Cant find eHome window.");
    } else if (SkipRefocus) {
        Logger.WriteLine("Making eHome ForegroundWindow skipped.");
    } else {
        Logger.WriteLine("Making eHome ForegroundWindow.");
        if (!Platform.Windowing.SetForegroundWindow(window))
            Logger.WriteError("Restoring Failed.", true);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Close

bool cTargetEhome::IsDeadlocked()
{
    // Only a suspend that another program started on the XP family, without
    // allowing user interaction, leaves Media Center unable to answer.
    bool deadlocked = !Version.IsVistaOrLater();
    const bool automatic = Platform.Power.IsSystemResumeAutomatic();
    if (!automatic && (QuerySuspendFlags & 1) != 0)
        deadlocked = false;
    if (SuspendInitiated || automatic)
        deadlocked = false;
    if (deadlocked)
        Logger.WriteLine("Deadlock == true");
    return deadlocked;
}

void cTargetEhome::TerminateByHandle(cProcess* process)
{
    if (process != nullptr && process->Terminate(0))
        Logger.WriteLine("TerminateProcess() succesfull.");
    else
        Logger.WriteError("TerminateProcess() failed.", true);
}

void cTargetEhome::CloseByWmClose(WindowHandle window, uint32_t processId)
{
    std::unique_ptr<cProcess> process = OpenTarget(processId, "eHome is running, not enough rights to terminate!");
    const bool skipTerminate = SkipTerminate;
    bool post = true;
    if (SmartWmClose) {
        post = !IsDeadlocked();
        Logger.WriteLine(post ? "CanWmClose == true" : "CanWmClose == false");
        if (skipTerminate) {
            Logger.WriteLine("SkipTerminate == true");
            post = true;
        }
    }
    if (!post) {
        Logger.WriteLine("eHome is running, Terminating process " + HandleAndProcess(window, processId));
        TerminateByHandle(process.get());
        return;
    }
    Logger.WriteLine("eHome is running, sending WM_CLOSE " + HandleAndProcess(window, processId));
    const uint32_t sent = Platform.Clock.GetTickCount();
    Platform.Windowing.PostMessage(window, WM_CLOSE, 0, 0);
    if (skipTerminate)
        return;
    if (WaitForTarget(process.get(), CloseTimeout)) {
        Logger.WriteLine("WM_CLOSE request succesfull. (" + std::to_string(Platform.Clock.GetTickCount() - sent) +
                         "ms)");
        return;
    }
    Logger.WriteLine("WM_CLOSE request not honored, the rough way now :-).");
    TerminateByHandle(process.get());
}

// ---------------------------------------------------------------------------
// Start at logon

bool cTargetEhome::IsLogonStartRegistered()
{
    cRegistryValue value;
    return Platform.Registry.ReadValue(eHive::CurrentUser, RUN_KEY, MC_RUN_VALUE_NAME, value) == REGRESULT_SUCCESS;
}

bool cTargetEhome::SetLogonStartRegistered(bool on)
{
    if (!on) {
        Platform.Registry.DeleteValue(eHive::CurrentUser, RUN_KEY, MC_RUN_VALUE_NAME);
        return true;
    }
    std::string folder;
    if (!Platform.Files.GetSpecialFolder(FOLDER_WINDOWS, folder))
        folder = DEFAULT_WINDOWS_FOLDER;
    const std::string command = MediaCenterRunCommand(folder);
    cRegistryValue value;
    value.Type = REGTYPE_SZ;
    value.Data.assign(command.begin(), command.end());
    value.Data.push_back(0);
    return Platform.Registry.WriteValue(eHive::CurrentUser, RUN_KEY, MC_RUN_VALUE_NAME, value) == REGRESULT_SUCCESS;
}

// ---------------------------------------------------------------------------
// Start pages

void cTargetEhome::RefreshStartPageAvailability()
{
    StartPage.SetEnabled(START_PAGE_UNUSED, !(GetStartMode() == SM_DO_NOTHING && !StartAtBoot.Get()));
}

int32_t cTargetEhome::GetStartPage()
{
    RefreshStartPageAvailability();
    return StartPage;
}

bool cTargetEhome::CanSetStartPage()
{
    RefreshStartPageAvailability();
    return StartPage.IsEnabled();
}

int cTargetEhome::GetStartPageCount()
{
    // Plain character comparison, as the releases are numbered.
    return cWindowsVersion::GetMediaCenterIdent(Platform.Registry) > "3.0" ? ALL_START_PAGES : BASIC_START_PAGES;
}

int32_t cTargetEhome::GetStartPageCode(int index)
{
    if (index < 0 || index >= GetStartPageCount())
        return SL_DEFAULT;
    return START_PAGES[index].Code;
}

std::string cTargetEhome::GetStartPageName(int32_t code)
{
    for (const cStartPage& page : START_PAGES)
        if (page.Code == code)
            return page.Name;
    return "Unknown";
}
