#include "foundation/FileVersion.h"

#include <cstdio>

cFileVersion::cFileVersion(cPlatform& platform)
{
    Read(platform.Versions, platform.Files.GetModuleFileName());
}

cFileVersion::cFileVersion(cVersionResources& versions, const std::string& path)
{
    Read(versions, path);
}

void cFileVersion::Read(cVersionResources& versions, const std::string& path)
{
    cFixedFileVersion fixed;
    if (!versions.GetFixedFileVersion(path, fixed))
        return;
    Major = static_cast<uint16_t>(fixed.FileVersionMS >> 16);
    Minor = static_cast<uint16_t>(fixed.FileVersionMS & 0xFFFF);
    Release = static_cast<uint16_t>(fixed.FileVersionLS >> 16);
    Build = static_cast<uint16_t>(fixed.FileVersionLS & 0xFFFF);
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", Major, Minor, Release, Build);
    FullVersion = text;
    std::snprintf(text, sizeof text, "%u.%u.%03u", Major, Minor, Release);
    ShortVersion = text;
}
