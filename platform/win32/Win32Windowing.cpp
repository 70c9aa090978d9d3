#include "platform/win32/Win32Windowing.h"

#include "platform/win32/Win32.h"
#include "platform/win32/Win32Callbacks.h"
#include "platform/win32/Win32SettingsView.h"

#include <algorithm>

struct cWin32Windowing::cBinding {
    cWindowProcedure* Procedure = nullptr;
    cWin32Windowing* Owner = nullptr;
    HWND Window = nullptr;
};

// The window procedure of every class CreateMainWindow registers.
class cWin32WindowProcedure {
public:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        using cBinding = cWin32Windowing::cBinding;
        cBinding* binding = nullptr;
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            binding = static_cast<cBinding*>(create->lpCreateParams);
            if (binding != nullptr) {
                binding->Window = window;
                SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(binding));
            }
        } else {
            binding = reinterpret_cast<cBinding*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        }
        if (binding == nullptr)
            return DefWindowProcA(window, message, wParam, lParam);

        LRESULT answer = 0;
        bool handled = false;
        try {
            intptr_t result = 0;
            handled = binding->Procedure->HandleMessage(message, wParam, lParam, result);
            answer = result;
        } catch (...) {
            // Rethrown by the platform call during which Windows called us.
            StoreCallbackException(std::current_exception());
            handled = false;
        }
        if (!handled)
            answer = DefWindowProcA(window, message, wParam, lParam);

        if (message == WM_NCDESTROY) {
            // The last message of the window.
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            binding->Owner->ReleaseBinding(binding);
        }
        return answer;
    }
};

namespace {

HWND ToHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

WindowHandle ToHandle(HWND window)
{
    return reinterpret_cast<WindowHandle>(window);
}

const char* NullWhenEmpty(const std::string& text)
{
    return text.empty() ? nullptr : text.c_str();
}

// Tab and arrow keys move between the controls of a window that holds
// dialog-like children (WS_EX_CONTROLPARENT, set by the settings view).
bool IsDialogKey(MSG& message)
{
    if (message.hwnd == nullptr || message.message < WM_KEYFIRST || message.message > WM_KEYLAST)
        return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr || (GetWindowLongPtrA(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) == 0)
        return false;
    return IsDialogMessageA(root, &message) != 0;
}

}  // namespace

cWin32Windowing::cWin32Windowing() = default;

cWin32Windowing::~cWin32Windowing()
{
    // Moved out first: DestroyWindow's WM_NCDESTROY would release bindings
    // while this loop runs over them. Unbound windows get the default
    // processing only.
    std::vector<std::unique_ptr<cBinding>> remaining = std::move(Bindings);
    Bindings.clear();
    for (const auto& binding : remaining) {
        SetWindowLongPtrA(binding->Window, GWLP_USERDATA, 0);
        ::DestroyWindow(binding->Window);
    }
}

void cWin32Windowing::ReleaseBinding(const cBinding* binding)
{
    auto found = std::find_if(Bindings.begin(), Bindings.end(),
                              [binding](const std::unique_ptr<cBinding>& held) { return held.get() == binding; });
    if (found != Bindings.end())
        Bindings.erase(found);
}

WindowHandle cWin32Windowing::CreateMainWindow(const std::string& className, const std::string& title,
                                               cWindowProcedure& procedure)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &cWin32WindowProcedure::WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "IDI_ICON2");  // null when the program has none
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className.c_str();
    if (RegisterClassExA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return 0;

    Bindings.push_back(std::make_unique<cBinding>());
    cBinding* binding = Bindings.back().get();
    binding->Procedure = &procedure;
    binding->Owner = this;

    HWND window = CreateWindowExA(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, binding);
    if (window == nullptr) {
        // Either WM_NCCREATE never came, or WM_NCDESTROY released it already.
        ReleaseBinding(binding);
        RethrowCallbackException();
        return 0;
    }
    try {
        RethrowCallbackException();
    } catch (...) {
        // The procedure failed during creation: leave no window behind, and
        // send it nothing more.
        cLastErrorKeeper keeper;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        ReleaseBinding(binding);
        ::DestroyWindow(window);
        throw;
    }
    return ToHandle(window);
}

void cWin32Windowing::DestroyWindow(WindowHandle window)
{
    ::DestroyWindow(ToHwnd(window));
    RethrowCallbackException();
}

void cWin32Windowing::SetWindowText(WindowHandle window, const std::string& text)
{
    SetWindowTextA(ToHwnd(window), text.c_str());
    RethrowCallbackException();
}

std::string cWin32Windowing::GetWindowText(WindowHandle window)
{
    int length = GetWindowTextLengthA(ToHwnd(window));
    RethrowCallbackException();
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(ToHwnd(window), text.data(), length + 1);
    RethrowCallbackException();
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void cWin32Windowing::ShowWindow(WindowHandle window, bool visible)
{
    ::ShowWindow(ToHwnd(window), visible ? SW_SHOW : SW_HIDE);
    RethrowCallbackException();
}

bool cWin32Windowing::IsWindowVisible(WindowHandle window)
{
    return ::IsWindowVisible(ToHwnd(window)) != 0;
}

bool cWin32Windowing::SetForegroundWindow(WindowHandle window)
{
    bool done = ::SetForegroundWindow(ToHwnd(window)) != 0;
    RethrowCallbackException();
    return done;
}

WindowHandle cWin32Windowing::FindWindow(const std::string& className, const std::string& title)
{
    return ToHandle(FindWindowA(NullWhenEmpty(className), NullWhenEmpty(title)));
}

bool cWin32Windowing::PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    return PostMessageA(ToHwnd(window), message, wParam, lParam) != 0;
}

bool cWin32Windowing::SetTimer(WindowHandle window, uintptr_t id, uint32_t milliseconds)
{
    return ::SetTimer(ToHwnd(window), id, milliseconds, nullptr) != 0;
}

void cWin32Windowing::KillTimer(WindowHandle window, uintptr_t id)
{
    ::KillTimer(ToHwnd(window), id);
}

int cWin32Windowing::RunMessageLoop()
{
    MSG message = {};
    for (;;) {
        // Sent messages (WM_POWERBROADCAST among them) reach the procedure
        // inside GetMessageA.
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        RethrowCallbackException();
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return -1;
        if (IsDialogKey(message)) {
            RethrowCallbackException();
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
        RethrowCallbackException();
    }
}

void cWin32Windowing::PostQuitMessage(int exitCode)
{
    ::PostQuitMessage(exitCode);
}

void cWin32Windowing::ProcessMessages()
{
    MSG message = {};
    for (;;) {
        BOOL got = PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
        RethrowCallbackException();
        if (!got)
            return;
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (IsDialogKey(message)) {
            RethrowCallbackException();
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
        RethrowCallbackException();
    }
}

std::unique_ptr<cSettingsView> cWin32Windowing::CreateSettingsView(WindowHandle window,
                                                                   cSettingsViewListener& listener)
{
    return std::make_unique<cWin32SettingsView>(ToHwnd(window), listener);
}
