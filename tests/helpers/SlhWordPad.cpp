// wordpad.exe
//
// Stands in for WordPad, MediaPortal's harmless substitute, in the Wine
// tests: Wine's own WordPad registers another window class than Windows'
// one. The tests copy it over the prefix's WordPad. It shows a visible
// top-level window of class "WordPadClass" titled "Document - WordPad" and
// ends when the window is closed (WM_CLOSE) or when it is killed.
#include <windows.h>

namespace {

constexpr const char* WINDOW_CLASS = "WordPadClass";
constexpr const char* TITLE = "Document - WordPad";

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = WINDOW_CLASS;
    if (!RegisterClassA(&windowClass))
        return 1;
    HWND window = CreateWindowA(WINDOW_CLASS, TITLE, WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    if (window == nullptr)
        return 1;
    ShowWindow(window, SW_SHOW);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
