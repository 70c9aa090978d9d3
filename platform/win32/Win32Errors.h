#pragma once
#include "platform/Errors.h"

// GetLastError, SetLastError and FormatMessageA.
class cWin32SystemErrors final : public cSystemErrors {
public:
    uint32_t GetLastError() override;
    void SetLastError(uint32_t code) override;
    // The system's text in its default language (LANG_NEUTRAL,
    // SUBLANG_DEFAULT), unchanged, with its CR LF.
    bool FormatMessage(uint32_t code, std::string& text) override;
};
