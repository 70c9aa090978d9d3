#pragma once
#include "platform/VersionResources.h"

// The fixed version record (VS_FIXEDFILEINFO) of a file's version resource.
class cWin32VersionResources final : public cVersionResources {
public:
    bool GetFixedFileVersion(const std::string& path, cFixedFileVersion& version) override;
};
