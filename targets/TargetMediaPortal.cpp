#include "targets/TargetMediaPortal.h"

#include <algorithm>

#include "foundation/MessageLogger.h"
#include "foundation/Settings.h"
#include "platform/WinConst.h"

namespace {

constexpr const char* NAME = "MediaPortal";
constexpr uint32_t CLOSE_TIMEOUT_MS = 7000;
constexpr int32_t DEFAULT_START_TIMEOUT_MS = 45000;

// Where MediaPortal's installer leaves its traces.
constexpr const char* INSTALL_KEY = "SOFTWARE\\Team MediaPortal\\MediaPortal";
// The copy that registry virtualisation keeps for a non-elevated installer.
constexpr const char* VIRTUAL_STORE_KEY =
    "Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\Team MediaPortal\\MediaPortal";
constexpr const char* UNINSTALL_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MediaPortal";
constexpr const char* APPLICATION_DIR_VALUE = "ApplicationDir";
constexpr const char* INSTALL_PATH_VALUE = "InstallPath";
constexpr const char* PROGRAM_FILES_SUBFOLDER = "\\Team MediaPortal\\MediaPortal";
constexpr const char* DEFAULT_PROGRAM_FILES = "C:\\Program Files";
constexpr const char* PROGRAM_FILE = "\\MediaPortal.exe";

constexpr const char* RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* RUN_VALUE_NAME = "MediaPortal";

constexpr const char* WINDOW_CLASS = "WindowsForms10.Window.8.app.0.3ce0bb8";
constexpr const char* TITLE_PREFIX = "MediaPortal -";
constexpr size_t MAX_TITLE = 250;
// The harmless stand-in.
constexpr const char* FAKE_WINDOW_CLASS = "WordPadClass";
constexpr const char* FAKE_PROGRAM = "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe";

// CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, maximised.
constexpr uint32_t START_FLAGS = 0x04000020;
constexpr int SHOW_MAXIMIZED = 3;
constexpr uint32_t WINDOW_LOOK_INTERVAL_MS = 25;
// Topmost, keeping position and size, with the frame recalculated.
constexpr uint32_t TOPMOST_FLAGS = SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED;

// The text of a string value; false when it is missing or not text.
bool ReadText(cRegistry& registry, eHive hive, const char* key, const char* name, std::string& text)
{
    cRegistryValue value;
    if (registry.ReadValue(hive, key, name, value) != REGRESULT_SUCCESS)
        return false;
    if (value.Type != REGTYPE_SZ && value.Type != REGTYPE_EXPAND_SZ)
        return false;
    text.assign(value.Data.begin(), std::find(value.Data.begin(), value.Data.end(), 0));
    return true;
}

cRegistryValue TextValue(const std::string& text)
{
    cRegistryValue value;
    value.Type = REGTYPE_SZ;
    value.Data.assign(text.begin(), text.end());
    value.Data.push_back(0);
    return value;
}

// A path with blanks must be quoted on a command line: unquoted, Windows
// would try "C:\Program.exe" and the like first.
std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

}  // namespace

cTargetMediaPortal::cTargetMediaPortal(cPlatform& platform, cMessageLogger& logger, cWindowsVersion& version)
    : cTargetApplication(platform, logger, version, NAME),
      StartTimeout(platform.Registry, "MediaPortal_StartTimeout", HIVE_LOCAL_MACHINE, DEFAULT_START_TIMEOUT_MS)
{
    CloseTimeout = CLOSE_TIMEOUT_MS;
    // MediaPortal survives being killed, unlike Media Center.
    TerminateAllowed = true;
    DetectInstalled();
}

std::string cTargetMediaPortal::GetWindowClass()
{
    return FakeTarget.Get() ? FAKE_WINDOW_CLASS : WINDOW_CLASS;
}

std::string cTargetMediaPortal::GetExecutablePath()
{
    return FakeTarget.Get() ? FAKE_PROGRAM : GetInstallDirectory() + PROGRAM_FILE;
}

std::string cTargetMediaPortal::GetInstallDirectory()
{
    cRegistry& registry = Platform.Registry;
    std::string directory;
    ReadText(registry, eHive::LocalMachine, INSTALL_KEY, APPLICATION_DIR_VALUE, directory);
    // The virtual store holds what a non-elevated installer really wrote.
    ReadText(registry, eHive::CurrentUser, VIRTUAL_STORE_KEY, APPLICATION_DIR_VALUE, directory);
    if (directory.empty())
        ReadText(registry, eHive::LocalMachine, UNINSTALL_KEY, INSTALL_PATH_VALUE, directory);
    if (directory.empty()) {
        std::string programFiles;
        if (!Platform.Files.GetSpecialFolder(FOLDER_PROGRAM_FILES, programFiles))
            programFiles = DEFAULT_PROGRAM_FILES;
        directory = programFiles + PROGRAM_FILES_SUBFOLDER;
    }
    return directory;
}

