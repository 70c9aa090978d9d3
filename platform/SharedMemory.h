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

// A writable view of a mapping this process created. The bytes stay valid,
// and writable up to Size, until the view is destroyed.
class cWritableView {
public:
    virtual ~cWritableView() = default;

    virtual uint8_t* Data() = 0;
    // The length asked for when the view was made.
    virtual size_t Size() const = 0;
};

// A named mapping this process created; the destructor closes the handle
// (the mapping lives on while another process holds one).
class cWritableMapping {
public:
    virtual ~cWritableMapping() = default;

    // MapViewOfFile with FILE_MAP_WRITE, offset 0 and the length; null on
    // failure.
    virtual std::unique_ptr<cWritableView> MapViewForWriting(uint32_t length) = 0;
};

// The file behind a mapping: CreateFileA with read and write access, shared
// for reading, always created anew and deleted when the handle is closed
// (by the destructor).
class cBackingFile {
public:
    virtual ~cBackingFile() = default;
};

// Named file mappings of the session's namespace.
class cSharedMemory {
public:
    virtual ~cSharedMemory() = default;

    // The backing file at the path; null on failure.
    virtual std::unique_ptr<cBackingFile> CreateBackingFile(const std::string& path) = 0;
    // CreateFileMappingA with PAGE_READWRITE, the size and the name, backed
    // by the file or, when it is null, by the paging file; null on failure.
    // The file must outlive the mapping.
    virtual std::unique_ptr<cWritableMapping> CreateMapping(const cBackingFile* file, const std::string& name,
                                                            uint32_t size) = 0;

    // OpenFileMappingA with FILE_MAP_READ, not inheritable; null when there
    // is no mapping of that name (or it cannot be opened).
    virtual std::unique_ptr<cSharedMemoryMapping> OpenReadOnly(const std::string& name) = 0;
};
