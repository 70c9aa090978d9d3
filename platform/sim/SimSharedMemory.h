#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/SharedMemory.h"

// Named mappings that the test creates and fills as another process would.
// Names compare case-sensitively, as kernel object names do.
//
// A view is a copy of the bytes at the moment it is made (views made while
// the bytes stay the same share one copy), placed so that it ends right at
// an inaccessible page: reading a single byte past Size()
// crashes the test instead of passing unnoticed. Unlike on Windows, Size()
// is exactly the number of bytes written, not rounded up to pages.
class cSimSharedMemory : public cSharedMemory {
public:
    std::unique_ptr<cSharedMemoryMapping> OpenReadOnly(const std::string& name) override;
    // Writers of this program: the mapping's bytes are the section's own, so
    // a reader's next view sees what was written. A writable view is exactly
    // as long as asked for, and never longer than the mapping.
    std::unique_ptr<cBackingFile> CreateBackingFile(const std::string& path) override;
    std::unique_ptr<cWritableMapping> CreateMapping(const cBackingFile* file, const std::string& name,
                                                    uint32_t size) override;

    // The creating process: creates the named mapping and holds a handle on
    // it, or replaces the contents of the mapping that has the name.
    void WriteBlock(const std::string& name, std::vector<uint8_t> bytes);
    // The creating process closes its handle. The mapping and its name live
    // on while a reader still holds a handle.
    void CloseBlock(const std::string& name);
    bool Exists(const std::string& name);
    // MapView fails (the open handles stay usable).
    void SetMapViewFails(bool fails) { MapViewFails = fails; }
    // The writer's steps fail.
    void SetCreateFileFails(bool fails) { CreateFileFails = fails; }
    void SetCreateMappingFails(bool fails) { CreateMappingFails = fails; }
    void SetMapWriteFails(bool fails) { MapWriteFails = fails; }
    // Backing files that exist now, by path; a mapping backed by none lives
    // in the paging file.
    bool BackingFileExists(const std::string& path) const { return BackingFiles.count(path) != 0; }
    bool IsFileBacked(const std::string& name) const;
    // A copy of the named mapping's bytes; empty when there is none.
    std::vector<uint8_t> Contents(const std::string& name);

    int OpenCalls() const { return Opens; }
    // Reader handles and views not yet closed.
    int OpenMappings() const { return MappingCount; }
    int OpenViews() const { return ViewCount; }

private:
    struct cSection;
    class cSimMapping;
    class cSimView;
    class cSimBackingFile;
    class cSimWritableMapping;
    class cSimWritableView;

    // Drops the names of sections that no handle holds any more.
    void Prune();

    std::map<std::string, std::shared_ptr<cSection>> Sections;
    bool MapViewFails = false;
    bool CreateFileFails = false;
    bool CreateMappingFails = false;
    bool MapWriteFails = false;
    std::map<std::string, int> BackingFiles;
    int Opens = 0;
    int MappingCount = 0;
    int ViewCount = 0;
};
