#pragma once

// The compiler's build moment of the program, as "Dec 10 2026, 13:55:42"
// (month abbreviation, day and year, then the time).
extern const char* const BUILD_MOMENT;
