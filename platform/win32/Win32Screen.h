#pragma once
#include <map>
#include <mutex>
#include <string>

#include "platform/Screen.h"

// The desktop through user32 and gdi32. A cover window's procedure binds
// its cWindowProcedure at WM_NCCREATE, like the windows of cWin32Windowing,
// and passes every message through unchanged; an exception it throws is
// rethrown from PumpWindowMessage (see Win32Callbacks.h). The brush of each
// cover window's class lives until DestroyCoverWindow.
class cWin32Screen final : public cScreen {
public:
    cWin32Screen() = default;
    ~cWin32Screen() override;
    cWin32Screen(const cWin32Screen&) = delete;
    cWin32Screen& operator=(const cWin32Screen&) = delete;

    WindowHandle CreateCoverWindow(const cCoverWindowLook& look, cWindowProcedure& procedure) override;
    void DestroyCoverWindow(WindowHandle window) override;
    int PumpWindowMessage(WindowHandle window) override;
    void MakeTopmost(WindowHandle window) override;
    void SetVisibilityInPlace(WindowHandle window, uint32_t swpFlags) override;
    void SetCursorPos(int32_t x, int32_t y) override;
    int ShowCursor(bool show) override;
    void RemoveWallpaper() override;
    void RestoreWallpaper() override;
    uint32_t GetDesktopColour() override;
    void SetDesktopColour(uint32_t colour) override;

private:
    struct cCover {
        std::string ClassName;
        uintptr_t Brush = 0;
    };
    // Cover windows are made and destroyed on their own threads.
    std::mutex CoversLock;
    std::map<WindowHandle, cCover> Covers;
};
