#pragma once
#include <windows.h>

#include <string>

// Writes what the screen shows of the window, frame included, as a PNG
// file. False when the window has no area or the file cannot be written.
bool WriteWindowPicture(HWND window, const std::string& path);
