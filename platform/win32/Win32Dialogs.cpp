#include "platform/win32/Win32Dialogs.h"

#include "platform/win32/Win32.h"
#include "platform/win32/Win32Callbacks.h"

namespace {

// What the hook of one box needs. A hook procedure has no user argument, so
// the box being shown on this thread is kept here; boxes of one thread nest
// (a timer may show one while another is open), hence the chain.
struct cRenaming {
    HHOOK Hook = nullptr;
    const std::vector<cButtonText>* Buttons = nullptr;
    cRenaming* Outer = nullptr;
};

thread_local cRenaming* CurrentRenaming = nullptr;

// Other windows of the thread are activated while the box is open too (the
// user clicks the main window): their controls must keep their texts.
bool IsMessageBoxWindow(HWND window)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpA(className, "#32770") == 0;
}

LRESULT CALLBACK RenameButtons(int code, WPARAM wParam, LPARAM lParam)
{
    cRenaming* renaming = CurrentRenaming;
    if (renaming == nullptr)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    if (code == HCBT_ACTIVATE && IsMessageBoxWindow(reinterpret_cast<HWND>(wParam))) {
        HWND box = reinterpret_cast<HWND>(wParam);
        for (const cButtonText& button : *renaming->Buttons) {
            // A box without this button has no such child: nothing happens.
            if (GetDlgItem(box, button.Id) != nullptr)
                SetDlgItemTextA(box, button.Id, button.Text.c_str());
        }
        // 0 lets the activation proceed.
        return 0;
    }
    return CallNextHookEx(renaming->Hook, code, wParam, lParam);
}

}  // namespace

int cWin32Dialogs::MessageBox(const std::string& text, const std::string& caption, uint32_t style)
{
    // Modal: the box runs its own message loop, so the procedures of this
    // thread's windows (timers, power broadcasts) run while it is shown.
    int button = MessageBoxA(nullptr, text.c_str(), caption.c_str(), style);
    RethrowCallbackException();
    return button;
}

int cWin32Dialogs::MessageBoxWithButtonTexts(WindowHandle owner, const std::string& text, const std::string& caption,
                                             uint32_t style, const std::vector<cButtonText>& buttons)
{
    cRenaming renaming;
    renaming.Buttons = &buttons;
    renaming.Outer = CurrentRenaming;
    renaming.Hook = SetWindowsHookExA(WH_CBT, RenameButtons, nullptr, GetCurrentThreadId());
    if (renaming.Hook != nullptr)
        CurrentRenaming = &renaming;
    int button = MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), style);
    if (renaming.Hook != nullptr) {
        cLastErrorKeeper keepError;
        UnhookWindowsHookEx(renaming.Hook);
        CurrentRenaming = renaming.Outer;
    }
    RethrowCallbackException();
    return button;
}
