#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "platform/Platform.h"

// A FILETIME as Media Center stores it in the registry: 8 bytes, little-endian.
using tFileTimeBytes = std::array<uint8_t, 8>;

// Media Center's time of its last guide download. Missing: all zeros and
// false. Shorter data is padded with zeros, longer data is cut.
bool ReadLastGuideDownload(cRegistry& registry, tFileTimeBytes& time);

// "ddd dd mmm yyyy hh:mm:ss.zzz", optionally converted from UTC to local
// time first; "Invalid time/date" for all zeros or a time the system
// cannot convert.
std::string FormatFileTime(cPlatform& platform, const tFileTimeBytes& time, bool toLocal);
