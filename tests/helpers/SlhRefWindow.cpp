// The reference for the engine's cost at rest: a plain Win32 program with a
// hidden top-level window and a message loop, nothing else. Options add,
// one by one, what the engine does besides, so that Wine's own share of
// each can be measured on its own:
//   thread    a second thread that waits for ever
//   power     a registered power-setting notification
//   mapping   a named file mapping of 4 KB, mapped into view
//   timer     a one-second timer, as the engine's heartbeat
#include <windows.h>

#include <cstring>

namespace {

// GUID_ACDC_POWER_SOURCE.
const GUID POWER_SOURCE = {0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};
constexpr DWORD MAPPING_SIZE = 4096;
constexpr UINT_PTR HEARTBEAT = 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI WaitForEver(LPVOID event)
{
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 0;
}

bool Has(int argc, char** argv, const char* option)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], option) == 0)
            return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "SlhRefWindow";
    if (!RegisterClassA(&windowClass))
        return 1;
    HWND window = CreateWindowExA(0, "SlhRefWindow", "SlhRefWindow", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr)
        return 1;

    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (Has(argc, argv, "thread")) {
        DWORD id = 0;
        CloseHandle(CreateThread(nullptr, 0, &WaitForEver, never, 0, &id));
    }
    if (Has(argc, argv, "power")) {
        using tRegister = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
        auto registerNotification = reinterpret_cast<tRegister>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "RegisterPowerSettingNotification")));
        if (registerNotification != nullptr)
            registerNotification(window, &POWER_SOURCE, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    if (Has(argc, argv, "mapping")) {
        HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, MAPPING_SIZE,
                                            "SlhRefWindowMapping");
        if (mapping != nullptr)
            MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, MAPPING_SIZE);
    }
    if (Has(argc, argv, "timer"))
        SetTimer(window, HEARTBEAT, 1000, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
