#include "osconfig/FpManager.h"

#include "foundation/ApplicationLauncher.h"
#include "foundation/MessageLogger.h"

namespace {

constexpr const char* DEFAULT_PROGRAM_FILES = "C:\\Program Files";
// Both makers' install folders; the Intel one wins when both exist.
constexpr const char* PHILIPS_PATH = "\\Philips\\MediaCenter PC Front Panel Manager\\FPManager.exe";
constexpr const char* INTEL_PATH = "\\intel\\intel front panel manager\\FPManager.exe";
constexpr const char* WINDOW_CLASS = "CabinetWClass";
constexpr const char* WINDOW_TITLE = "MediaCenter PC Front Panel Manager";

constexpr const char* TASKKILL = "taskkill.exe";
constexpr const char* TASKKILL_PARAMETERS = "/F /IM FPManager.exe";
constexpr uint16_t HIDDEN_SHELL_COMMAND = ALF_COMMAND_SHELL | ALF_HIDDEN;
constexpr int32_t TASKKILL_TIMEOUT = 30000;

constexpr const char* KILLING = "Killing \"Intel Front Panel Manager Service\" (FPManager.exe)";
constexpr const char* KILLED = "Killing \"Intel Front Panel Manager Service\" done, exitcode=";

}  // namespace

cFpManager::cFpManager(cPlatform& platform, cMessageLogger& logger)
    : FPManager_IsInstalled(platform.Registry, "FPManager_IsInstalled", HIVE_CURRENT_USER, false),
      FPManager_KillAtResume(platform.Registry, "FPManager_KillAtResume", HIVE_LOCAL_MACHINE, false),
      Platform(platform), Logger(logger)
{
    std::string programFiles;
    if (!Platform.Files.GetSpecialFolder(FOLDER_PROGRAM_FILES, programFiles))
        programFiles = DEFAULT_PROGRAM_FILES;
    for (const char* candidate : {PHILIPS_PATH, INTEL_PATH}) {
        const std::string path = programFiles + candidate;
        if (Platform.Files.FileExists(path)) {
            ExecutablePath = path;
            FPManager_IsInstalled = true;
        }
    }
    RefreshInstalled();
}

cFpManager::~cFpManager()
{
    RefreshInstalled();
}

// Never set back to false: a program that is not running now may still be
// installed.
void cFpManager::RefreshInstalled()
{
    if (Platform.Windowing.FindWindow(WINDOW_CLASS, WINDOW_TITLE) != 0)
        FPManager_IsInstalled = true;
    FPManager_KillAtResume.SetEnabled(FP_MANAGER_NOT_INSTALLED, FPManager_IsInstalled);
}

void cFpManager::OnResume()
{
    RefreshInstalled();
    if (FPManager_KillAtResume)
        KillFpManager();
}

void cFpManager::KillFpManager()
{
    Logger.WriteLine(KILLING);
    cApplicationLauncher taskkill(Platform, TASKKILL, HIDDEN_SHELL_COMMAND);
    // A taskkill that did not start reads as still running (259), never as
    // a success.
    taskkill.Launch(TASKKILL_PARAMETERS);
    Logger.WriteLine(KILLED + std::to_string(taskkill.WaitForExit(TASKKILL_TIMEOUT)));
}
