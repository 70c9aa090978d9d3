#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Windowing.h"

// A caption for a button of a message box, by its id (IDOK ...).
struct cButtonText {
    int Id = 0;
    std::string Text;
};

class cDialogs {
public:
    virtual ~cDialogs() = default;

    // A modal message box; returns the button pressed.
    virtual int MessageBox(const std::string& text, const std::string& caption, uint32_t style) = 0;
    // The same with an owner window, and with the captions of the named
    // buttons replaced as the box opens (a computer-based-training hook on
    // the calling thread, removed when the box has closed). Buttons the box
    // does not have are skipped.
    virtual int MessageBoxWithButtonTexts(WindowHandle owner, const std::string& text, const std::string& caption,
                                          uint32_t style, const std::vector<cButtonText>& buttons) = 0;
};
