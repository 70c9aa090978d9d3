#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Shell.h"

// The notification area as the shell keeps it: one icon per window and id,
// added, changed and removed by the records the program sends. Every call is
// recorded; a call can be made to fail. Pop-up menus are recorded and closed
// at once: a test chooses an entry by sending its WM_COMMAND.
class cSimShell : public cShell {
public:
    uintptr_t LoadIcon(const std::string& resourceName) override;
    bool NotifyIcon(uint32_t message, const cNotifyIconData& data) override;
    bool GetCursorPos(int32_t& x, int32_t& y) override;
    void TrackPopupMenu(WindowHandle owner, const std::vector<cMenuEntry>& entries, int32_t x, int32_t y) override;

    // The handle LoadIcon gives for the program's icon resources.
    static constexpr uintptr_t ICON_HANDLE = 0x1C0;

    struct cCall {
        uint32_t Message;
        cNotifyIconData Data;
    };
    struct cShownMenu {
        WindowHandle Owner;
        std::vector<cMenuEntry> Entries;
        int32_t X;
        int32_t Y;
    };
    const std::vector<cCall>& Calls() const { return Calls_; }
    const std::vector<cShownMenu>& Menus() const { return Menus_; }
    // Whether the window's icon is in the notification area.
    bool HasIcon(WindowHandle window, uint32_t id = 0) const { return Icons.count({window, id}) != 0; }
    // The next NotifyIcon calls of this message fail (NIM_ADD: the shell is
    // not there yet); negative: all of them.
    void FailNext(uint32_t message, int count) { Failures[message] = count; }
    void SetCursorPos(int32_t x, int32_t y)
    {
        CursorX = x;
        CursorY = y;
    }

private:
    std::vector<cCall> Calls_;
    std::vector<cShownMenu> Menus_;
    std::map<std::pair<WindowHandle, uint32_t>, cNotifyIconData> Icons;
    std::map<uint32_t, int> Failures;
    int32_t CursorX = 0;
    int32_t CursorY = 0;
};
