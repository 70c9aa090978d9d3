#include "engine/VistaSuspendEngine.h"

#include "detection/RecordingMonitor.h"
#include "engine/SuspendInitiator.h"
#include "foundation/MessageLogger.h"
#include "foundation/WindowsVersion.h"
#include "osconfig/OSConfiguration.h"
#include "osconfig/VistaConfiguration.h"
#include "platform/WinConst.h"

namespace {

constexpr int32_t VISTA_POST_REBOOT_STANDBY_DELAY = 120000;
// RebootMode's disable reason on Vista: no detection of the end of automatic wakes.
constexpr uint32_t REBOOT_NEEDS_RECORDING_MONITOR = 0x2;

}  // namespace

cVistaSuspendEngine::cVistaSuspendEngine(cPlatform& platform, cWindowsVersion& version,
                                         cSystemInformation& systemInformation, cCPU& cpu,
                                         cOSConfiguration& osConfiguration, bool logFlag, WindowHandle mainWindow,
                                         cMessageLogger& logger)
    : cMcePowerManager(platform, version, systemInformation, cpu, osConfiguration, logFlag, logger),
      MainWindow(mainWindow)
{
    Initiator = std::make_unique<cSuspendInitiator>(Platform, *this, OSConfiguration, Version, Logger);
    RegisterPowerSettingNotifications();
    Reboots->SetPostRebootStandbyDelay(VISTA_POST_REBOOT_STANDBY_DELAY);
    Windows7 = Version.IsWindows7OrLater();
}

cVistaSuspendEngine::~cVistaSuspendEngine()
{
    Initiator.reset();
    PowerSettingRegistrations.clear();
}

void cVistaSuspendEngine::RegisterPowerSettingNotifications()
{
    // Without the function (before Vista) there is no away-mode or display
    // tracking; everything else works.
    switch (Platform.PowerRequests.FindPowerSettingNotification()) {
    case eProcedureLookup::NoLibrary:
        Platform.Dialogs.MessageBox("Cannot load dll", "User32.dll", MB_OK);
        return;
    case eProcedureLookup::NoProcedure:
        Platform.Dialogs.MessageBox("GetProcAddress failed", "User32.dll", MB_OK);
        return;
    case eProcedureLookup::Found:
        break;
    }
    for (const cGuid& setting : {GUID_SYSTEM_AWAYMODE, GUID_MONITOR_POWER_ON})
        if (auto registration = Platform.PowerRequests.RegisterPowerSettingNotification(MainWindow, setting))
            PowerSettingRegistrations.push_back(std::move(registration));
}

void cVistaSuspendEngine::RefreshRebootModeAvailability()
{
    // Forced reboots need the detection of the end of automatic wakes.
    const bool unavailable = Version.IsVistaOrLater() && RecordingMonitor != nullptr && !IsRecordingMonitorEnabled();
    Settings.RebootMode.SetEnabled(REBOOT_NEEDS_RECORDING_MONITOR, !unavailable);
}

int32_t cVistaSuspendEngine::GetRebootMode()
{
    RefreshRebootModeAvailability();
    return cMcePowerManager::GetRebootMode();
}

bool cVistaSuspendEngine::IsRebootModeAvailable()
{
    RefreshRebootModeAvailability();
    return cMcePowerManager::IsRebootModeAvailable();
}

int32_t cVistaSuspendEngine::SuspendSystem(bool standby, bool forced)
{
    Ehome.SetSuspendInitiated(true);
    Logger.WriteLine(std::string(standby ? "Entering Standby" : "Entering Hibernation") + (forced ? " (forced)" : ""));
    if (forced) {
        Logger.WriteLine("HandleSuspendQuery");
        if (HandleSuspendQuery(true) == BROADCAST_QUERY_DENY)
            return 0;
    }
    // Windows does not sleep from away mode; allowing it anew ends it.
    // Only the Vista family has the allow-away-mode setting.
    auto* vista = dynamic_cast<cVistaConfiguration*>(&OSConfiguration);
    if (IsInAwayMode() && vista != nullptr && vista->IsAwayModeAllowed()) {
        Logger.WriteLine("Exit Away mode");
        vista->SetAwayModeAllowed(false);
        vista->SetAwayModeAllowed(true);
    }
    Initiator->SuspendSystem(standby);
    return 1;
}

bool cVistaSuspendEngine::IsRecordingMonitorEnabled()
{
    return RecordingMonitor == nullptr || RecordingMonitor->IsRecordingMonitorEnabled();
}
