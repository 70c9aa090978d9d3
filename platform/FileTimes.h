#pragma once
#include <cstdint>

#include "platform/Clock.h"

// Conversions of FILETIME values (100-ns intervals since 1 January 1601, as
// Windows stores time stamps in the registry and in files).
class cFileTimes {
public:
    virtual ~cFileTimes() = default;

    // UTC to local time with the machine's time-zone rules
    // (FileTimeToLocalFileTime); false when the system refuses the value.
    virtual bool FileTimeToLocalFileTime(uint64_t utc, uint64_t& local) = 0;
    // The calendar fields of a FILETIME (FileTimeToSystemTime); false for a
    // value the system cannot convert.
    virtual bool FileTimeToSystemTime(uint64_t fileTime, cLocalTime& time) = 0;
};
