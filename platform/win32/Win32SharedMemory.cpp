#include "platform/win32/Win32SharedMemory.h"

#include "platform/win32/Win32Handle.h"

namespace {

class cWin32View final : public cSharedMemoryView {
public:
    cWin32View(const void* address, size_t size) : Address(address), Length(size) {}
    ~cWin32View() override
    {
        cLastErrorKeeper keepError;
        UnmapViewOfFile(Address);
    }
    cWin32View(const cWin32View&) = delete;
    cWin32View& operator=(const cWin32View&) = delete;

    const uint8_t* Data() const override { return static_cast<const uint8_t*>(Address); }
    size_t Size() const override { return Length; }

private:
    const void* Address;
    size_t Length;
};

class cWin32Mapping final : public cSharedMemoryMapping {
public:
    explicit cWin32Mapping(HANDLE handle) : Handle(handle) {}

    std::unique_ptr<cSharedMemoryView> MapView() override
    {
        void* address = MapViewOfFile(Handle.Get(), FILE_MAP_READ, 0, 0, 0);
        if (address == nullptr)
            return nullptr;
        // A view of the whole mapping covers whole pages, all readable: the
        // region's size is how far the reader may go.
        MEMORY_BASIC_INFORMATION region = {};
        size_t size = 0;
        if (VirtualQuery(address, &region, sizeof(region)) == sizeof(region))
            size = region.RegionSize - (static_cast<uint8_t*>(address) - static_cast<uint8_t*>(region.BaseAddress));
        return std::make_unique<cWin32View>(address, size);
    }

private:
    cScopedHandle Handle;
};

}  // namespace

std::unique_ptr<cSharedMemoryMapping> cWin32SharedMemory::OpenReadOnly(const std::string& name)
{
    HANDLE handle = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    if (handle == nullptr)
        return nullptr;
    return std::make_unique<cWin32Mapping>(handle);
}

namespace {

class cWin32WritableView final : public cWritableView {
public:
    cWin32WritableView(void* address, size_t size) : Address(address), Length(size) {}
    ~cWin32WritableView() override
    {
        cLastErrorKeeper keepError;
        UnmapViewOfFile(Address);
    }
    cWin32WritableView(const cWin32WritableView&) = delete;
    cWin32WritableView& operator=(const cWin32WritableView&) = delete;

    uint8_t* Data() override { return static_cast<uint8_t*>(Address); }
    size_t Size() const override { return Length; }

private:
    void* Address;
    size_t Length;
};

class cWin32WritableMapping final : public cWritableMapping {
public:
    explicit cWin32WritableMapping(HANDLE handle) : Handle(handle) {}

    std::unique_ptr<cWritableView> MapViewForWriting(uint32_t length) override
    {
        void* address = MapViewOfFile(Handle.Get(), FILE_MAP_WRITE, 0, 0, length);
        if (address == nullptr)
            return nullptr;
        return std::make_unique<cWin32WritableView>(address, length);
    }

private:
    cScopedHandle Handle;
};

class cWin32BackingFile final : public cBackingFile {
public:
    explicit cWin32BackingFile(HANDLE handle) : Handle(handle) {}

    HANDLE Get() const { return Handle.Get(); }

private:
    cScopedHandle Handle;
};

}  // namespace

std::unique_ptr<cBackingFile> cWin32SharedMemory::CreateBackingFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_FLAG_DELETE_ON_CLOSE | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<cWin32BackingFile>(file);
}

std::unique_ptr<cWritableMapping> cWin32SharedMemory::CreateMapping(const cBackingFile* file, const std::string& name,
                                                                    uint32_t size)
{
    // Only this class makes backing files.
    HANDLE fileHandle =
        file != nullptr ? static_cast<const cWin32BackingFile*>(file)->Get() : INVALID_HANDLE_VALUE;
    HANDLE mapping = CreateFileMappingA(fileHandle, nullptr, PAGE_READWRITE, 0, size, name.c_str());
    if (mapping == nullptr)
        return nullptr;
    return std::make_unique<cWin32WritableMapping>(mapping);
}
