#include "shell/WindowsIdlePage.h"

#include "foundation/MessageLogger.h"
#include "foundation/PersistentVariables.h"
#include "osconfig/OSConfiguration.h"
#include "platform/Platform.h"
#include "platform/WinConst.h"
#include "shell/StatusDisplay.h"
#include "shell/StatusTexts.h"

namespace {

namespace Text {
constexpr const char* DISABLED = "Disabled";
constexpr const char* NOT_ADJUSTABLE = "n.a.";
constexpr const char* YES = "Yes";
constexpr const char* NO = "No";
constexpr const char* HELD_AWAKE = "This prevents the system from suspending by the Windows idle detection.";
constexpr const char* LOG_USER = "User: ";
constexpr const char* LOG_REMAINING = ", Remaining: ";
constexpr const char* LOG_IDLENESS = ", Idleness: ";
constexpr const char* LOG_SYSTEM_REQUIRED = ", System req.";
constexpr const char* LOG_DISPLAY_REQUIRED = ", Display req.";
}  // namespace Text

void ShowFlag(bool set, std::string& text, uint32_t& colour)
{
    text = set ? Text::YES : Text::NO;
    colour = set ? COLOUR_RED : COLOUR_BUTTON_FACE;
}

}  // namespace

cWindowsIdlePage::cWindowsIdlePage(cPlatform& platform, cOSConfiguration& osConfiguration, cMessageLogger& logger,
                                   cPersistentBool& logDetails)
    : OSConfiguration(osConfiguration), Logger(logger), LogDetails(logDetails),
      PowerLibrary(platform.PowerPolicy.LoadPowerLibrary())
{
}

cWindowsIdlePage::~cWindowsIdlePage() = default;

void cWindowsIdlePage::Refresh(cStatusDisplay& display, const std::string& userText)
{
    if (!PowerLibrary)
        return;
    cSystemPowerInformation information = {};
    if (PowerLibrary->CallNtPowerInformation(POWER_INFO_SYSTEM_INFORMATION, nullptr, 0, &information,
                                             sizeof information) != POWER_STATUS_SUCCESS)
        return;

    cWindowsIdleView view;
    view.User = userText;
    const bool disabled = information.TimeRemaining < 0;
    if (disabled) {
        view.Remaining = Text::DISABLED;
        view.Idleness = Text::DISABLED;
        view.IdlenessColour = COLOUR_BUTTON_FACE;
    } else {
        view.Remaining = FormatSeconds(static_cast<uint32_t>(information.TimeRemaining));
        view.Idleness = std::to_string(information.Idleness) + "%";
        // Red while Windows does not count the machine as idle enough.
        view.IdlenessColour =
            information.Idleness < information.MaxIdlenessAllowed ? COLOUR_RED : COLOUR_BUTTON_FACE;
    }
    const bool adjustable = OSConfiguration.IsIdleThresholdAdjustable();
    if (!adjustable)
        view.MaxIdleness = Text::NOT_ADJUSTABLE;
    else if (disabled)
        view.MaxIdleness = Text::DISABLED;
    else
        view.MaxIdleness = std::to_string(information.MaxIdlenessAllowed) + "%";
    view.DecreaseEnabled = adjustable && !disabled && !OSConfiguration.IsIdleThresholdMin();
    view.IncreaseEnabled = adjustable && !disabled && !OSConfiguration.IsIdleThresholdMax();
    display.ShowWindowsIdle(view);

    uint32_t executionState = 0;
    const bool haveState = PowerLibrary->CallNtPowerInformation(POWER_INFO_EXECUTION_STATE, nullptr, 0,
                                                                &executionState,
                                                                sizeof executionState) == POWER_STATUS_SUCCESS;
    const bool systemRequired = haveState && (executionState & ES_SYSTEM_REQUIRED) != 0;
    const bool displayRequired = haveState && (executionState & ES_DISPLAY_REQUIRED) != 0;
    if (haveState) {
        cExecutionStateView state;
        ShowFlag(systemRequired, state.SystemRequired, state.SystemRequiredColour);
        ShowFlag(displayRequired, state.DisplayRequired, state.DisplayRequiredColour);
        if (systemRequired || displayRequired)
            state.Explanation = Text::HELD_AWAKE;
        display.ShowExecutionState(state);
    }

    if (LogDetails.Get()) {
        std::string line = Text::LOG_USER + view.User + Text::LOG_REMAINING + view.Remaining + Text::LOG_IDLENESS +
                           view.Idleness;
        if (systemRequired)
            line += Text::LOG_SYSTEM_REQUIRED;
        if (displayRequired)
            line += Text::LOG_DISPLAY_REQUIRED;
        Logger.WriteLine(line);
    }
}
