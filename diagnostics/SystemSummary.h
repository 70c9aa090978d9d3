#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"

class cMessageLogger;
class cOSConfiguration;
class cSystemInformation;
class cTargetMediaPortal;

// The summary of the machine at the head of every new log file: Windows,
// hardware, Media Center, MediaPortal, a few Windows settings that affect
// standby, this program's version and key settings, and the power
// capabilities and policies. Users send the log with support requests; its head answers the
// first questions. Keeps nothing; the sources must outlive it.
class cSystemSummary {
public:
    cSystemSummary(cPlatform& platform, cMessageLogger& logger, cSystemInformation& systemInformation,
                   cOSConfiguration& osConfiguration, cTargetMediaPortal& mediaPortal);

    // The report's text, every line ending in CR LF. rebootMode is the
    // engine's RM_ value.
    std::string Build(int32_t rebootMode);
    // Replaces the log file with the report. Nothing happens while logging
    // is off or when the file cannot be created (the logger then creates it
    // for its own line).
    void Write(int32_t rebootMode);

private:
    void AddHead(std::string& text);
    void AddSystem(std::string& text);
    void AddMediaCenter(std::string& text);
    void AddMediaPortal(std::string& text);
    void AddVarious(std::string& text);
    void AddOwn(std::string& text, int32_t rebootMode);
    void AddCapabilities(std::string& text);
    void AddAdministratorPolicy(std::string& text);
    // True when the AC adapter is on line.
    bool AddBatteryState(std::string& text);
    void AddPolicy(std::string& text, int level);
    // A power-information read; a failure is shown by the OS configuration
    // and leaves the record zeroed.
    void Read(int level, void* record, uint32_t size);

    cPlatform& Platform;
    cMessageLogger& Logger;
    cSystemInformation& SystemInformation;
    cOSConfiguration& OSConfiguration;
    cTargetMediaPortal& MediaPortal;
};
