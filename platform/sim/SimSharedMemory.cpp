#include "platform/sim/SimSharedMemory.h"

#include <cstring>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/mman.h>
#include <unistd.h>
#define SLH_SIM_GUARD_PAGES 1
#endif

namespace {

// A read-only copy of some bytes that ends exactly where an inaccessible
// page begins (where the host supports it; a plain copy elsewhere).
class cGuardedBytes {
public:
    explicit cGuardedBytes(const std::vector<uint8_t>& bytes) : Size(bytes.size())
    {
#ifdef SLH_SIM_GUARD_PAGES
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        const size_t dataPages = (Size + page - 1) / page * page;
        Length = dataPages + page;
        void* base = mmap(nullptr, Length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base != MAP_FAILED) {
            Base = static_cast<uint8_t*>(base);
            Data = Base + dataPages - Size;
            if (Size > 0)
                std::memcpy(Data, bytes.data(), Size);
            mprotect(Base, dataPages, PROT_READ);
            mprotect(Base + dataPages, page, PROT_NONE);
            return;
        }
#endif
        Copy.reset(new uint8_t[Size > 0 ? Size : 1]);
        if (Size > 0)
            std::memcpy(Copy.get(), bytes.data(), Size);
        Data = Copy.get();
    }
    ~cGuardedBytes()
    {
#ifdef SLH_SIM_GUARD_PAGES
        if (Base != nullptr)
            munmap(Base, Length);
#endif
    }
    cGuardedBytes(const cGuardedBytes&) = delete;
    cGuardedBytes& operator=(const cGuardedBytes&) = delete;

    const uint8_t* Get() const { return Data; }

    const size_t Size;

private:
    uint8_t* Base = nullptr;
    size_t Length = 0;
    uint8_t* Data = nullptr;
    std::unique_ptr<uint8_t[]> Copy;
};

}  // namespace

// The guarded copy of a section's bytes that its views share while the bytes
// stay the same: a reader that maps the block every second then costs no
// page mapping of the host, as a view of an unchanged mapping costs Windows
// none either.
struct cSimSharedMemory::cSection {
    std::vector<uint8_t> Bytes;
    bool CreatorOpen = true;
    bool FileBacked = false;
    std::shared_ptr<const cGuardedBytes> Copy;

    std::shared_ptr<const cGuardedBytes> CurrentCopy()
    {
        // Writers change Bytes in place, so the copy is compared, not flagged.
        if (!Copy || Copy->Size != Bytes.size() ||
            (!Bytes.empty() && std::memcmp(Copy->Get(), Bytes.data(), Bytes.size()) != 0))
            Copy = std::make_shared<const cGuardedBytes>(Bytes);
        return Copy;
    }
};

class cSimSharedMemory::cSimView : public cSharedMemoryView {
public:
    cSimView(cSimSharedMemory& owner, std::shared_ptr<const cGuardedBytes> bytes)
        : Owner(owner), Bytes(std::move(bytes))
    {
        ++Owner.ViewCount;
    }
    ~cSimView() override { --Owner.ViewCount; }

    const uint8_t* Data() const override { return Bytes->Get(); }
    size_t Size() const override { return Bytes->Size; }

private:
    cSimSharedMemory& Owner;
    // A view keeps the bytes it was made with, even after a writer's change.
    std::shared_ptr<const cGuardedBytes> Bytes;
};

class cSimSharedMemory::cSimMapping : public cSharedMemoryMapping {
public:
    cSimMapping(cSimSharedMemory& owner, std::shared_ptr<cSection> section)
        : Owner(owner), Section(std::move(section))
    {
        ++Owner.MappingCount;
    }
    ~cSimMapping() override { --Owner.MappingCount; }

    std::unique_ptr<cSharedMemoryView> MapView() override
    {
        if (Owner.MapViewFails)
            return nullptr;
        return std::make_unique<cSimView>(Owner, Section->CurrentCopy());
    }

private:
    cSimSharedMemory& Owner;
    std::shared_ptr<cSection> Section;
};

