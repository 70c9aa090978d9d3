#pragma once
#include <cstdint>
#include <string>

#include "platform/Windowing.h"

// How a full-screen window that covers the desktop is registered and created
// (RegisterClassExA and CreateWindowExA, all values passed through).
struct cCoverWindowLook {
    std::string ClassName;
    std::string Title;
    uint32_t ClassStyle = 0;  // CS_*
    uint32_t Style = 0;       // WS_*
    uint32_t ExStyle = 0;     // WS_EX_*; with WS_EX_LAYERED the window gets Alpha
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    uint32_t Cursor = 0;            // a system cursor (IDC_*)
    uint32_t BackgroundColour = 0;  // COLORREF of the class's solid brush
    uint8_t Alpha = 255;            // constant alpha of a layered window (LWA_ALPHA)
};

// The desktop as a whole: a window of its own thread that covers it, the
// mouse cursor, the wallpaper and the desktop colour. Every operation passes
// its values through; what is shown when is decided by the caller.
class cScreen {
public:
    virtual ~cScreen() = default;

    // On the thread that is to own the window, which receives its messages
    // only through PumpWindowMessage: registers the class (with a solid
    // brush of the background colour) and creates the window, hidden. 0 on
    // failure. The procedure must outlive the window.
    virtual WindowHandle CreateCoverWindow(const cCoverWindowLook& look, cWindowProcedure& procedure) = 0;
    // On the owning thread: destroys the window, unregisters its class and
    // deletes the brush.
    virtual void DestroyCoverWindow(WindowHandle window) = 0;
    // On the owning thread: waits for the next message of the window
    // (GetMessageA), translates and dispatches it. Returns what GetMessageA
    // returned: 0 for WM_QUIT, -1 when it failed, else a positive number.
    virtual int PumpWindowMessage(WindowHandle window) = 0;

    // SetWindowPos with HWND_TOPMOST, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED.
    virtual void MakeTopmost(WindowHandle window) = 0;
    // SetWindowPos that neither moves, sizes, reorders nor activates the
    // window, with the given SWP_SHOWWINDOW / SWP_HIDEWINDOW / SWP_NOREDRAW bits.
    virtual void SetVisibilityInPlace(WindowHandle window, uint32_t swpFlags) = 0;

    virtual void SetCursorPos(int32_t x, int32_t y) = 0;
    // ShowCursor: moves the display counter; returns the new count.
    virtual int ShowCursor(bool show) = 0;

    // SystemParametersInfoA(SPI_SETDESKWALLPAPER, SPIF_SENDCHANGE): with an
    // empty path (remove) or a null one (the wallpaper of the user's profile).
    virtual void RemoveWallpaper() = 0;
    virtual void RestoreWallpaper() = 0;
    // The COLOR_BACKGROUND system colour (GetSysColor, SetSysColors), a COLORREF.
    virtual uint32_t GetDesktopColour() = 0;
    virtual void SetDesktopColour(uint32_t colour) = 0;
};
