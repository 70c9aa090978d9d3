#pragma once
#include <string>

#include "TemplatePrefix.h"

// A test's own copy of the template prefix, in a folder of the test (which
// removes it). Whoever runs programs in it ends its wineserver before the
// folder goes (cWine::KillServer).
//
// Wine's DLLs, nine tenths of a prefix, are hard links to the template's
// (where the file system allows), so that a copy takes a moment: a test may
// add files anywhere, and replace any other file, but must not write to a
// DLL of the prefix.
class cTestPrefix {
public:
    // Throws std::runtime_error (std::filesystem::filesystem_error) when
    // the copy fails.
    cTestPrefix(const cTemplatePrefix& source, const std::string& folder);

    const std::string& Path() const { return Path_; }
    // The Linux path of a Windows path of this prefix ("C:\...").
    std::string LinuxPath(const std::string& windowsPath) const;

private:
    std::string Path_;
};