void cSimSharedMemory::Prune()
{
    for (auto it = Sections.begin(); it != Sections.end();) {
        if (!it->second->CreatorOpen && it->second.use_count() == 1)
            it = Sections.erase(it);
        else
            ++it;
    }
}

std::unique_ptr<cSharedMemoryMapping> cSimSharedMemory::OpenReadOnly(const std::string& name)
{
    ++Opens;
    Prune();
    auto it = Sections.find(name);
    if (it == Sections.end())
        return nullptr;
    return std::make_unique<cSimMapping>(*this, it->second);
}

void cSimSharedMemory::WriteBlock(const std::string& name, std::vector<uint8_t> bytes)
{
    Prune();
    std::shared_ptr<cSection>& section = Sections[name];
    if (!section)
        section = std::make_shared<cSection>();
    section->Bytes = std::move(bytes);
    section->CreatorOpen = true;
}

void cSimSharedMemory::CloseBlock(const std::string& name)
{
    auto it = Sections.find(name);
    if (it != Sections.end())
        it->second->CreatorOpen = false;
    Prune();
}

bool cSimSharedMemory::Exists(const std::string& name)
{
    Prune();
    return Sections.count(name) != 0;
}

class cSimSharedMemory::cSimBackingFile : public cBackingFile {
public:
    cSimBackingFile(cSimSharedMemory& owner, std::string path) : Owner(owner), Path(std::move(path))
    {
        ++Owner.BackingFiles[Path];
    }
    // Deleted on close.
    ~cSimBackingFile() override
    {
        if (--Owner.BackingFiles[Path] == 0)
            Owner.BackingFiles.erase(Path);
    }

private:
    cSimSharedMemory& Owner;
    std::string Path;
};

class cSimSharedMemory::cSimWritableView : public cWritableView {
public:
    cSimWritableView(std::shared_ptr<cSection> section, size_t length)
        : Section(std::move(section)), Length(length)
    {
    }

    uint8_t* Data() override { return Section->Bytes.data(); }
    size_t Size() const override { return Length; }

private:
    std::shared_ptr<cSection> Section;
    size_t Length;
};

class cSimSharedMemory::cSimWritableMapping : public cWritableMapping {
public:
    cSimWritableMapping(cSimSharedMemory& owner, std::string name, std::shared_ptr<cSection> section)
        : Owner(owner), Name(std::move(name)), Section(std::move(section))
    {
    }
    ~cSimWritableMapping() override
    {
        Section->CreatorOpen = false;
        Section.reset();
        Owner.Prune();
    }

    std::unique_ptr<cWritableView> MapViewForWriting(uint32_t length) override
    {
        if (Owner.MapWriteFails || length > Section->Bytes.size())
            return nullptr;
        // Length 0 maps the whole mapping, as on Windows.
        return std::make_unique<cSimWritableView>(Section, length == 0 ? Section->Bytes.size() : length);
    }

private:
    cSimSharedMemory& Owner;
    std::string Name;
    std::shared_ptr<cSection> Section;
};

std::unique_ptr<cBackingFile> cSimSharedMemory::CreateBackingFile(const std::string& path)
{
    if (CreateFileFails)
        return nullptr;
    return std::make_unique<cSimBackingFile>(*this, path);
}

std::unique_ptr<cWritableMapping> cSimSharedMemory::CreateMapping(const cBackingFile* file, const std::string& name,
                                                                  uint32_t size)
{
    Prune();
    if (CreateMappingFails || size == 0)
        return nullptr;
    std::shared_ptr<cSection>& section = Sections[name];
    if (!section) {
        section = std::make_shared<cSection>();
        section->Bytes.assign(size, 0);
        section->FileBacked = file != nullptr;
    }
    section->CreatorOpen = true;
    return std::make_unique<cSimWritableMapping>(*this, name, section);
}

bool cSimSharedMemory::IsFileBacked(const std::string& name) const
{
    auto it = Sections.find(name);
    return it != Sections.end() && it->second->FileBacked;
}

std::vector<uint8_t> cSimSharedMemory::Contents(const std::string& name)
{
    Prune();
    auto it = Sections.find(name);
    return it == Sections.end() ? std::vector<uint8_t>{} : it->second->Bytes;
}
