#pragma once
// Reading the words of a scenario line: numbers, durations, times of day and
// the names a scenario uses. Every reader throws std::runtime_error with a
// message for the scenario's author when a word is not what it should be.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Registry.h"

using tWords = std::vector<std::string>;

// The words of a line; "quoted text" is one word, kept with its leading
// quote so that IsText can tell it from a number. '#' starts a comment.
tWords SplitWords(const std::string& line);
bool IsText(const std::string& word);
std::string Unquote(const std::string& word);

// Throws unless the command has at least this many arguments.
void RequireArguments(const tWords& words, size_t count);

// "90s", "1h30m", "250ms" (a bare number counts seconds) in milliseconds.
uint64_t ParseDuration(const std::string& text);
uint32_t ParseSeconds(const std::string& text);
// "hh:mm[:ss[.zzz]]" in milliseconds since midnight.
int64_t ParseTimeOfDay(const std::string& text);
// A decimal or 0x-hexadecimal number of at most 32 bits.
uint32_t ParseNumber(const std::string& text);
// The number that names a recording, a session or an extender (from 1).
int ParseIdentity(const std::string& text);
eHive ParseHive(const std::string& word);
bool ParseYesNo(const std::string& word);
bool ParseOnOff(const std::string& word);

// The words from first on: name=value options and plain flags, each of the
// names allowed.
struct cOptions {
    std::map<std::string, std::string> Values;
    std::vector<std::string> Flags;
};
cOptions ParseOptions(const tWords& words, size_t first, const std::vector<std::string>& names,
                      const std::vector<std::string>& flags);
bool HasFlag(const cOptions& options, const std::string& flag);

// Message-box texts as scenarios write them: line breaks as \r and \n.
std::string ShownText(const std::string& text);

// A Media Center session state by name (None, Playing ...) or number.
uint32_t ParseMcState(const std::string& word);
// The execution-state flag a holder holds: system, display or away.
uint32_t ParseHolderFlag(const std::string& word);
