#include "platform/win32/Win32TextViewer.h"

#include <string>

#include "platform/win32/Win32.h"
#include "platform/win32/Win32Callbacks.h"

#include <richedit.h>

namespace {

constexpr const wchar_t* CLASS_NAME = L"TfViewer";
constexpr const wchar_t* CAPTION = L"powercfg.exe output";
constexpr const wchar_t* FONT_NAME = L"Courier New";
// Character height in pixels (a negative height asks for the character
// without its internal leading).
constexpr int FONT_HEIGHT = -13;
constexpr int WINDOW_WIDTH = 760;
constexpr int WINDOW_HEIGHT = 520;
// RichEdit1, the form's one control.
constexpr int TEXT_CONTROL_ID = 1;

HWND AsWindow(uintptr_t handle)
{
    return reinterpret_cast<HWND>(handle);
}

// The rich-edit library is loaded once and stays for the process; without
// it the viewer falls back to a plain edit control.
const wchar_t* TextControlClass()
{
    static const bool loaded = LoadLibraryA("riched20.dll") != nullptr;
    return loaded ? RICHEDIT_CLASSW : L"EDIT";
}

LRESULT CALLBACK ViewerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* viewer = reinterpret_cast<cWin32TextViewer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (viewer != nullptr) {
        switch (message) {
        case WM_CLOSE:
        case WM_SIZE:
            return viewer->HandleMessage(message, wParam, lParam);
        default:
            break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The console's code page decides what the tools' bytes mean; the control
// gets them as UTF-16, every line ending as CR LF.
std::wstring FromOem(const std::string& oemText)
{
    std::string text;
    text.reserve(oemText.size());
    for (size_t at = 0; at < oemText.size(); ++at) {
        if (oemText[at] == '\n' && (at == 0 || oemText[at - 1] != '\r'))
            text += '\r';
        text += oemText[at];
    }
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// Puts the owner back in charge when the modal loop ends, on every path.
class cModalScope {
public:
    cModalScope(HWND viewer, HWND owner) : Viewer(viewer), Owner(owner)
    {
        if (Owner != nullptr)
            EnableWindow(Owner, FALSE);
    }
    ~cModalScope()
    {
        // The owner first, so that Windows activates it, not some other
        // program's window, when the viewer goes.
        if (Owner != nullptr)
            EnableWindow(Owner, TRUE);
        ShowWindow(Viewer, SW_HIDE);
        if (Owner != nullptr)
            SetForegroundWindow(Owner);
    }
    cModalScope(const cModalScope&) = delete;
    cModalScope& operator=(const cModalScope&) = delete;

private:
    HWND Viewer;
    HWND Owner;
};

}  // namespace

cWin32TextViewer::~cWin32TextViewer()
{
    if (Window != 0)
        DestroyWindow(AsWindow(Window));
    if (Font != 0)
        DeleteObject(reinterpret_cast<HFONT>(Font));
}

bool cWin32TextViewer::Create()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ViewerProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = CLASS_NAME;
    // A second viewer in the process finds the class registered already.
    RegisterClassW(&windowClass);

    const int left = (GetSystemMetrics(SM_CXSCREEN) - WINDOW_WIDTH) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - WINDOW_HEIGHT) / 2;
    // No minimise and maximise boxes: the system menu's close button only.
    HWND window = CreateWindowExW(WS_EX_TOPMOST, CLASS_NAME, CAPTION, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                                  WS_THICKFRAME | WS_CLIPCHILDREN, left, top, WINDOW_WIDTH, WINDOW_HEIGHT, nullptr,
                                  nullptr, instance, this);
    if (window == nullptr)
        return false;
    Window = reinterpret_cast<uintptr_t>(window);

    RECT client = {};
    GetClientRect(window, &client);
    HWND text = CreateWindowExW(WS_EX_CLIENTEDGE, TextControlClass(), L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                                    ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                0, 0, client.right, client.bottom, window,
                                reinterpret_cast<HMENU>(static_cast<uintptr_t>(TEXT_CONTROL_ID)), instance, nullptr);
    if (text == nullptr)
        return true;
    Text = reinterpret_cast<uintptr_t>(text);
    // Plain text: the mode can only be set while the control is empty.
    SendMessageW(text, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
    SendMessageW(text, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    HFONT font = CreateFontW(FONT_HEIGHT, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, OEM_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, FONT_NAME);
    if (font != nullptr) {
        Font = reinterpret_cast<uintptr_t>(font);
        SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    return true;
}

intptr_t cWin32TextViewer::HandleMessage(uint32_t message, uintptr_t, intptr_t lParam)
{
    if (message == WM_CLOSE) {
        // Hidden, not destroyed: the one viewer serves every report.
        Closed = true;
    } else if (message == WM_SIZE && Text != 0) {
        MoveWindow(AsWindow(Text), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    }
    return 0;
}

void cWin32TextViewer::ShowModal(WindowHandle owner, const std::string& oemText)
{
    if (Window == 0 && !Create())
        return;
    HWND window = AsWindow(Window);
    HWND ownerWindow = AsWindow(owner);
    // Owned by the caller's window: it stays above it and goes with it.
    SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerWindow));
    if (Text != 0) {
        SetWindowTextW(AsWindow(Text), FromOem(oemText).c_str());
        SendMessageW(AsWindow(Text), EM_SETSEL, 0, 0);
        SendMessageW(AsWindow(Text), EM_SCROLLCARET, 0, 0);
    }

    cModalScope scope(window, ownerWindow);
    Closed = false;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    if (Text != 0)
        SetFocus(AsWindow(Text));
    MSG message = {};
    while (!Closed) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        RethrowCallbackException();
        if (got == 0) {
            // The application is ending: the outer loop must see it too.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1)
            break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
        RethrowCallbackException();
    }
    Closed = true;
}
