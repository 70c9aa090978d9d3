#pragma once
#include <string>

#include "platform/Platform.h"

// The parameters of the three reports the configurator offers.
constexpr const char* REPORT_LAST_WAKE = "-lastwake";
constexpr const char* REPORT_SLEEP_BLOCKERS = "-requests";
constexpr const char* REPORT_WAKE_TIMERS = "-waketimers";

// Runs a report of the Windows power configuration tool and shows what it
// printed in the text viewer. Runs on the main thread, which does not answer
// while the tool runs (at most 30 s) and while the viewer is open.
class cPowercfgReports {
public:
    // owner: the window the viewer and the failure box belong to.
    cPowercfgReports(cPlatform& platform, cTextViewer& viewer, WindowHandle owner)
        : Platform(platform), Viewer(viewer), Owner(owner)
    {
    }

    // The tool with the parameter; its exit code 1 (a report this Windows
    // lacks, or missing rights) gives the failure box instead of the viewer.
    void ShowPowercfgReport(const std::string& parameter);

private:
    cPlatform& Platform;
    cTextViewer& Viewer;
    const WindowHandle Owner;
};
