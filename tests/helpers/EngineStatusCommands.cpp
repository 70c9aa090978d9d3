#include "EngineStatusCommands.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "NumberArg.h"

namespace {

constexpr const char* BLOCK_NAME = "SLH_EngineStatus";
constexpr DWORD BLOCK_SIZE = 4096;
constexpr size_t TEXT_SIZE = 100;

// A text field read by hand, not by the program's reader: up to its zero,
// and whether there was one within the field.
std::string Field(const uint8_t* block, size_t offset, bool& terminated)
{
    const void* zero = std::memchr(block + offset, 0, TEXT_SIZE);
    terminated = terminated && zero != nullptr;
    const size_t length = zero != nullptr ? static_cast<const uint8_t*>(zero) - (block + offset) : TEXT_SIZE;
    return std::string(reinterpret_cast<const char*>(block + offset), length);
}

uint32_t Word(const uint8_t* block, size_t offset)
{
    uint32_t value = 0;
    std::memcpy(&value, block + offset, sizeof value);
    return value;
}

}  // namespace

int RunStatus(const std::vector<std::string>&)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, BLOCK_NAME);
    if (mapping == nullptr) {
        std::fprintf(stderr, "slhmsg: no block %s, error %lu\n", BLOCK_NAME, GetLastError());
        return 2;
    }
    const auto* block = static_cast<const uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    if (block == nullptr) {
        std::fprintf(stderr, "slhmsg: MapViewOfFile failed, error %lu\n", GetLastError());
        CloseHandle(mapping);
        return 4;
    }
    bool terminated = true;
    std::printf("version=%d\n", static_cast<int>(Word(block, 0)));
    std::printf("lastinput=%s\n", Field(block, 12, terminated).c_str());
    std::printf("mediacenter=%s\n", Field(block, 112, terminated).c_str());
    std::printf("recording=%s\n", Field(block, 212, terminated).c_str());
    std::printf("extenders=%u\n", Word(block, 312));
    std::printf("terminated=%d\n", terminated ? 1 : 0);
    UnmapViewOfFile(block);
    CloseHandle(mapping);
    return 0;
}

namespace {

LRESULT CALLBACK FakeEngineProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int RunFakeEngine(const std::vector<std::string>& args)
{
    long long version = 0;
    double seconds = 0;
    if (!ParseInteger(args[0], version) || !ParseSeconds(args[1], seconds)) {
        std::fprintf(stderr, "slhmsg: fakeengine VERSION SECONDS\n");
        return 3;
    }
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, BLOCK_SIZE, BLOCK_NAME);
    if (mapping == nullptr)
        return 4;
    auto* block = static_cast<uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, BLOCK_SIZE));
    if (block == nullptr)
        return 4;
    const int32_t word = static_cast<int32_t>(version);
    std::memcpy(block, &word, sizeof word);
    std::strcpy(reinterpret_cast<char*>(block + 112), "Fake engine");

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FakeEngineProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TApplication";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "TApplication", "Slumberhold - Engine mode", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                  100, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr)
        return 4;
    SetTimer(window, 1, static_cast<UINT>(seconds * 1000.0), nullptr);
    std::printf("ready\n");
    std::fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == window) {
            DestroyWindow(window);
            continue;
        }
        DispatchMessageA(&message);
    }
    UnmapViewOfFile(block);
    CloseHandle(mapping);
    return 0;
}

namespace {

struct cListing {
    std::string ClassName;
    std::string Title;
};

BOOL CALLBACK ListWindow(HWND window, LPARAM parameter)
{
    const auto* listing = reinterpret_cast<const cListing*>(parameter);
    char className[256] = {};
    char title[512] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if ((listing->ClassName.empty() || listing->ClassName == className) &&
        (listing->Title.empty() || listing->Title == title)) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        std::printf("%llu\t%lu\t%s\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)),
                    processId, title);
    }
    return TRUE;
}

}  // namespace

int RunListWindows(const std::string& className, const std::string& title)
{
    cListing listing{className, title};
    return EnumWindows(ListWindow, reinterpret_cast<LPARAM>(&listing)) ? 0 : 4;
}
