#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "configurator/ConfiguratorControl.h"
#include "configurator/ConfiguratorPage.h"
#include "platform/Platform.h"

struct cRunFlags;
class cWindowsVersion;
class cMcePowerManager;
class cOSConfiguration;
class cNvidiaVgaConfiguration;
class cWakeDeviceList;
class cRecordingMonitor;
class cMessageLogger;
class cMediaCenterExtender;
class cPersistentBool;
class cWindowsIdlePage;
class cSystemInformation;
class cStatusDisplay;
class cConfiguratorStatusDisplay;
class cNotifyIcon;
class cMemoryMappedFile;

// The settings window, without a window: its pages and controls, what they
// show and what a user's change to one of them does. The view (the Win32
// window, or none on the simulator) mirrors the controls and reports the
// user's changes here; every decision is taken here.
//
// How a page is added:
//  1. Write a class derived from cConfiguratorPage in a file of its own
//     (configurator/XxxPage.h/.cpp). Its constructor adds the controls in
//     layout order with Add/AddLabel/AddCheckBox/AddComboBox/AddButton, under
//     the names the page is known by ("CheckBox20"), and gives each its
//     handler (the write or the operation) and its Admin mark.
//  2. Build() sets the page's visibility (SetVisible) and fills fixed option
//     lists; Refresh() reads every setting back from the objects of
//     cConfiguratorObjects into Checked/ItemIndex/Position/Text and sets
//     Enabled. Never cache a setting in the page: read it from its owner.
//  3. Create the page in CreatePages (ConfiguratorPages.cpp), one line; the
//     tab order comes from its PAGE_ORDER_* constant, not from that list.
//  4. A handler needs nothing else: Change() runs the pattern (nothing while
//     updating, the administrator check for Admin controls, the write, then
//     RefreshControls, or the control's Finish instead).
//  5. Test it on the simulator: start TfMain with the configurator role,
//     take GetConfigurator(), set a control as a user would (UserSetChecked,
//     UserSelectText, ...) and check the registry and the controls after.
//
// Main thread only.
struct cConfiguratorObjects {
    cPlatform& Platform;
    // Owner of the message boxes.
    WindowHandle Window;
    // DebugPages and IdlePage change when a hidden panel is double-clicked.
    cRunFlags& Flags;
    cWindowsVersion& Version;
    cMcePowerManager& Engine;
    cOSConfiguration& OSConfiguration;
    cNvidiaVgaConfiguration& NvidiaConfiguration;
    cWakeDeviceList& WakeDevices;
    cRecordingMonitor& Monitor;
    cMessageLogger& Logger;
    cMediaCenterExtender& SessionCounter;
    cPersistentBool& LogWindowsIdleDetails;
    cWindowsIdlePage& WindowsIdlePage;
    // The autologon values of the XP family.
    cSystemInformation& SystemInformation;
    // Switches settings on or off again by what is installed (after the
    // MediaPortal folder was located by hand).
    std::function<void()> EvaluateSettingAvailability;
    // The test page's balloons and its status-block check.
    cNotifyIcon& NotifyIcon;
    cMemoryMappedFile& StatusBlock;
};

// What the model tells the view: re-read the page set, every control, or
// one control (the status fields, once a second).
class cConfiguratorView {
public:
    virtual ~cConfiguratorView() = default;
    virtual void PagesChanged() = 0;
    virtual void ControlsChanged() = 0;
    virtual void ControlChanged(const cControl& control) = 0;
};

class cConfiguratorModel {
public:
    explicit cConfiguratorModel(const cConfiguratorObjects& objects);
    ~cConfiguratorModel();
    cConfiguratorModel(const cConfiguratorModel&) = delete;
    cConfiguratorModel& operator=(const cConfiguratorModel&) = delete;

    // Page visibility, the fixed option lists and texts.
    void BuildPages();
    // Reads every setting back into the controls; the view re-reads them.
    void RefreshControls();
    // The Devices page's list of wake devices.
    void FillWakeDeviceList();
    bool IsUpdating() const { return Updating; }

    // Not owned; null detaches. The view must outlive the model or detach.
    void SetView(cConfiguratorView* view);

    // The pages in tab order, hidden ones included.
    std::vector<cConfiguratorPage*> GetPages() const;
    std::vector<cConfiguratorPage*> GetVisiblePages() const;
    cConfiguratorPage* FindPage(const std::string& name) const;
    // Null when no page has such a control (yet).
    cControl* Find(const std::string& name) const;
    cControl* Find(uint16_t id) const;
    // The page that holds the control; null when none.
    cConfiguratorPage* PageOf(const cControl& control) const;

    // What the user did. Each stores the new value in the control as the
    // native control shows it already, runs the control's handler and lets
    // the view re-read. Unknown ids and kinds that do not fit are ignored.
    void UserSetChecked(uint16_t id, bool checked);
    void UserSelectItem(uint16_t id, int index);
    void UserSetPosition(uint16_t id, int32_t position);
    void UserSetText(uint16_t id, const std::string& text);
    void UserPress(uint16_t id);
    void UserCheckRow(uint16_t id, int row, bool checked);
    void UserDoubleClick(uint16_t id);
    // The same by name, for tests and the Wine driver's helpers; false when
    // there is no such control (or no such item).
    bool UserSetChecked(const std::string& name, bool checked);
    bool UserSelectText(const std::string& name, const std::string& itemText);
    bool UserSetPosition(const std::string& name, int32_t position);
    bool UserSetText(const std::string& name, const std::string& text);
    bool UserPress(const std::string& name);
    bool UserCheckRow(const std::string& name, int row, bool checked);
    bool UserDoubleClick(const std::string& name);

    // The change-handler pattern, for a control whose value is set.
    void Change(cControl& control);
    // Message boxes of the pages; returns the button pressed.
    int ShowMessage(const std::string& text, const std::string& caption, uint32_t style);
    // "Restore the default values for this tab?": true on Yes.
    bool ConfirmDefaults();
    // At closing: the notice that new settings need a reboot, unless the
    // NOREBOOT switch was given.
    void ShowRebootNotice();
    // The hidden panels: debug mode and idle-debug mode, for good.
    void SwitchDebugMode();
    void SwitchIdleDebugMode();

    // The status fields, set every second from the heartbeat.
    cStatusDisplay& GetStatusDisplay();
    // Tells the view that one control changed outside a user change.
    void ControlUpdated(const cControl& control);

    // The engine and the objects around it have gone (session end): from
    // now on the model neither reads nor writes.
    void Detach() { Detached = true; }

    const cConfiguratorObjects& GetObjects() const { return Objects; }
    // Called by cConfiguratorPage for each control it adds.
    void Register(cControl& control);
    // Called by CreatePages for each page.
    void AddPage(std::unique_ptr<cConfiguratorPage> page);

private:
    void AfterUserChange();
    bool AcceptsUserChange() const;

    cConfiguratorObjects Objects;
    bool Updating = false;
    bool Detached = false;
    cConfiguratorView* View = nullptr;
    std::vector<std::unique_ptr<cConfiguratorPage>> Pages;
    std::map<std::string, cControl*> ByName;
    std::map<uint16_t, cControl*> ById;
    std::unique_ptr<cConfiguratorStatusDisplay> StatusDisplay;
};

// Creates every page of the window (ConfiguratorPages.cpp).
void CreatePages(cConfiguratorModel& model);
