#pragma once
#include <string>

#include "shell/StatusDisplay.h"

// The idle page's labels as the settings window would show them.
class cRecordingDisplay : public cStatusDisplay {
public:
    void ShowMediaCenterState(const std::string& text) override { MediaCenter = text; }
    void ShowRecording(const std::string& text) override { Recording = text; }
    void ShowLastUserInput(const std::string& text) override { LastInput = text; }
    void ShowExtendersInUse(const std::string& text) override { Extenders = text; }
    void ShowRecordingRow(const std::string& status) override { Row = status; }
    void ShowAttendance(const std::string& text) override { Attendance = text; }
    void ShowWindowsIdle(const cWindowsIdleView& view) override
    {
        Idle = view;
        ++IdleShown;
    }
    void ShowExecutionState(const cExecutionStateView& view) override { Execution = view; }

    std::string MediaCenter = "-", Recording = "-", LastInput = "-", Extenders = "-", Row, Attendance;
    cWindowsIdleView Idle;
    int IdleShown = 0;
    cExecutionStateView Execution;
};
