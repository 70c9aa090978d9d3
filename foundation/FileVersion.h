#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"

// The version numbers of an executable's version resource; all 0 and the
// texts "0.0.0.0" when the file has none.
class cFileVersion {
public:
    // The running program's own executable.
    explicit cFileVersion(cPlatform& platform);
    cFileVersion(cVersionResources& versions, const std::string& path);

    // major.minor.release.build, e.g. 6.1.7600.16385
    const std::string& GetFullVersion() const { return FullVersion; }
    // major.minor.release with the release padded to three digits, e.g. 1.2.003
    const std::string& GetShortVersion() const { return ShortVersion; }
    uint16_t GetMajor() const { return Major; }
    uint16_t GetMinor() const { return Minor; }
    uint16_t GetRelease() const { return Release; }
    uint16_t GetBuild() const { return Build; }

private:
    void Read(cVersionResources& versions, const std::string& path);

    uint16_t Major = 0;
    uint16_t Minor = 0;
    uint16_t Release = 0;
    uint16_t Build = 0;
    std::string FullVersion = "0.0.0.0";
    std::string ShortVersion = "0.0.0.0";
};