void cTargetMediaPortal::DetectInstalled()
{
    cRegistry& registry = Platform.Registry;
    if (registry.KeyExists(eHive::LocalMachine, INSTALL_KEY) || FakeTarget.Get() ||
        registry.KeyExists(eHive::CurrentUser, VIRTUAL_STORE_KEY) || registry.KeyExists(eHive::LocalMachine, UNINSTALL_KEY))
        Installed = true;
    if (!Installed && Platform.Files.FileExists(GetExecutablePath()))
        Installed = true;
}

bool cTargetMediaPortal::SetInstallDirectory(const std::string& directory)
{
    const bool written = Platform.Registry.WriteValue(eHive::LocalMachine, INSTALL_KEY, APPLICATION_DIR_VALUE,
                                                      TextValue(directory)) == REGRESULT_SUCCESS;
    DetectInstalled();
    return written;
}

// ---------------------------------------------------------------------------
// Start

bool cTargetMediaPortal::ResumeStart()
{
    // A second instance beside the one that did not close would fight it.
    if (IsRunning()) {
        Logger.WriteLine("MediaPortal not fully closed, increase Standby Delay.");
        return false;
    }
    return StartProcess();
}

void cTargetMediaPortal::DelayStart()
{
    const int32_t delay = StartDelay;
    if (delay > 0) {
        Logger.WriteLine("Delaying MediaPortal start for " + std::to_string(delay) + " milliseconds.");
        Platform.Clock.Sleep(static_cast<uint32_t>(delay));
    }
}

bool cTargetMediaPortal::StartProcess()
{
    DelayStart();
    cProcessStart start;
    start.CommandLine = Quoted(GetExecutablePath());
    start.CreationFlags = START_FLAGS;
    start.Show = SHOW_MAXIMIZED;
    if (!Platform.Processes.CreateProcess(start)) {
        Logger.WriteError("Starting MediaPortal failed.", false);
        return false;
    }
    Logger.WriteLine("MediaPortal succesfully started");

    const WindowHandle window = SearchMainWindow();
    // The found window stays above the blanker and the desktop.
    if (window != 0)
        Platform.Windowing.SetWindowPos(window, TOPMOST_WINDOW, 0, 0, 0, 0, TOPMOST_FLAGS);
    return true;
}

WindowHandle cTargetMediaPortal::SearchMainWindow()
{
    cWindowing& windowing = Platform.Windowing;
    const std::string windowClass = GetWindowClass();
    const uint32_t timeout = static_cast<uint32_t>(std::max<int32_t>(StartTimeout, 0));
    const uint32_t start = Platform.Clock.GetTickCount();
    for (;;) {
        Platform.Clock.Sleep(WINDOW_LOOK_INTERVAL_MS);
        // Only a window titled as MediaPortal's main window ends the search
        // early; another window of the class is still made topmost at its end.
        const WindowHandle window = windowing.FindWindow(windowClass, "");
        if (window != 0) {
            std::string title = windowing.GetWindowText(window);
            title.resize(std::min(title.size(), MAX_TITLE));
            if (title.find(TITLE_PREFIX) != std::string::npos) {
                Logger.WriteLine("MediaPortal window found(" + title + ")");
                return window;
            }
        }
        if (Platform.Clock.GetTickCount() - start > timeout) {
            Logger.WriteLine("MediaPortal window search timed out");
            return window;
        }
    }
}

// ---------------------------------------------------------------------------
// Close

void cTargetMediaPortal::CloseByWmClose(WindowHandle window, uint32_t processId)
{
    std::unique_ptr<cProcess> process =
        OpenTarget(processId, "MediaPortal is running, not enough rights to terminate!");
    Logger.WriteLine("MediaPortal is running, sending WM_CLOSE " + HandleAndProcess(window, processId));
    const uint32_t sent = Platform.Clock.GetTickCount();
    Platform.Windowing.PostMessage(window, WM_CLOSE, 0, 0);
    if (WaitForTarget(process.get(), CloseTimeout)) {
        Logger.WriteLine("WM_CLOSE request succesfull. (" + std::to_string(Platform.Clock.GetTickCount() - sent) +
                         "ms)");
        return;
    }
    Logger.WriteLine("WM_CLOSE request not honored, the rough way now :-).");
    // Terminating is allowed for MediaPortal: boost, then kill.
    TerminateTarget(process.get());
}

// ---------------------------------------------------------------------------
// Start at logon

bool cTargetMediaPortal::IsLogonStartRegistered()
{
    cRegistryValue value;
    return Platform.Registry.ReadValue(eHive::CurrentUser, RUN_KEY, RUN_VALUE_NAME, value) == REGRESULT_SUCCESS;
}

bool cTargetMediaPortal::SetLogonStartRegistered(bool on)
{
    if (!on) {
        Platform.Registry.DeleteValue(eHive::CurrentUser, RUN_KEY, RUN_VALUE_NAME);
        return true;
    }
    return Platform.Registry.WriteValue(eHive::CurrentUser, RUN_KEY, RUN_VALUE_NAME,
                                        TextValue(Quoted(GetExecutablePath()))) == REGRESULT_SUCCESS;
}
