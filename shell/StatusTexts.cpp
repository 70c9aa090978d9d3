#include "shell/StatusTexts.h"

#include <cstdio>

#include "detection/RecordingMonitor.h"

namespace {

namespace Text {
constexpr const char* DETECTION_SUSPENDED = "Detection suspended";
constexpr const char* NOT_MONITORED = "Not monitored";
constexpr const char* IDLE = "Idle ";
constexpr const char* NOT_RUNNING = "Not running";
constexpr const char* NO_MEDIA_CENTER = "Installation error or no MCE";
constexpr const char* NO_RECORDING = "None";
constexpr const char* CHANNEL = " channel";
constexpr const char* CHANNELS = " channels";
constexpr const char* ROW_CHANNEL = " Channel";
constexpr const char* ROW_CHANNELS = " Channels";
constexpr const char* UNATTENDED = "Unattended";
constexpr const char* ATTENDED = "Attended";
}  // namespace Text

}  // namespace

cMonitorFacts GatherMonitorFacts(cRecordingMonitor& monitor)
{
    cMonitorFacts facts;
    facts.DetectionSuspended = monitor.IsDetectionSuspended();
    facts.Monitoring = monitor.IsMonitoring();
    facts.LinkPresent = monitor.IsMediaCenterLinkPresent();
    facts.MediaCenterActive = monitor.IsMediaCenterActive();
    facts.ActiveRecordings = monitor.GetActiveRecordings();
    facts.MediaCenterIdleFor = monitor.FormatElapsed(monitor.GetMediaCenterIdleSince());
    facts.RecordingIdleFor = monitor.FormatElapsed(monitor.GetLastRecordingTick());
    return facts;
}

std::string MediaCenterStateText(const cMonitorFacts& facts)
{
    if (facts.DetectionSuspended)
        return Text::DETECTION_SUSPENDED;
    if (!facts.Monitoring)
        return Text::NOT_MONITORED;
    if (!facts.LinkPresent)
        return Text::NO_MEDIA_CENTER;
    return facts.MediaCenterActive ? Text::IDLE + facts.MediaCenterIdleFor : Text::NOT_RUNNING;
}

std::string RecordingText(const cMonitorFacts& facts)
{
    if (facts.DetectionSuspended)
        return Text::DETECTION_SUSPENDED;
    if (!facts.Monitoring)
        return Text::NOT_MONITORED;
    if (facts.ActiveRecordings <= 0)
        return Text::NO_RECORDING;
    return std::to_string(facts.ActiveRecordings) + (facts.ActiveRecordings < 2 ? Text::CHANNEL : Text::CHANNELS);
}

std::string RecordingRowText(const cMonitorFacts& facts)
{
    if (facts.ActiveRecordings <= 0)
        return Text::IDLE + facts.RecordingIdleFor;
    return std::to_string(facts.ActiveRecordings) + (facts.ActiveRecordings == 1 ? Text::ROW_CHANNEL : Text::ROW_CHANNELS);
}

std::string AttendanceText(bool unattended)
{
    return unattended ? Text::UNATTENDED : Text::ATTENDED;
}

std::string FormatSeconds(uint32_t seconds)
{
    char text[24];
    std::snprintf(text, sizeof text, "%u:%02u.%02u", seconds / 3600, seconds % 3600 / 60, seconds % 60);
    return text;
}
