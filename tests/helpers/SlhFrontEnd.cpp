// Stand-ins for the front-end windows the engine closes and navigates:
//
//   slhfrontend tray FILE     Media Center's tray applet: a hidden window of
//                             its class that accepts the registered navigation
//                             message (answer 1) and appends each page code
//                             (wParam) as a line to FILE
//   slhfrontend shell         Media Center's shell window; closes on WM_CLOSE
//   slhfrontend stubborn CLASS   a visible window of the class that ignores
//                             every request to close
//
// Each runs until its window is destroyed (or it is killed).
#include <windows.h>

#include <cstdio>
#include <string>

#include "targets/MediaCenterContract.h"

namespace {

std::string PagesFile;
UINT NavigateMessage = 0;
bool IgnoresClose = false;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (NavigateMessage != 0 && message == NavigateMessage) {
        if (FILE* file = std::fopen(PagesFile.c_str(), "ab")) {
            std::fprintf(file, "%u\r\n", static_cast<unsigned>(wParam));
            std::fclose(file);
        }
        return 1;
    }
    if (message == WM_CLOSE && IgnoresClose)
        return 0;
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int Usage()
{
    std::fprintf(stderr, "usage: slhfrontend tray FILE | shell | stubborn CLASS\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string role = argv[1];
    std::string className;
    bool visible = true;
    if (role == "tray" && argc == 3) {
        PagesFile = argv[2];
        className = MC_TRAY_WINDOW_CLASS;
        NavigateMessage = RegisterWindowMessageA(MC_NAVIGATE_MESSAGE);
        visible = false;
    } else if (role == "shell" && argc == 2) {
        className = MC_SHELL_WINDOW_CLASS;
    } else if (role == "stubborn" && argc == 3) {
        className = argv[2];
        IgnoresClose = true;
    } else {
        return Usage();
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className.c_str();
    if (!RegisterClassA(&windowClass))
        return 1;
    HWND window = CreateWindowA(className.c_str(), role.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr)
        return 1;
    if (visible)
        ShowWindow(window, SW_SHOW);
    std::printf("ready %lu\n", GetCurrentProcessId());
    std::fflush(stdout);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
