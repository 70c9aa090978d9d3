#pragma once
#include "platform/Shell.h"

// Shell_NotifyIconA with the NOTIFYICONDATAA record of Windows 2000 and
// later (the balloon fields, without the later GUID); LoadIconA from the
// program's module; TrackPopupMenu on a menu built for the call.
class cWin32Shell final : public cShell {
public:
    uintptr_t LoadIcon(const std::string& resourceName) override;
    bool NotifyIcon(uint32_t message, const cNotifyIconData& data) override;
    bool GetCursorPos(int32_t& x, int32_t& y) override;
    void TrackPopupMenu(WindowHandle owner, const std::vector<cMenuEntry>& entries, int32_t x, int32_t y) override;
};
