#pragma once
#include "platform/SharedMemory.h"

// CreateFileA, CreateFileMappingA, OpenFileMappingA and MapViewOfFile.
class cWin32SharedMemory final : public cSharedMemory {
public:
    std::unique_ptr<cSharedMemoryMapping> OpenReadOnly(const std::string& name) override;
    std::unique_ptr<cBackingFile> CreateBackingFile(const std::string& path) override;
    std::unique_ptr<cWritableMapping> CreateMapping(const cBackingFile* file, const std::string& name,
                                                    uint32_t size) override;
};
