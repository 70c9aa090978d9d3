#include "TargetWindow.h"

#include <utility>

namespace {
constexpr DWORD POLL_INTERVAL_MS = 50;
}

cTargetWindow::cTargetWindow(std::string className, std::string title)
    : className_(std::move(className)), title_(std::move(title))
{
}

const char* cTargetWindow::ClassOrNull() const
{
    return className_.empty() ? nullptr : className_.c_str();
}

const char* cTargetWindow::TitleOrNull() const
{
    return title_.empty() ? nullptr : title_.c_str();
}

bool cTargetWindow::Find()
{
    handle_ = FindWindowA(ClassOrNull(), TitleOrNull());
    return handle_ != nullptr;
}

bool cTargetWindow::WaitUntilPresent(DWORD milliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (!Find()) {
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(POLL_INTERVAL_MS);
    }
    return true;
}

bool cTargetWindow::WaitUntilGone(DWORD milliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (Find()) {
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(POLL_INTERVAL_MS);
    }
    return true;
}

bool cTargetWindow::Send(UINT message, WPARAM wParam, LPARAM lParam, DWORD milliseconds, LRESULT& result) const
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(handle_, message, wParam, lParam, SMTO_ABORTIFHUNG, milliseconds, &answer))
        return false;
    result = static_cast<LRESULT>(answer);
    return true;
}

bool cTargetWindow::Post(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return PostMessageA(handle_, message, wParam, lParam) != FALSE;
}

bool cTargetWindow::IsVisible() const
{
    return IsWindowVisible(handle_) != FALSE;
}

std::string cTargetWindow::Text() const
{
    // GetWindowText on another process's window reads the stored caption
    // without sending WM_GETTEXT, so it works even while the target is busy.
    char buffer[1024] = {};
    const int length = GetWindowTextA(handle_, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}
