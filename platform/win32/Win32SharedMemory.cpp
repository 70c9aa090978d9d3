#include "platform/win32/Win32SharedMemory.h"

#include "platform/win32/Win32.h"

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
    ~cWin32Mapping() override
    {
        cLastErrorKeeper keepError;
        CloseHandle(Handle);
    }
    cWin32Mapping(const cWin32Mapping&) = delete;
    cWin32Mapping& operator=(const cWin32Mapping&) = delete;

    std::unique_ptr<cSharedMemoryView> MapView() override
    {
        void* address = MapViewOfFile(Handle, FILE_MAP_READ, 0, 0, 0);
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
    HANDLE Handle;
};

}  // namespace

std::unique_ptr<cSharedMemoryMapping> cWin32SharedMemory::OpenReadOnly(const std::string& name)
{
    HANDLE handle = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    if (handle == nullptr)
        return nullptr;
    return std::make_unique<cWin32Mapping>(handle);
}
