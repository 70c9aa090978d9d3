#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// A read-only view of a named mapping. The bytes stay valid, and readable up
// to Size, until the view is destroyed (UnmapViewOfFile).
class cSharedMemoryView {
public:
    virtual ~cSharedMemoryView() = default;

    virtual const uint8_t* Data() const = 0;
    // How many bytes from Data() may be read; never less than the mapping
    // holds, possibly more (Windows rounds a view up to whole pages).
    virtual size_t Size() const = 0;
};

// An open handle on a named mapping that another process created. As long as
// it is open, the mapping and its contents stay alive, even after the creator
// has closed its own handle. The destructor closes the handle; views made
// from it may outlive it.
class cSharedMemoryMapping {
public:
    virtual ~cSharedMemoryMapping() = default;

    // MapViewOfFile with FILE_MAP_READ, offset 0 and the whole mapping; null
    // on failure.
    virtual std::unique_ptr<cSharedMemoryView> MapView() = 0;
};

// Named file mappings of the session's namespace.
class cSharedMemory {
public:
    virtual ~cSharedMemory() = default;

    // OpenFileMappingA with FILE_MAP_READ, not inheritable; null when there
    // is no mapping of that name (or it cannot be opened).
    virtual std::unique_ptr<cSharedMemoryMapping> OpenReadOnly(const std::string& name) = 0;
};
