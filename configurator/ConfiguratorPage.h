#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "configurator/ConfiguratorControl.h"

class cConfiguratorModel;
struct cConfiguratorObjects;

// One page (tab) of the settings window and the controls on it, in the
// order the view lays them out. A page class knows its settings: which
// object each control reads and writes, and when a control is enabled.
class cConfiguratorPage {
public:
    // order: the place among the tabs, ascending (see PAGE_ORDER_*).
    cConfiguratorPage(cConfiguratorModel& model, std::string name, std::string caption, int order);
    virtual ~cConfiguratorPage();
    cConfiguratorPage(const cConfiguratorPage&) = delete;
    cConfiguratorPage& operator=(const cConfiguratorPage&) = delete;

    // BuildPages: the page's visibility, fixed option lists and fixed texts.
    virtual void Build() = 0;
    // RefreshControls: every setting read back into the controls, with the
    // model's updating flag set.
    virtual void Refresh() = 0;

    const std::string& GetName() const { return Name; }
    uint16_t GetId() const { return Id; }
    // As shown on the tab ("R&&D" shows one ampersand).
    const std::string& GetCaption() const { return Caption; }
    int GetOrder() const { return Order; }
    bool IsVisible() const { return Visible; }
    const std::vector<std::unique_ptr<cControl>>& GetControls() const { return Controls; }

protected:
    cControl& Add(eControlKind kind, const std::string& name, const std::string& caption = "");
    cControl& AddLabel(const std::string& name, const std::string& caption);
    // A check box whose handler is write(new state).
    cControl& AddCheckBox(const std::string& name, const std::string& caption, bool admin,
                          std::function<void(bool)> write);
    // A combo box whose handler is write(value of the chosen item).
    cControl& AddComboBox(const std::string& name, bool admin, std::function<void(int32_t)> write);
    cControl& AddButton(const std::string& name, const std::string& caption, bool admin,
                        std::function<void()> press);
    // A control already added, by name; a page asks only for its own.
    cControl& Get(const std::string& name);
    void SetVisible(bool visible) { Visible = visible; }
    const cConfiguratorObjects& Objects() const;

    cConfiguratorModel& Model;

private:
    const std::string Name;
    const uint16_t Id;
    const std::string Caption;
    const int Order;
    bool Visible = true;
    std::vector<std::unique_ptr<cControl>> Controls;
};

// The tab order of the pages.
constexpr int PAGE_ORDER_SLEEP_STATE = 10;
constexpr int PAGE_ORDER_USB_XP = 20;
constexpr int PAGE_ORDER_USB_VISTA = 21;
constexpr int PAGE_ORDER_DEVICES = 30;
constexpr int PAGE_ORDER_WINDOWS_IDLE = 40;
constexpr int PAGE_ORDER_EHOME = 50;
constexpr int PAGE_ORDER_MEDIAPORTAL = 60;
constexpr int PAGE_ORDER_REBOOT = 70;
constexpr int PAGE_ORDER_IDLE = 80;
constexpr int PAGE_ORDER_AUTO_TASKS = 90;
constexpr int PAGE_ORDER_IDLE_DEBUG = 100;
constexpr int PAGE_ORDER_DEBUG = 110;
constexpr int PAGE_ORDER_RND = 120;
constexpr int PAGE_ORDER_EXTENDER = 130;
constexpr int PAGE_ORDER_ABOUT = 140;
