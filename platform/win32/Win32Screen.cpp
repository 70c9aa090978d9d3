#include "platform/win32/Win32Screen.h"

#include "platform/win32/Win32.h"
#include "platform/win32/Win32Callbacks.h"

namespace {

HWND ToHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

// The procedure of every cover window.
LRESULT CALLBACK CoverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    cWindowProcedure* procedure = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        procedure = static_cast<cWindowProcedure*>(create->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(procedure));
    } else {
        procedure = reinterpret_cast<cWindowProcedure*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (message == WM_NCDESTROY)
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (procedure == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);

    try {
        intptr_t result = 0;
        if (procedure->HandleMessage(message, wParam, lParam, result))
            return result;
    } catch (...) {
        StoreCallbackException(std::current_exception());
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

cWin32Screen::~cWin32Screen()
{
    // Only for windows whose threads never destroyed them.
    for (const auto& [window, cover] : Covers)
        DeleteObject(reinterpret_cast<HBRUSH>(cover.Brush));
}

WindowHandle cWin32Screen::CreateCoverWindow(const cCoverWindowLook& look, cWindowProcedure& procedure)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HBRUSH brush = CreateSolidBrush(look.BackgroundColour);
    if (brush == nullptr)
        return 0;

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = look.ClassStyle;
    windowClass.lpfnWndProc = &CoverProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(look.Cursor));
    windowClass.hbrBackground = brush;
    windowClass.lpszClassName = look.ClassName.c_str();
    if (RegisterClassExA(&windowClass) == 0) {
        cLastErrorKeeper keeper;
        DeleteObject(brush);
        return 0;
    }

    HWND window = CreateWindowExA(look.ExStyle, look.ClassName.c_str(), look.Title.c_str(), look.Style, look.X,
                                  look.Y, look.Width, look.Height, nullptr, nullptr, instance, &procedure);
    if (window == nullptr) {
        cLastErrorKeeper keeper;
        UnregisterClassA(look.ClassName.c_str(), instance);
        DeleteObject(brush);
        RethrowCallbackException();
        return 0;
    }
    if (look.ExStyle & WS_EX_LAYERED)
        SetLayeredWindowAttributes(window, 0, look.Alpha, LWA_ALPHA);

    const WindowHandle handle = reinterpret_cast<WindowHandle>(window);
    {
        std::lock_guard<std::mutex> lock(CoversLock);
        Covers[handle] = {look.ClassName, reinterpret_cast<uintptr_t>(brush)};
    }
    RethrowCallbackException();
    return handle;
}

void cWin32Screen::DestroyCoverWindow(WindowHandle window)
{
    cCover cover;
    {
        std::lock_guard<std::mutex> lock(CoversLock);
        auto found = Covers.find(window);
        if (found == Covers.end())
            return;
        cover = found->second;
        Covers.erase(found);
    }
    DestroyWindow(ToHwnd(window));
    UnregisterClassA(cover.ClassName.c_str(), GetModuleHandleA(nullptr));
    DeleteObject(reinterpret_cast<HBRUSH>(cover.Brush));
    RethrowCallbackException();
}

int cWin32Screen::PumpWindowMessage(WindowHandle window)
{
    MSG message = {};
    // Messages sent from other threads (the power broadcasts) reach the
    // procedure inside GetMessageA.
    const BOOL got = GetMessageA(&message, ToHwnd(window), 0, 0);
    if (got == -1)
        return -1;  // the last error stays for the caller
    RethrowCallbackException();
    if (got == 0)
        return 0;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    RethrowCallbackException();
    return 1;
}

void cWin32Screen::MakeTopmost(WindowHandle window)
{
    SetWindowPos(ToHwnd(window), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
    RethrowCallbackException();
}

void cWin32Screen::SetVisibilityInPlace(WindowHandle window, uint32_t swpFlags)
{
    SetWindowPos(ToHwnd(window), nullptr, 0, 0, 0, 0,
                 swpFlags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RethrowCallbackException();
}

void cWin32Screen::SetCursorPos(int32_t x, int32_t y)
{
    ::SetCursorPos(x, y);
}

int cWin32Screen::ShowCursor(bool show)
{
    return ::ShowCursor(show ? TRUE : FALSE);
}

void cWin32Screen::RemoveWallpaper()
{
    char none[] = "";
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, none, SPIF_SENDCHANGE);
}

void cWin32Screen::RestoreWallpaper()
{
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, nullptr, SPIF_SENDCHANGE);
}

uint32_t cWin32Screen::GetDesktopColour()
{
    return GetSysColor(COLOR_BACKGROUND);
}

void cWin32Screen::SetDesktopColour(uint32_t colour)
{
    const INT element = COLOR_BACKGROUND;
    const COLORREF value = colour;
    SetSysColors(1, &element, &value);
}
