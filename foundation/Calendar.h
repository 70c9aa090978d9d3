#pragma once
#include <cstdint>

#include "platform/Clock.h"

// Calendar arithmetic on local times (proleptic Gregorian calendar, no time
// zones): whole seconds for comparisons, the ISO 8601 week number and the
// packed MS-DOS date and time the forced-reboot bookkeeping stores.

// Seconds since 1 January 1970, 00:00, of the local time (milliseconds
// dropped).
int64_t LocalTimeToSeconds(const cLocalTime& time);
// The local time of such a second count, with its day of the week.
cLocalTime SecondsToLocalTime(int64_t seconds);

// The ISO 8601 week number (1 to 53): weeks start on Monday, and week 1 is
// the one with the year's first Thursday.
int IsoWeekNumber(const cLocalTime& time);

// High word (year - 1980) * 512 + month * 32 + day, low word hour * 2048 +
// minute * 32 + second / 2. Years outside 1980 to 2107 do not fit: they
// are clamped.
uint32_t ToDosDateTime(const cLocalTime& time);
// False when a field is out of range (month 0, 31 February, hour 24 ...);
// the time is then left alone.
bool FromDosDateTime(uint32_t dosDateTime, cLocalTime& time);
