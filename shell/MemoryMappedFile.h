#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/SharedMemory.h"

struct cPlatform;

// A named block of shared memory, from either end: the engine creates and
// writes it, a configurator in another process opens and reads it. Failures
// of the writer are shown in message boxes; the reader fails quietly.
class cMemoryMappedFile {
public:
    // The name (at most 100 characters) names both the mapping and its
    // backing file in the temporary folder. The writer maps viewSize bytes of
    // a mapping of mappingSize bytes.
    cMemoryMappedFile(cPlatform& platform, const std::string& name, uint32_t mappingSize, int32_t viewSize);
    ~cMemoryMappedFile();
    cMemoryMappedFile(const cMemoryMappedFile&) = delete;
    cMemoryMappedFile& operator=(const cMemoryMappedFile&) = delete;

    // The engine's one call: the mapped view, empty on failure. The backing
    // file goes with this object.
    std::span<uint8_t> CreateForWriting();
    std::span<uint8_t> WritableView() const;
    // The configurator's call on every tick: a view of the whole mapping,
    // empty when there is none. The mapping handle stays open from the first
    // success on; the view lasts until Unmap.
    std::span<const uint8_t> OpenForReading();
    // Drops the reader's view or, when none is mapped, its mapping handle.
    bool Unmap();

    const std::string& GetName() const { return Name; }

private:
    cPlatform& Platform;
    const std::string Name;
    const uint32_t MappingSize;
    const int32_t ViewSize;

    // Declared in the order of their release, last first.
    std::unique_ptr<cBackingFile> File;
    std::unique_ptr<cWritableMapping> Writer;
    std::unique_ptr<cWritableView> WriterView;
    std::unique_ptr<cSharedMemoryMapping> Reader;
    std::unique_ptr<cSharedMemoryView> ReaderView;
};
