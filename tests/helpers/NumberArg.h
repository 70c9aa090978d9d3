#pragma once
#include <string>

// Command-line numbers of the helper programs: decimal, or hexadecimal with
// a 0x prefix, optionally negative. Rejects anything else (empty text,
// trailing characters, overflow) so a typo in a test never sends a
// silently different value.
bool ParseInteger(const std::string& text, long long& value);

// A non-negative count of seconds, fractions allowed ("0.5").
bool ParseSeconds(const std::string& text, double& seconds);
