#pragma once
#include "platform/Dialogs.h"

// MessageBoxA; the style is passed through unchanged (MB_* numbers). The box
// with button texts renames its buttons from a WH_CBT hook of the calling
// thread at HCBT_ACTIVATE (SetDlgItemTextA).
class cWin32Dialogs final : public cDialogs {
public:
    int MessageBox(const std::string& text, const std::string& caption, uint32_t style) override;
    int MessageBoxWithButtonTexts(WindowHandle owner, const std::string& text, const std::string& caption,
                                  uint32_t style, const std::vector<cButtonText>& buttons) override;
};
