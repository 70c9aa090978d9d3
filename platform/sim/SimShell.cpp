#include "platform/sim/SimShell.h"

#include "platform/WinConst.h"

uintptr_t cSimShell::LoadIcon(const std::string& resourceName)
{
    return resourceName.empty() ? 0 : ICON_HANDLE;
}

bool cSimShell::NotifyIcon(uint32_t message, const cNotifyIconData& data)
{
    Calls_.push_back({message, data});
    auto failure = Failures.find(message);
    if (failure != Failures.end() && failure->second != 0) {
        if (failure->second > 0)
            --failure->second;
        return false;
    }
    const std::pair<WindowHandle, uint32_t> key{data.Window, data.Id};
    switch (message) {
    case NIM_ADD:
        if (Icons.count(key) != 0)
            return false;
        Icons[key] = data;
        return true;
    case NIM_MODIFY:
        if (Icons.count(key) == 0)
            return false;
        Icons[key] = data;
        return true;
    case NIM_DELETE:
        return Icons.erase(key) != 0;
    case NIM_SETVERSION:
        // Accepted for an icon not yet added, as the shell does.
        return true;
    default:
        return false;
    }
}

bool cSimShell::GetCursorPos(int32_t& x, int32_t& y)
{
    x = CursorX;
    y = CursorY;
    return true;
}

void cSimShell::TrackPopupMenu(WindowHandle owner, const std::vector<cMenuEntry>& entries, int32_t x, int32_t y)
{
    Menus_.push_back({owner, entries, x, y});
}
