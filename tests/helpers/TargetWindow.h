#pragma once
#include <windows.h>

#include <string>

// The top-level window a helper command acts on, named by class and title
// (either may be empty, meaning "any"). The handle is looked up again on
// every Find, so a window that was recreated is still reached.
class cTargetWindow {
public:
    cTargetWindow(std::string className, std::string title);

    // Looks the window up; false when there is none.
    bool Find();
    HWND Handle() const { return handle_; }
    const std::string& ClassName() const { return className_; }
    const std::string& Title() const { return title_; }

    // Poll until the window exists / no longer exists; false on timeout.
    bool WaitUntilPresent(DWORD milliseconds);
    bool WaitUntilGone(DWORD milliseconds);

    // SendMessageTimeout, so a hung target cannot hang the caller; false
    // when the message was not delivered within the timeout.
    bool Send(UINT message, WPARAM wParam, LPARAM lParam, DWORD milliseconds, LRESULT& result) const;
    bool Post(UINT message, WPARAM wParam, LPARAM lParam) const;

    bool IsVisible() const;
    std::string Text() const;

private:
    const char* ClassOrNull() const;
    const char* TitleOrNull() const;

    std::string className_;
    std::string title_;
    HWND handle_ = nullptr;
};
