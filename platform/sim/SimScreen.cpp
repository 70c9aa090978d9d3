#include "platform/sim/SimScreen.h"

#include "platform/WinConst.h"
#include "platform/sim/SimThreads.h"
#include "platform/sim/SimWindowing.h"

WindowHandle cSimScreen::CreateCoverWindow(const cCoverWindowLook& look, cWindowProcedure& procedure)
{
    if (CreationFails)
        return 0;
    std::unique_ptr<cThreadEvent> event = Threads.CreateThreadEvent();
    if (!event)
        return 0;
    cThreadEvent* waiting = event.get();
    const WindowHandle window =
        Windowing.CreateThreadWindow(look.ClassName, look.Title, procedure, [waiting] { waiting->Signal(); });
    Covers[window] = cCover{look, std::move(event), false};
    return window;
}

void cSimScreen::DestroyCoverWindow(WindowHandle window)
{
    Windowing.DestroyWindow(window);
    Covers.erase(window);
}

int cSimScreen::PumpWindowMessage(WindowHandle window)
{
    if (PumpFailures > 0) {
        --PumpFailures;
        return -1;
    }
    for (;;) {
        if (Windowing.DispatchThreadMessage(window))
            return 1;
        auto cover = Covers.find(window);
        if (cover == Covers.end())
            return -1;
        if (cover->second.MessageWaiting->Wait(WAIT_FOREVER) != eWaitResult::Signaled)
            return -1;
    }
}

void cSimScreen::MakeTopmost(WindowHandle window)
{
    auto cover = Covers.find(window);
    if (cover != Covers.end())
        cover->second.Topmost = true;
}

void cSimScreen::SetVisibilityInPlace(WindowHandle window, uint32_t swpFlags)
{
    VisibilityCalls_.push_back({window, swpFlags});
    if (swpFlags & SWP_HIDEWINDOW)
        Windowing.ShowWindow(window, false);
    else if (swpFlags & SWP_SHOWWINDOW)
        Windowing.ShowWindow(window, true);
}

void cSimScreen::SetCursorPos(int32_t x, int32_t y)
{
    CursorX_ = x;
    CursorY_ = y;
}

int cSimScreen::ShowCursor(bool show)
{
    CursorCount_ += show ? 1 : -1;
    return CursorCount_;
}

void cSimScreen::RemoveWallpaper()
{
    WallpaperRemoved_ = true;
}

void cSimScreen::RestoreWallpaper()
{
    WallpaperRemoved_ = false;
}

const cCoverWindowLook* cSimScreen::Look(WindowHandle window) const
{
    auto cover = Covers.find(window);
    return cover == Covers.end() ? nullptr : &cover->second.Look;
}

bool cSimScreen::IsTopmost(WindowHandle window) const
{
    auto cover = Covers.find(window);
    return cover != Covers.end() && cover->second.Topmost;
}
