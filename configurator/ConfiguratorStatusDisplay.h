#pragma once
#include <cstdint>
#include <string>

#include "configurator/ConfiguratorControl.h"
#include "shell/StatusDisplay.h"

class cConfiguratorModel;

// The status fields of the settings window: the heartbeat's texts go into
// the controls of the Idle, Idle debug, Windows idle and Extender pages by
// name. A control that no page has (yet) is skipped.
class cConfiguratorStatusDisplay final : public cStatusDisplay {
public:
    explicit cConfiguratorStatusDisplay(cConfiguratorModel& model);

    void ShowMediaCenterState(const std::string& text) override;
    void ShowRecording(const std::string& text) override;
    void ShowLastUserInput(const std::string& text) override;
    void ShowExtendersInUse(const std::string& text) override;
    void ShowRecordingRow(const std::string& status) override;
    void ShowAttendance(const std::string& text) override;
    void ShowWindowsIdle(const cWindowsIdleView& view) override;
    void ShowExecutionState(const cExecutionStateView& view) override;

private:
    // Sets the text (and colour) of a control; the view hears only of a change.
    void SetText(const char* name, const std::string& text, uint32_t colour = COLOUR_DEFAULT);
    void SetEnabled(const char* name, bool enabled);

    cConfiguratorModel& Model;
};
