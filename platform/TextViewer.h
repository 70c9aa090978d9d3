#pragma once
#include <string>

#include "platform/Windowing.h"

// The text viewer window: one per process, hidden until used. It shows plain
// text in the console's (OEM) code page, as the command-line tools of
// Windows print it.
class cTextViewer {
public:
    virtual ~cTextViewer() = default;

    // Replaces the whole text with these bytes (OEM code page), shows the
    // window modally over the owner and returns when the user has closed it.
    virtual void ShowModal(WindowHandle owner, const std::string& oemText) = 0;
};
