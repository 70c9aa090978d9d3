#pragma once
#include <string>
#include <vector>

#include "TestPrefix.h"

// The powercfg.exe stand-in (tests/helpers/SlhPowercfg.cpp) that every test
// prefix has in its system folder: what it recorded, and how it answers.
// The prefix must outlive it.
class cPowercfgStandIn {
public:
    explicit cPowercfgStandIn(const cTestPrefix& prefix) : Prefix(prefix) {}

    // Its whole record, line by line ("started: ARGUMENTS", "ended: ...").
    std::vector<std::string> Record() const;
    // The arguments of each run it recorded, in order.
    std::vector<std::string> Runs() const;
    // Starts the record anew.
    void ClearRecord() const;
    // Answers per command from now on (the stand-in's script format).
    void SetScript(const std::string& script) const;
    // Without a script, each run stays this long before it ends.
    void SetDelay(int milliseconds) const;
    // The prefix has no powercfg.exe any more.
    void Remove() const;

private:
    const cTestPrefix& Prefix;
};

// A file's bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// The lines of a text without their CR LF or LF.
std::vector<std::string> TextLines(const std::string& text);
