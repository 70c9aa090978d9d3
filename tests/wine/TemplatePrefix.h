#pragma once
#include <string>

#include "TempFolder.h"

// A Wine prefix made once per test program (wineboot takes seconds), which
// each test copies. Its user folders are plain folders inside the prefix,
// not links to a home folder, so a copy shares nothing with the others.
class cTemplatePrefix {
public:
    // Builds the prefix on the display; throws std::runtime_error on failure.
    explicit cTemplatePrefix(const std::string& display);

    const std::string& Path() const { return Path_; }
    // The HOME the Wine processes of all copies get.
    const std::string& Home() const { return Home_; }

private:
    cTempFolder Folder;
    std::string Path_;
    std::string Home_;
};
