#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Windowing.h"

// The shell's notification record (NOTIFYICONDATAA with the balloon
// fields), field for field. Texts are zero-terminated within their arrays;
// the caller cuts them.
struct cNotifyIconData {
    WindowHandle Window = 0;
    uint32_t Id = 0;
    uint32_t Flags = 0;  // NIF_*
    uint32_t CallbackMessage = 0;
    uintptr_t Icon = 0;
    std::array<char, 128> Tip{};
    std::array<char, 256> Info{};
    uint32_t Version = 0;  // shares its place with the balloon timeout
    std::array<char, 64> InfoTitle{};
    uint32_t InfoFlags = 0;  // NIIF_*
};

// One line of a pop-up menu: a command, or a separator when the caption is
// empty.
struct cMenuEntry {
    uint32_t CommandId = 0;
    std::string Caption;
};

// The taskbar's notification area and the pop-up menus shown from it.
class cShell {
public:
    virtual ~cShell() = default;

    // An icon resource of the program by name (LoadIcon); 0 when missing.
    // The icon is shared: nobody destroys it.
    virtual uintptr_t LoadIcon(const std::string& resourceName) = 0;
    // Shell_NotifyIcon with an NIM_* message.
    virtual bool NotifyIcon(uint32_t message, const cNotifyIconData& data) = 0;
    // The mouse cursor in screen coordinates.
    virtual bool GetCursorPos(int32_t& x, int32_t& y) = 0;
    // Shows the menu at the point until the user chooses or dismisses it.
    // A chosen entry reaches the owner as WM_COMMAND with its id in the low
    // word of wParam, as from any menu.
    virtual void TrackPopupMenu(WindowHandle owner, const std::vector<cMenuEntry>& entries, int32_t x,
                                int32_t y) = 0;
};
