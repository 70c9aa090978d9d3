// slhviewer read TEXTFILE TIMEOUT_MS
// slhviewer close TIMEOUT_MS
// slhviewer shot PNGFILE TIMEOUT_MS
//
// Looks at the program's text viewer (the visible top-level window of class
// "TfViewer") as a user would. "read" waits up to TIMEOUT_MS for it, writes
// the text of its text control, as UTF-8, to TEXTFILE (a Windows path) and
// prints:
//   caption=<the window's caption>
//   topmost=<0|1>
//   close-only=<0|1>      a system menu without minimise and maximise boxes
//   centred=<0|1>         its centre within 2 pixels of the screen's
//   control=<the text control's window class>
//   readonly=<0|1>
//   owner-disabled=<0|1>  the window it belongs to takes no input (modal)
// "close" presses the close button (SC_CLOSE) and waits until the viewer is
// hidden; prints "closed=<0|1>". "shot" writes a PNG picture of the viewer
// to PNGFILE (a Windows path). Exit code 1 when no viewer appeared.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "WindowPicture.h"

namespace {

constexpr int TEXT_CONTROL_ID = 1;
constexpr DWORD POLL_MS = 50;
// The window repaints what its appearance uncovered before the picture.
constexpr DWORD PAINT_SETTLE_MS = 300;

HWND FindVisibleViewer()
{
    HWND viewer = FindWindowA("TfViewer", nullptr);
    return viewer != nullptr && IsWindowVisible(viewer) ? viewer : nullptr;
}

HWND WaitForViewer(DWORD timeout)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND viewer = FindVisibleViewer())
            return viewer;
        if (GetTickCount() - start >= timeout)
            return nullptr;
        Sleep(POLL_MS);
    }
}

std::string Utf8(const std::wstring& wide)
{
    if (wide.empty())
        return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr,
                        nullptr);
    return text;
}

std::wstring ControlText(HWND control)
{
    // WM_GETTEXT copies across processes; the length first.
    const LRESULT length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

int Read(const char* textFile, DWORD timeout)
{
    HWND viewer = WaitForViewer(timeout);
    if (viewer == nullptr)
        return 1;
    char caption[256] = {};
    GetWindowTextA(viewer, caption, sizeof caption);
    const LONG style = GetWindowLongA(viewer, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(viewer, GWL_EXSTYLE);
    RECT frame = {};
    GetWindowRect(viewer, &frame);
    const int dx = (frame.left + frame.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2;
    const int dy = (frame.top + frame.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2;
    HWND control = GetDlgItem(viewer, TEXT_CONTROL_ID);
    char controlClass[64] = {};
    if (control != nullptr)
        GetClassNameA(control, controlClass, sizeof controlClass);
    HWND owner = GetWindow(viewer, GW_OWNER);

    const std::string text = control != nullptr ? Utf8(ControlText(control)) : std::string();
    if (FILE* file = std::fopen(textFile, "wb")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    std::printf("caption=%s\ntopmost=%d\nclose-only=%d\ncentred=%d\ncontrol=%s\nreadonly=%d\nowner-disabled=%d\n",
                caption, (exStyle & WS_EX_TOPMOST) ? 1 : 0,
                (style & WS_SYSMENU) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) ? 1 : 0,
                std::abs(dx) <= 2 && std::abs(dy) <= 2 ? 1 : 0, controlClass,
                control != nullptr && (GetWindowLongA(control, GWL_STYLE) & ES_READONLY) ? 1 : 0,
                owner != nullptr && !IsWindowEnabled(owner) ? 1 : 0);
    return 0;
}

int Close(DWORD timeout)
{
    HWND viewer = WaitForViewer(timeout);
    if (viewer == nullptr)
        return 1;
    PostMessageA(viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
    const DWORD start = GetTickCount();
    while (IsWindowVisible(viewer) && GetTickCount() - start < timeout)
        Sleep(POLL_MS);
    std::printf("closed=%d\n", IsWindowVisible(viewer) ? 0 : 1);
    return 0;
}

// Lets the viewer paint what its appearance uncovered, then writes its
// picture.
int Shot(const char* pngFile, DWORD timeout)
{
    HWND viewer = WaitForViewer(timeout);
    if (viewer == nullptr)
        return 1;
    RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(PAINT_SETTLE_MS);
    return WriteWindowPicture(viewer, pngFile) ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc >= 2 ? argv[1] : "";
    if (mode == "read" && argc == 4)
        return Read(argv[2], std::strtoul(argv[3], nullptr, 10));
    if (mode == "close" && argc == 3)
        return Close(std::strtoul(argv[2], nullptr, 10));
    if (mode == "shot" && argc == 4)
        return Shot(argv[2], std::strtoul(argv[3], nullptr, 10));
    std::fputs("usage: slhviewer read TEXTFILE TIMEOUT_MS | close TIMEOUT_MS | shot PNGFILE TIMEOUT_MS\n", stderr);
    return 2;
}
