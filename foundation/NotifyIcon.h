#pragma once
#include <cstdint>
#include <string>

#include "platform/Shell.h"

struct cPlatform;
class cPopupMenu;
class cMenuItem;

// The program's icon in the taskbar's notification area: tooltip, balloons,
// the menu on a right click and the default item on a double click. Created
// in every role; in the tray only between a successful MoveToTray and Hide
// or destruction. Main thread only.
class cNotifyIcon {
public:
    // Announces the notification behaviour of Windows 2000 and later to the
    // shell. The tip is cut to what its field holds.
    cNotifyIcon(cPlatform& platform, const std::string& tip, const std::string& iconResource, WindowHandle owner,
                uint32_t callbackMessage);
    // Removes the icon from the tray.
    ~cNotifyIcon();
    cNotifyIcon(const cNotifyIcon&) = delete;
    cNotifyIcon& operator=(const cNotifyIcon&) = delete;

    // 1 on success, -1 when the shell refused; the thread's last error then
    // says why (it is cleared before the call).
    int MoveToTray();
    int Hide();
    // Title and text are cut to their fields; the icon type is NIIF_*. The
    // balloon needs the icon in the tray.
    bool ShowBalloon(const std::string& title, const std::string& text, uint32_t iconType);
    // Not owned; null for none.
    void SetPopupMenu(cPopupMenu* menu) { PopupMenu = menu; }
    void SetDefaultItem(cMenuItem* item) { DefaultItem = item; }
    // The mouse event of a callback message (its lParam); false leaves the
    // message to the default handling.
    bool HandleCallbackMessage(intptr_t mouseEvent);

    const cNotifyIconData& GetDataForTesting() const { return Data; }

private:
    int Notify(uint32_t message);

    cPlatform& Platform;
    cNotifyIconData Data;
    WindowHandle Owner;
    cPopupMenu* PopupMenu = nullptr;
    cMenuItem* DefaultItem = nullptr;
};
