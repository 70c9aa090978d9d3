// The entry point of Slumberhold.exe: builds the real Windows backend and
// hands it to the logic, which builds the main window and runs the message
// loop (and catches its own exceptions).
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Platform.h"
#include "shell/Program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    cWin32Platform platform;
    return RunProgram(platform.Get());
}
