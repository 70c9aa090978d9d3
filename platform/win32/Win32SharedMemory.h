#pragma once
#include "platform/SharedMemory.h"

// OpenFileMappingA / MapViewOfFile, read-only.
class cWin32SharedMemory final : public cSharedMemory {
public:
    std::unique_ptr<cSharedMemoryMapping> OpenReadOnly(const std::string& name) override;
};
