#include "foundation/NotifyIcon.h"

#include <algorithm>

#include "foundation/PopupMenu.h"
#include "platform/Platform.h"
#include "platform/WinConst.h"

namespace {

// Copies as much of the text as fits with its terminating zero.
template <size_t tSize>
void CopyCut(std::array<char, tSize>& field, const std::string& text)
{
    field.fill('\0');
    const size_t length = std::min(text.size(), tSize - 1);
    std::copy_n(text.begin(), length, field.begin());
}

}  // namespace

cNotifyIcon::cNotifyIcon(cPlatform& platform, const std::string& tip, const std::string& iconResource,
                         WindowHandle owner, uint32_t callbackMessage)
    : Platform(platform), Owner(owner)
{
    Data.Window = owner;
    Data.Id = 0;
    Data.Flags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    Data.CallbackMessage = callbackMessage;
    Data.Icon = Platform.Shell.LoadIcon(iconResource);
    CopyCut(Data.Tip, tip);
    Data.Version = NOTIFYICON_VERSION;
    Platform.Shell.NotifyIcon(NIM_SETVERSION, Data);
}

cNotifyIcon::~cNotifyIcon()
{
    Platform.Shell.NotifyIcon(NIM_DELETE, Data);
}

int cNotifyIcon::Notify(uint32_t message)
{
    Platform.Errors.SetLastError(0);
    return Platform.Shell.NotifyIcon(message, Data) ? 1 : -1;
}

int cNotifyIcon::MoveToTray()
{
    return Notify(NIM_ADD);
}

int cNotifyIcon::Hide()
{
    return Notify(NIM_DELETE);
}

bool cNotifyIcon::ShowBalloon(const std::string& title, const std::string& text, uint32_t iconType)
{
    CopyCut(Data.InfoTitle, title);
    CopyCut(Data.Info, text);
    Data.InfoFlags = iconType;
    Data.Flags |= NIF_INFO;
    return Platform.Shell.NotifyIcon(NIM_MODIFY, Data);
}

bool cNotifyIcon::HandleCallbackMessage(intptr_t mouseEvent)
{
    switch (mouseEvent) {
    case WM_LBUTTONDBLCLK:
        if (DefaultItem != nullptr) {
            DefaultItem->Click();
        } else {
            if (!Platform.Windowing.IsWindowVisible(Owner))
                Platform.Windowing.ShowWindow(Owner, true);
            Platform.Windowing.SetForegroundWindow(Owner);
        }
        return true;
    case WM_RBUTTONUP: {
        if (PopupMenu == nullptr)
            return false;
        int32_t x = 0;
        int32_t y = 0;
        Platform.Shell.GetCursorPos(x, y);
        PopupMenu->Popup(x, y);
        return true;
    }
    default:
        return false;
    }
}
