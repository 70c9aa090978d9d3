#pragma once
#include "platform/Dialogs.h"

// MessageBoxA without an owner window (the interface names none); the style
// is passed through unchanged (MB_* numbers).
class cWin32Dialogs final : public cDialogs {
public:
    int MessageBox(const std::string& text, const std::string& caption, uint32_t style) override;
};
