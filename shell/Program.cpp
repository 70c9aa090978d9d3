#include "shell/Program.h"

#include <exception>

#include "platform/Platform.h"
#include "platform/WinConst.h"
#include "shell/MainWindow.h"

int RunProgram(cPlatform& platform)
{
    try {
        TfMain mainWindow(platform);
        platform.Windowing.RunMessageLoop();
    } catch (const std::exception& error) {
        platform.Dialogs.MessageBox(error.what(), "Slumberhold", MB_OK | MB_ICONERROR);
    } catch (...) {
        platform.Dialogs.MessageBox("Unexpected error", "Slumberhold", MB_OK | MB_ICONERROR);
    }
    // Like the toolkit's application, the process ends with 0 whatever happened.
    return 0;
}
