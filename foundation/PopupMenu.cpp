#include "foundation/PopupMenu.h"

#include "platform/Platform.h"

cPopupMenu::cPopupMenu(cPlatform& platform, WindowHandle owner, std::function<void()> onPopup)
    : Platform(platform), Owner(owner), OnPopup(std::move(onPopup))
{
}

void cPopupMenu::Popup(int32_t x, int32_t y)
{
    if (OnPopup)
        OnPopup();
    std::vector<cMenuEntry> entries;
    for (const cMenuItem* item : Lines)
        entries.push_back(item != nullptr ? cMenuEntry{item->CommandId, item->Caption} : cMenuEntry{});
    Platform.Shell.TrackPopupMenu(Owner, entries, x, y);
}

bool cPopupMenu::Dispatch(uint32_t commandId)
{
    for (cMenuItem* item : Lines) {
        if (item != nullptr && item->CommandId == commandId) {
            item->Click();
            return true;
        }
    }
    return false;
}
