#include "platform/win32/Win32Shell.h"

#include "platform/win32/Win32.h"

#include <shellapi.h>

#include <cstring>

#include "platform/win32/Win32Callbacks.h"

uintptr_t cWin32Shell::LoadIcon(const std::string& resourceName)
{
    return reinterpret_cast<uintptr_t>(LoadIconA(GetModuleHandleA(nullptr), resourceName.c_str()));
}

bool cWin32Shell::NotifyIcon(uint32_t message, const cNotifyIconData& data)
{
    NOTIFYICONDATAA record = {};
    // The size tells the shell which fields there are: up to the balloon
    // icon type, which also works on Windows 2000 and XP.
    record.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record.hWnd = reinterpret_cast<HWND>(data.Window);
    record.uID = data.Id;
    record.uFlags = data.Flags;
    record.uCallbackMessage = data.CallbackMessage;
    record.hIcon = reinterpret_cast<HICON>(data.Icon);
    static_assert(sizeof record.szTip == sizeof data.Tip && sizeof record.szInfo == sizeof data.Info &&
                  sizeof record.szInfoTitle == sizeof data.InfoTitle);
    std::memcpy(record.szTip, data.Tip.data(), sizeof record.szTip);
    std::memcpy(record.szInfo, data.Info.data(), sizeof record.szInfo);
    record.uVersion = data.Version;
    std::memcpy(record.szInfoTitle, data.InfoTitle.data(), sizeof record.szInfoTitle);
    record.dwInfoFlags = data.InfoFlags;
    return Shell_NotifyIconA(message, &record) != FALSE;
}

bool cWin32Shell::GetCursorPos(int32_t& x, int32_t& y)
{
    POINT point = {};
    if (!::GetCursorPos(&point))
        return false;
    x = point.x;
    y = point.y;
    return true;
}

void cWin32Shell::TrackPopupMenu(WindowHandle owner, const std::vector<cMenuEntry>& entries, int32_t x, int32_t y)
{
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return;
    for (const cMenuEntry& entry : entries) {
        if (entry.Caption.empty())
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu, MF_STRING, entry.CommandId, entry.Caption.c_str());
    }
    HWND window = reinterpret_cast<HWND>(owner);
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, window, nullptr);
    // Without a message after the menu, a second click on the tray icon
    // would not close a menu opened from it.
    PostMessageA(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
    RethrowCallbackException();
}
