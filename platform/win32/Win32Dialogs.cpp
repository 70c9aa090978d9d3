#include "platform/win32/Win32Dialogs.h"

#include "platform/win32/Win32.h"
#include "platform/win32/Win32Callbacks.h"

int cWin32Dialogs::MessageBox(const std::string& text, const std::string& caption, uint32_t style)
{
    // Modal: the box runs its own message loop, so the procedures of this
    // thread's windows (timers, power broadcasts) run while it is shown.
    int button = MessageBoxA(nullptr, text.c_str(), caption.c_str(), style);
    RethrowCallbackException();
    return button;
}
