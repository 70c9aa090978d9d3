#pragma once
#include "platform/TextViewer.h"

// The text viewer form: a top-most window, centred on the screen, with only
// a close button, filled by one read-only plain-text rich-edit control in
// "Courier New" with the OEM character set. Built at its first use on the
// calling (user-interface) thread and destroyed with this object.
class cWin32TextViewer final : public cTextViewer {
public:
    cWin32TextViewer() = default;
    ~cWin32TextViewer() override;
    cWin32TextViewer(const cWin32TextViewer&) = delete;
    cWin32TextViewer& operator=(const cWin32TextViewer&) = delete;

    // Runs a message loop of its own, with the owner disabled, until the
    // viewer is closed; a WM_QUIT that arrives meanwhile ends it too and is
    // posted again for the outer loop.
    void ShowModal(WindowHandle owner, const std::string& oemText) override;

    // The window procedure's work for WM_CLOSE and WM_SIZE (both answered
    // 0); public for the class's procedure.
    intptr_t HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

private:
    bool Create();

    uintptr_t Window = 0;
    uintptr_t Text = 0;
    uintptr_t Font = 0;
    bool Closed = true;
};
