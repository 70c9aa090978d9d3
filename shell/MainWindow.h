#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "foundation/PersistentVariables.h"
#include "foundation/PopupMenu.h"
#include "shell/StatusDisplay.h"
#include "shell/CommandLine.h"
#include "platform/Platform.h"

class cMessageLogger;
class cFileVersion;
class cWindowsVersion;
class cMcePowerManager;
class cOSConfiguration;
class cNvidiaVgaConfiguration;
class cWakeDeviceList;
class cSystemInformation;
class cCPU;
class cEhomeIdleFix;
class cMediaCenterExtender;
class cRecordingMonitor;
class cMemoryMappedFile;
class cNotifyIcon;
class cEngineWatch;
class cWindowsIdlePage;
class cConfiguratorModel;
class cConfiguratorWindow;

// Private messages of the main window.
constexpr uint32_t MSG_TRAY_CALLBACK = 34765;
constexpr uint32_t MSG_INIT_DONE = 34766;

// The main window. Whatever role the process plays, this window is created
// at start-up: it reads the switches, owns every long-lived object of the
// process, receives the power broadcasts and runs the one-second heartbeat.
class TfMain : public cWindowProcedure {
public:
    explicit TfMain(cPlatform& platform);
    ~TfMain() override;
    TfMain(const TfMain&) = delete;
    TfMain& operator=(const TfMain&) = delete;

    bool HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) override;

    // The tray menu's "Configure": the settings window, of this process or
    // of another.
    void Open1Click();
    // The tray menu's "Exit": asks before the engine goes away.
    void Exit1Click();
    // Closes the window if the close query allows it.
    void Close();

    WindowHandle Handle() const { return Window; }
    const cRunFlags& GetRunFlags() const { return Flags; }
    cMcePowerManager* GetEngineForTesting() const { return Engine.get(); }
    cRecordingMonitor* GetMonitorForTesting() const { return Monitor.get(); }
    cNotifyIcon* GetNotifyIconForTesting() const { return NotifyIcon.get(); }
    // The labels of the status pages; they start at "-". Not owned: it must
    // outlive this window, or be detached with null first.
    void AttachStatusDisplay(cStatusDisplay* display);
    // The settings window's pages and controls; null without the
    // configurator role. A view attaches itself with SetView and must not
    // use it once this window is destroyed.
    cConfiguratorModel* GetConfigurator() const { return Configurator.get(); }

    // The tray menu's commands (WM_COMMAND).
    static constexpr uint16_t ID_OPEN1 = 0x7E01;
    static constexpr uint16_t ID_EXIT1 = 0x7E02;

private:
    void WriteStartupLines();
    void OnInitDone();
    bool FormCloseQuery();
    void FormClose();
    void HideWindow();
    void Timer2Timer();
    void PublishEngineStatus();
    void RefreshIdleDebugPage();
    void MoveIconToTray();
    void Timer1Timer();
    void OpenStatusBlock();
    intptr_t OnPowerBroadcast(uintptr_t event, intptr_t lParam);
    intptr_t RouteToEngine(uintptr_t event, intptr_t lParam);
    void OnEndSession();
    // The engine and the calls into it: a handler that pumps messages can
    // let the session end in while it still runs on the engine.
    bool EngineRuns() const { return Engine && !EngineEnding; }
    void EnterEngineHandler() { ++EngineHandlers; }
    void LeaveEngineHandler();
    void EndEngine();
    void TellActivityDetection(uintptr_t event);
    void SetSettingAvailability();
    void CreateConfigurator();

    cPlatform& Platform;
    WindowHandle Window = 0;

    // Roles and options, fixed by the command line.
    cRunFlags Flags;

    // Set once every object is built and until destruction begins; messages
    // outside get the default answer.
    bool Running = false;
    // Engine handlers on the stack, and the session end that waits for the
    // outermost of them to return.
    int32_t EngineHandlers = 0;
    bool EngineEnding = false;

    bool ExitRequested = false;
    bool CloseQueryGuard = false;
    int32_t PowerBroadcastNesting = 0;
    int32_t TrayRetryCount = 0;

    cNoStatusDisplay NoDisplay;
    // The settings window's status fields, or nowhere without the window.
    cStatusDisplay* DefaultDisplay = &NoDisplay;
    cStatusDisplay* Display = &NoDisplay;
    cMenuItem Open1;
    cMenuItem Exit1;

    std::unique_ptr<cPersistentInteger> SuspendIdleOnResume;
    std::unique_ptr<cPersistentBool> LogWindowsIdleDetails;
    std::unique_ptr<cMessageLogger> Logger;
    std::unique_ptr<cMemoryMappedFile> StatusBlock;
    std::unique_ptr<cMediaCenterExtender> SessionCounter;
    std::unique_ptr<cWindowsVersion> Version;
    std::unique_ptr<cNvidiaVgaConfiguration> NvidiaConfiguration;
    std::unique_ptr<cOSConfiguration> OSConfiguration;
    std::unique_ptr<cSystemInformation> SystemInformation;
    std::unique_ptr<cCPU> CPU;
    std::unique_ptr<cPopupMenu> PopupMenu1;
    // Destroyed early at session end, like the engine.
    std::unique_ptr<cNotifyIcon> NotifyIcon;
    // Destroyed early at session end; the window then runs on without it.
    std::unique_ptr<cMcePowerManager> Engine;
    // Filled only when the settings window asks.
    std::unique_ptr<cWakeDeviceList> WakeDevices;
    std::unique_ptr<cRecordingMonitor> Monitor;
    // Goes with the engine at session end.
    std::unique_ptr<cEhomeIdleFix> IdleFix;
    std::unique_ptr<cEngineWatch> EngineWatch;
    std::unique_ptr<cWindowsIdlePage> WindowsIdlePage;
    std::unique_ptr<cConfiguratorModel> Configurator;
    // Shows the model's pages; goes before the model.
    std::unique_ptr<cConfiguratorWindow> ConfiguratorWindow;
};
