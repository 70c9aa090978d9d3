#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Windowing.h"

struct cPlatform;

// A command of a menu: its id (the low word of WM_COMMAND's wParam) and the
// action its click runs.
class cMenuItem {
public:
    cMenuItem(uint16_t commandId, std::string caption, std::function<void()> onClick)
        : CommandId(commandId), Caption(std::move(caption)), OnClick(std::move(onClick))
    {
    }

    void Click()
    {
        if (OnClick)
            OnClick();
    }

    const uint16_t CommandId;
    const std::string Caption;

private:
    std::function<void()> OnClick;
};

// A pop-up menu of items owned elsewhere (they must outlive the menu). The
// chosen item comes back to the owner window as WM_COMMAND, which the owner
// hands to Dispatch.
class cPopupMenu {
public:
    // onPopup runs each time, before the menu opens.
    cPopupMenu(cPlatform& platform, WindowHandle owner, std::function<void()> onPopup);

    void Add(cMenuItem& item) { Lines.push_back(&item); }
    void AddSeparator() { Lines.push_back(nullptr); }
    // Opens the menu at the screen point and returns when it has closed.
    void Popup(int32_t x, int32_t y);
    // Runs the click of the item with the command id; false when the menu
    // has no such item.
    bool Dispatch(uint32_t commandId);

private:
    cPlatform& Platform;
    WindowHandle Owner;
    std::function<void()> OnPopup;
    std::vector<cMenuItem*> Lines;  // null: a separator
};
