#pragma once
#include <cstdint>
#include <string>

class cRecordingMonitor;

// What the status texts of the activity detection are made from, taken from
// the recording monitor once per second.
struct cMonitorFacts {
    bool DetectionSuspended = false;
    bool Monitoring = false;
    bool LinkPresent = false;
    bool MediaCenterActive = false;
    int ActiveRecordings = 0;
    std::string MediaCenterIdleFor;  // h:mm.ss
    std::string RecordingIdleFor;    // since the last recording, h:mm.ss
};

cMonitorFacts GatherMonitorFacts(cRecordingMonitor& monitor);

// The texts of the idle page and of the status block.
std::string MediaCenterStateText(const cMonitorFacts& facts);
std::string RecordingText(const cMonitorFacts& facts);
// The idle-debug page.
std::string RecordingRowText(const cMonitorFacts& facts);
std::string AttendanceText(bool unattended);

// Seconds as hours, ":", two-digit minutes, ".", two-digit seconds (0:01.15).
std::string FormatSeconds(uint32_t seconds);

// What the configurator shows instead of the engine's texts.
namespace StatusText {
constexpr const char* NOT_YET_SEEN = "-";
constexpr const char* ENGINE_NOT_RUNNING = "SLH Engine not running";
constexpr const char* INCOMPATIBLE_ENGINE = "Incompatible engine detected";
}  // namespace StatusText
