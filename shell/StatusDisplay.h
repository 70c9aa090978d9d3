#pragma once
#include <cstdint>
#include <string>

// Colours in the Windows form (0x00BBGGRR), and the system colour of button
// faces as the settings window's toolkit names it.
constexpr uint32_t COLOUR_RED = 0x0000FF;
constexpr uint32_t COLOUR_BUTTON_FACE = 0x8000000F;

// What the Windows idle page shows for one second.
struct cWindowsIdleView {
    std::string User;
    std::string Remaining;
    std::string Idleness;
    uint32_t IdlenessColour = COLOUR_BUTTON_FACE;
    std::string MaxIdleness;
    // The two buttons that move the idle threshold.
    bool DecreaseEnabled = false;
    bool IncreaseEnabled = false;
};

// What the Windows idle page shows of the system's execution state.
struct cExecutionStateView {
    std::string SystemRequired;
    uint32_t SystemRequiredColour = COLOUR_BUTTON_FACE;
    std::string DisplayRequired;
    uint32_t DisplayRequiredColour = COLOUR_BUTTON_FACE;
    std::string Explanation;
};

// The labels of the status pages of the settings window, which the window
// implements. The heartbeat hands them their texts once per second.
class cStatusDisplay {
public:
    virtual ~cStatusDisplay() = default;

    // The idle page.
    virtual void ShowMediaCenterState(const std::string& text) = 0;
    virtual void ShowRecording(const std::string& text) = 0;
    virtual void ShowLastUserInput(const std::string& text) = 0;
    virtual void ShowExtendersInUse(const std::string& text) = 0;
    // The idle-debug page: the status of its "Recording" row, the attendance.
    virtual void ShowRecordingRow(const std::string& status) = 0;
    virtual void ShowAttendance(const std::string& text) = 0;
    // The Windows idle page.
    virtual void ShowWindowsIdle(const cWindowsIdleView& view) = 0;
    virtual void ShowExecutionState(const cExecutionStateView& view) = 0;
};

// For a process without the settings window: the texts go nowhere.
class cNoStatusDisplay final : public cStatusDisplay {
public:
    void ShowMediaCenterState(const std::string&) override {}
    void ShowRecording(const std::string&) override {}
    void ShowLastUserInput(const std::string&) override {}
    void ShowExtendersInUse(const std::string&) override {}
    void ShowRecordingRow(const std::string&) override {}
    void ShowAttendance(const std::string&) override {}
    void ShowWindowsIdle(const cWindowsIdleView&) override {}
    void ShowExecutionState(const cExecutionStateView&) override {}
};
