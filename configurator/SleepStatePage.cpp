#include "configurator/SleepStatePage.h"

#include "configurator/ConfiguratorModel.h"
#include "engine/McePowerManager.h"
#include "osconfig/OSConfiguration.h"
#include "osconfig/WakeDevice.h"
#include "platform/WinConst.h"

namespace {

constexpr const char* BIOS_HINT =
    "If the desired sleep state is unavailable, try enabling it in the BIOS setup (under power management or "
    "ACPI). The preferred sleep state S3 is often referred to as Suspend To RAM (STR). Also install all drivers, "
    "missing drivers can disable sleepstates.";
constexpr const char* EXPLANATION =
    "Selecting a sleep state and/or Away mode will configure the appropriate power management settings, "
    "including some normally inaccessible.";
constexpr const char* UPDATED = "Powermanagement configuration updated.";
constexpr const char* UPDATED_CAPTION = "New sleep state";

// Items of the sleep-state list that are no sleep state.
constexpr int32_t ITEM_NOT_SET = 0;
constexpr int32_t ITEM_PROFILES_UPDATED = 102;
constexpr int32_t ITEM_INVALID = 103;
// The profile version that the current sleep-state choice writes.
constexpr int32_t CURRENT_PROFILE_VERSION = 2;

constexpr uint8_t SLEEP_STATES[] = {SLEEP_STATE_S1, SLEEP_STATE_S2, SLEEP_STATE_S3, SLEEP_STATE_S4,
                                    SLEEP_STATE_HYBRID};

}  // namespace

cSleepStatePage::cSleepStatePage(cConfiguratorModel& model)
    : cConfiguratorPage(model, "TabSheet8", "Sleep state", PAGE_ORDER_SLEEP_STATE)
{
    AddLabel("Label47", "Supported sleep states:");
    Add(eControlKind::StaticText, "StaticText12");
    AddLabel("Label49", "Selected sleep state");
    AddComboBox("ComboBox1", true, [this](int32_t state) { SleepStateChosen(state); }).Buddy = "Label49";
    AddLabel("Label7", "Use Away mode");
    cOSConfiguration& os = Objects().OSConfiguration;
    AddComboBox("ComboBox5", true, [&os](int32_t option) { os.SetAwayMode(static_cast<uint32_t>(option)); }).Buddy =
        "Label7";
    AddLabel("Label50", BIOS_HINT);
    AddLabel("Label51", EXPLANATION);
}

void cSleepStatePage::Build()
{
    cControl& awayMode = Get("ComboBox5");
    const uint32_t options = Objects().OSConfiguration.GetAwayModeOptions();
    awayMode.Items.clear();
    awayMode.Enabled = (options & AWAY_MODE_NOT_SUPPORTED) == 0;
    if (!awayMode.Enabled) {
        awayMode.Items.push_back({"Not supported", AWAY_MODE_NOT_SUPPORTED});
        return;
    }
    const std::pair<uint32_t, const char*> choices[] = {
        {AWAY_MODE_NEVER, "Never"}, {AWAY_MODE_ALWAYS, "Always"}, {AWAY_MODE_ON_REQUEST, "On application request"}};
    for (const auto& [option, text] : choices)
        if (options & option)
            awayMode.Items.push_back({text, static_cast<int32_t>(option)});
}

void cSleepStatePage::Refresh()
{
    FillSleepStates();
    cControl& awayMode = Get("ComboBox5");
    if (awayMode.Enabled)
        awayMode.SelectValue(static_cast<int32_t>(Objects().OSConfiguration.GetAwayMode()));
    else
        awayMode.ItemIndex = 0;
}

void cSleepStatePage::FillSleepStates()
{
    cMcePowerManager& engine = Objects().Engine;
    cOSConfiguration& os = Objects().OSConfiguration;
    cControl& supported = Get("StaticText12");
    cControl& list = Get("ComboBox1");
    supported.Caption.clear();
    list.Items.clear();

    int32_t current = engine.Settings.SleepState;
    if (current != ITEM_NOT_SET && engine.StandbyProfileVersion < CURRENT_PROFILE_VERSION) {
        list.Items.push_back({"Profiles updated, reselect", ITEM_PROFILES_UPDATED});
        current = ITEM_PROFILES_UPDATED;
    }
    if (current == ITEM_NOT_SET)
        list.Items.push_back({"Not set, select one", ITEM_NOT_SET});

    bool anySupported = false;
    for (uint8_t state : SLEEP_STATES) {
        if (!os.IsSleepStateSupported(state))
            continue;
        anySupported = true;
        const std::string shortName = os.GetSleepStateShortName(state);
        if (os.IsSleepStateOffered(state)) {
            supported.Caption += shortName + " ";
            list.Items.push_back({os.GetSleepStateName(state), state});
        } else {
            supported.Caption += "(" + shortName + ") ";
        }
    }
    if (!anySupported)
        supported.Caption = "None";

    if (!list.SelectValue(current)) {
        list.Items.push_back({"Invalid, reselect", ITEM_INVALID});
        list.ItemIndex = static_cast<int>(list.Items.size()) - 1;
    }
}

void cSleepStatePage::SleepStateChosen(int32_t state)
{
    // S2 and the list's own items configure nothing.
    if (state == SLEEP_STATE_S1 || state == SLEEP_STATE_S3 || state == SLEEP_STATE_S4 || state == SLEEP_STATE_HYBRID) {
        cControl& list = Get("ComboBox1");
        list.Enabled = false;
        Model.ControlUpdated(list);
        Objects().OSConfiguration.ApplySleepState(static_cast<uint8_t>(state));
        Objects().Engine.SetSleepState(state);
        Objects().Engine.StandbyProfileVersion = CURRENT_PROFILE_VERSION;
        // The sleep state decides which devices can wake the machine.
        cWakeDeviceList& devices = Objects().WakeDevices;
        if (!devices.IsNotYetLoaded()) {
            devices.Refresh();
            Model.FillWakeDeviceList();
        }
        list.Enabled = true;
    }
    Model.RefreshControls();
    Model.ShowMessage(UPDATED, UPDATED_CAPTION, MB_OK | MB_ICONINFORMATION);
}
