#pragma once
#include <cstdint>
#include <string>

#include "platform/Windowing.h"

class cDialogs;

// A standard message box whose OK, Yes and No buttons read "OK", "Yes" and
// "No" whatever the language of Windows; returns the button pressed.
int ShowMessageBox(cDialogs& dialogs, WindowHandle owner, const std::string& text, const std::string& caption,
                   uint32_t style);
