#include "MessageBoxWatcher.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace {

// The dialog template of a message box gives its text control this ID.
constexpr int MESSAGE_TEXT_ID = 0xFFFF;
// A box is first pressed one scan (about 100 ms) after it was recorded, when
// its dialog loop surely runs; one that is still there (visible or hidden)
// is pressed again every this many scans, in case a press got lost.
constexpr int PRESS_EVERY_SCANS = 10;

std::string ClassOf(HWND window)
{
    char name[64] = {};
    const int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string TextOf(HWND window)
{
    char text[4096] = {};
    const int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

// Enumeration callbacks must be CALLBACK (stdcall on i686), which a lambda
// cannot be declared as.
BOOL CALLBACK CollectWindow(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM list)
{
    if (ClassOf(window) == "#32770")
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&children));
    return children;
}

std::vector<HWND> TopLevelDialogs()
{
    std::vector<HWND> boxes;
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&boxes));
    return boxes;
}

std::string MessageText(HWND box)
{
    if (HWND text = GetDlgItem(box, MESSAGE_TEXT_ID))
        return TextOf(text);
    // Not a standard message box: the first Static with text (the icon is a
    // Static without text).
    for (HWND child : Children(box)) {
        if (ClassOf(child) == "Static") {
            std::string text = TextOf(child);
            if (!text.empty())
                return text;
        }
    }
    return {};
}

bool IsButton(HWND window)
{
    return window && ClassOf(window) == "Button";
}

int DefaultButtonId(HWND box)
{
    // Wine answers DM_GETDEFID of a message box with IDOK even when the box
    // has no such button, so the answer counts only if the button exists.
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(box, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) &&
        HIWORD(answer) == DC_HASDEFID && IsButton(GetDlgItem(box, LOWORD(answer))))
        return LOWORD(answer);
    int firstButton = -1;
    for (HWND child : Children(box)) {
        if (!IsButton(child))
            continue;
        if ((GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return GetDlgCtrlID(child);
        if (firstButton < 0)
            firstButton = GetDlgCtrlID(child);
    }
    return firstButton >= 0 ? firstButton : IDCANCEL;
}

void PressDefaultButton(HWND box)
{
    const int id = DefaultButtonId(box);
    // Posted, not sent: the box's owner may be busy, and the watcher must
    // keep scanning.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

}  // namespace

std::string EscapeLineBreaks(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '\r')
            escaped += "\\r";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return escaped;
}

cMessageBoxWatcher::cMessageBoxWatcher(std::string recordFile) : recordFile_(std::move(recordFile))
{
}

void cMessageBoxWatcher::Poll()
{
    std::map<HWND, int> stillThere;
    for (HWND box : TopLevelDialogs()) {
        auto known = seen_.find(box);
        if (known == seen_.end()) {
            // A dialog still being built is hidden and may not have its text yet.
            if (IsWindowVisible(box)) {
                Record(box);
                stillThere[box] = 0;
            }
            continue;
        }
        const int scans = known->second + 1;
        if (scans % PRESS_EVERY_SCANS == 1)
            PressDefaultButton(box);
        stillThere[box] = scans;
    }
    seen_ = std::move(stillThere);
}

void cMessageBoxWatcher::Record(HWND box)
{
    AppendRecord(EscapeLineBreaks(TextOf(box)) + "\t" + EscapeLineBreaks(MessageText(box)) + "\n");
}

bool cMessageBoxWatcher::AppendRecord(const std::string& line)
{
    // Opened per record, so every line is on disk even if the watcher is
    // killed right after.
    FILE* file = std::fopen(recordFile_.c_str(), "ab");
    if (!file)
        return false;
    const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    return std::fclose(file) == 0 && written;
}
