#pragma once
#include <memory>
#include <vector>

#include "engine/McePowerManager.h"

class cSuspendInitiator;

// The engine for Windows Vista and later: the sleep call runs on its own
// thread, and it listens to the away-mode and display power settings.
class cVistaSuspendEngine : public cMcePowerManager {
public:
    // mainWindow receives the power-setting notifications.
    cVistaSuspendEngine(cPlatform& platform, cWindowsVersion& version, cSystemInformation& systemInformation,
                        cCPU& cpu, cOSConfiguration& osConfiguration, bool logFlag, WindowHandle mainWindow,
                        cMessageLogger& logger);
    // Stops the suspend initiator's thread first, then ends the
    // registrations.
    ~cVistaSuspendEngine() override;

    int32_t GetRebootMode() override;
    bool IsRebootModeAvailable() override;
    // Hands the sleep to the suspend initiator's thread and returns 1 at
    // once; the main thread then handles the broadcasts of the sleep in its
    // message loop. 0 when a forced reboot took the sleep's place.
    int32_t SuspendSystem(bool standby, bool forced) override;

private:
    void RefreshRebootModeAvailability();
    void RegisterPowerSettingNotifications();
    bool IsRecordingMonitorEnabled();

    WindowHandle MainWindow;
    std::unique_ptr<cSuspendInitiator> Initiator;
    // GUID_SYSTEM_AWAYMODE and GUID_MONITOR_POWER_ON, as far as they worked.
    std::vector<std::unique_ptr<cPowerSettingRegistration>> PowerSettingRegistrations;
};
