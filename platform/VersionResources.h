#pragma once
#include <cstdint>
#include <string>

struct cFixedFileVersion {
    uint32_t FileVersionMS = 0;
    uint32_t FileVersionLS = 0;
};

class cVersionResources {
public:
    virtual ~cVersionResources() = default;

    // The fixed version record of a file's version resource; false when the
    // file has none or cannot be read.
    virtual bool GetFixedFileVersion(const std::string& path, cFixedFileVersion& version) = 0;
};
