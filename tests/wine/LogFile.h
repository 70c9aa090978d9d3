#pragma once
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Width of the program's time stamp with English names,
// "Wed 09 Dec 2026 01:45:14.123".
constexpr size_t STAMP_WIDTH = 28;
// Continuation lines are indented to the text column of first lines.
const std::string CONTINUATION_INDENT(STAMP_WIDTH + 3, ' ');

// One line of the log, without its CR LF.
struct cLogLine {
    enum class eKind { First, Continuation, Malformed };
    eKind Kind = eKind::Malformed;
    std::string Stamp;  // first lines only
    std::string Text;
};

// A first line is a valid stamp, " - " and the text; a continuation line is
// the indent and the text; anything else is malformed.
cLogLine ParseLogLine(const std::string& line);

// The local time a stamp names, when it is a real one: the right layout,
// English names, a date that exists and the day name that goes with it.
std::optional<std::chrono::system_clock::time_point> StampTime(const std::string& stamp);

// The program's log file cut into lines.
struct cLogContent {
    std::vector<std::string> Lines;  // without their CR LF
    // Every line, the last one included, ends in CR LF, and no line holds
    // another CR or LF.
    bool CrLfOnly = true;
};

// Nothing when the file cannot be read.
std::optional<cLogContent> ReadLogFile(const std::string& path);

// Reads the log file every 200 ms until `done` accepts its content; that
// content, or nothing when the timeout passed first.
std::optional<cLogContent> WaitForLogFile(const std::string& path,
                                          const std::function<bool(const cLogContent&)>& done,
                                          std::chrono::milliseconds timeout);

// The log's lines as tests write them down: a first line as its text (the
// stamp dropped), a continuation line as ENTRY_INDENT + its text, a
// malformed line as it is.
const std::string ENTRY_INDENT = "  ";
std::vector<std::string> LogEntries(const cLogContent& log);
