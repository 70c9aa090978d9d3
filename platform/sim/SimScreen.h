#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/Screen.h"
#include "platform/Threads.h"

class cSimThreads;
class cSimWindowing;

// The simulated desktop. A cover window is a window of the simulated
// windowing that belongs to the simulated thread that created it: its
// messages reach it only through PumpWindowMessage on that thread (see
// cSimWindowing::CreateThreadWindow). The cursor, wallpaper and desktop
// colour are kept as state; SetWindowPos calls are recorded and show or hide
// the window in the simulated windowing.
class cSimScreen : public cScreen {
public:
    cSimScreen(cSimWindowing& windowing, cSimThreads& threads) : Windowing(windowing), Threads(threads) {}

    WindowHandle CreateCoverWindow(const cCoverWindowLook& look, cWindowProcedure& procedure) override;
    void DestroyCoverWindow(WindowHandle window) override;
    // Waits on the thread (a wait without limit of cSimThreads) until a
    // message is there; -1 when the window does not exist.
    int PumpWindowMessage(WindowHandle window) override;
    void MakeTopmost(WindowHandle window) override;
    void SetVisibilityInPlace(WindowHandle window, uint32_t swpFlags) override;
    void SetCursorPos(int32_t x, int32_t y) override;
    int ShowCursor(bool show) override;
    void RemoveWallpaper() override;
    void RestoreWallpaper() override;
    uint32_t GetDesktopColour() override { return DesktopColour_; }
    void SetDesktopColour(uint32_t colour) override { DesktopColour_ = colour; }

    // The look a cover window was created with; null when there is none.
    const cCoverWindowLook* Look(WindowHandle window) const;
    // The cover window made last and not destroyed yet; 0 when none.
    WindowHandle CoverWindow() const { return Covers.empty() ? 0 : Covers.rbegin()->first; }
    bool IsTopmost(WindowHandle window) const;
    struct cVisibilityCall {
        WindowHandle Window;
        uint32_t Flags;
    };
    const std::vector<cVisibilityCall>& VisibilityCalls() const { return VisibilityCalls_; }
    // The display counter of ShowCursor (0: shown, negative: hidden).
    int CursorCount() const { return CursorCount_; }
    int32_t CursorX() const { return CursorX_; }
    int32_t CursorY() const { return CursorY_; }
    bool WallpaperRemoved() const { return WallpaperRemoved_; }
    uint32_t DesktopColour() const { return DesktopColour_; }
    // Window creation fails from now on.
    void SetCreationFails(bool fails) { CreationFails = fails; }
    // The next count PumpWindowMessage calls fail (-1).
    void FailNextPumps(int count) { PumpFailures = count; }

private:
    struct cCover {
        cCoverWindowLook Look;
        std::unique_ptr<cThreadEvent> MessageWaiting;
        bool Topmost = false;
    };

    cSimWindowing& Windowing;
    cSimThreads& Threads;
    std::map<WindowHandle, cCover> Covers;
    std::vector<cVisibilityCall> VisibilityCalls_;
    int CursorCount_ = 0;
    int32_t CursorX_ = 640;
    int32_t CursorY_ = 400;
    bool WallpaperRemoved_ = false;
    // The desktop blue of a fresh XP installation.
    uint32_t DesktopColour_ = 0x00A56E3A;
    bool CreationFails = false;
    int PumpFailures = 0;
};
