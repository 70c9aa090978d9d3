#pragma once
#include <cstdint>
#include <string>

class cDialogs {
public:
    virtual ~cDialogs() = default;

    // A modal message box; returns the button pressed.
    virtual int MessageBox(const std::string& text, const std::string& caption, uint32_t style) = 0;
};
