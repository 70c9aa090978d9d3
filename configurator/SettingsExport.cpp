#include "configurator/SettingsExport.h"

#include "foundation/ApplicationLauncher.h"
#include "foundation/Folders.h"
#include "foundation/MessageBoxes.h"
#include "foundation/MessageLogger.h"
#include "platform/WinConst.h"

namespace {

namespace Text {
constexpr const char* EXPORTED = "Application settings exported";
constexpr const char* NOT_EXPORTED = "The application settings could not be exported to ";
constexpr const char* CAPTION = "Slumberhold";
constexpr const char* FAILED = "Failed";
}  // namespace Text

constexpr const char* REGEDIT = "\\regedit.exe";
constexpr const char* FALLBACK_WINDOWS_DIRECTORY = "C:\\Windows";
constexpr int32_t EXPORT_TIMEOUT_MS = 5000;
constexpr const char* MACHINE_FILE = "SLH_HKLM.txt";
constexpr const char* MACHINE_KEY = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Velderane\\Slumberhold";
constexpr const char* USER_FILE = "SLH_HKCU.txt";
constexpr const char* USER_KEY = "HKEY_CURRENT_USER\\SOFTWARE\\Velderane\\Slumberhold";

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

}  // namespace

bool cSettingsExport::ExportKey(cApplicationLauncher& launcher, const std::string& fileName, const std::string& key)
{
    const std::string path = Logger.GetLogPath() + "\\" + fileName;
    Platform.Files.DeleteFile(path);
    launcher.Launch("/e " + Quoted(path) + " " + Quoted(key));
    launcher.WaitForExit(EXPORT_TIMEOUT_MS);
    return Platform.Files.FileExists(path);
}

void cSettingsExport::ExportSettings()
{
    // The registry editor does not create the folder; the logger would
    // create it only at its next line.
    ForceDirectories(Platform.Files, Logger.GetLogPath());
    // Started directly, not through cmd.exe: "cmd /c" strips the first and
    // the last quote of a line with more than two, which would leave the
    // editor's name and its quoted parameters torn apart.
    std::string windows;
    if (!Platform.Files.GetWindowsDirectory(windows))
        windows = FALLBACK_WINDOWS_DIRECTORY;
    bool exported = false;
    {
        cApplicationLauncher launcher(Platform, windows + REGEDIT, ALF_HIDDEN);
        // Both files are tried, whatever became of the first.
        const bool machine = ExportKey(launcher, MACHINE_FILE, MACHINE_KEY);
        const bool user = ExportKey(launcher, USER_FILE, USER_KEY);
        exported = machine && user;
    }
    // Telling the user the export worked when a file is missing would send
    // an empty support request.
    if (exported)
        ShowMessageBox(Platform.Dialogs, Owner, Text::EXPORTED, Text::CAPTION, MB_OK);
    else
        ShowMessageBox(Platform.Dialogs, Owner, Text::NOT_EXPORTED + Logger.GetLogPath(), Text::FAILED,
                       MB_OK | MB_ICONERROR);
}
