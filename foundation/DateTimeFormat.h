#pragma once
#include <string>

#include "platform/Clock.h"

// Formats a local time with the program's date-time patterns: d dd ddd dddd
// (day, day name), m mm mmm mmmm (month; minutes when right after an hour
// field), yy yyyy, h hh, n nn, s ss, z zzz. Other characters are copied;
// text in double or single quotes is copied without its quotes.
std::string FormatDateTime(const std::string& pattern, const cLocalTime& time, cLocale& locale);
