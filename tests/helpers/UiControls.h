#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Memory in the process that owns a window, for control messages whose
// lParam points to a record (TCM_GETITEMA, CB_FINDSTRINGEXACT ...): a
// pointer into this process would mean nothing there. Freed by the
// destructor.
class cRemoteMemory {
public:
    cRemoteMemory(HWND window, size_t size);
    ~cRemoteMemory();
    cRemoteMemory(const cRemoteMemory&) = delete;
    cRemoteMemory& operator=(const cRemoteMemory&) = delete;

    bool Valid() const { return address_ != nullptr; }
    char* Address() const { return static_cast<char*>(address_); }
    bool Write(size_t offset, const void* data, size_t size) const;
    bool Read(size_t offset, void* data, size_t size) const;

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

// The child windows of the settings window, found by the window property
// with the control's name, by "#ID" (the control id) or by their caption;
// among several, a visible one wins (the same caption, "Default", is on
// several pages).
HWND FindControl(HWND window, const std::string& which);
std::string WindowClass(HWND window);
std::string WindowText(HWND window);
// The name a control carries; empty for none.
std::string ControlName(HWND control);
// The tab control of the settings window; null when there is none.
HWND FindTabControl(HWND window);
std::vector<std::string> TabCaptions(HWND tab);
// The radio buttons inside a group box (its siblings within its frame).
std::vector<HWND> RadioButtonsOf(HWND group);

// SendMessageTimeout with a limit; 0 when it did not answer.
LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
