// slhui TITLE COMMAND [ARGUMENTS...]
//
// Drives the settings window (class "TApplication" with the title TITLE)
// as a user would, for the Wine tests and tools/screenshots.sh:
//   wait SECONDS              exit 0 once the window and its tabs exist
//   tabs                      prints the tab captions, one a line
//   page CAPTION              clicks the tab with this caption, waits until
//                             its page shows
//   check CONTROL 0|1         clicks a check box when it is not yet so
//   choose CONTROL ITEM       chooses a combo box item or radio button by text
//   track CONTROL POSITION    moves a track bar
//   type CONTROL TEXT         replaces an edit's text
//   press CONTROL             clicks a button
//   read CONTROL              prints text, enabled, checked and visible of
//                             the control, tab-separated (the chosen item
//                             of a combo box or radio group, a track bar's
//                             position)
//   rows CONTROL              prints the rows of a list view: checked, TAB,
//                             text
//   doubleclick CONTROL       double-clicks a control
//   shot FILE                 writes a PNG picture of the window
//   answer CAPTION BUTTON SECONDS
//                             waits for a message box with this caption,
//                             prints its text and presses the button with
//                             this caption ("Yes", "No", "OK")
// CONTROL: the control's name ("CheckBox3"), "#ID" (its control id) or its
// caption. Acts are posted as the user's clicks are: they return at once and
// the window handles them in its own time (a message box it opens does not
// block this program); read the result with a deadline.
// Exit codes: 0 done, 1 timeout, 2 window or control not found, 3 usage,
// 4 failed.
#include "NumberArg.h"
#include "WindowPicture.h"
#include "UiControls.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

enum eExit : int { EXIT_DONE = 0, EXIT_TIMEOUT = 1, EXIT_NOT_FOUND = 2, EXIT_USAGE = 3, EXIT_FAILED = 4 };

constexpr const char* WINDOW_CLASS = "TApplication";
constexpr DWORD POLL_MS = 50;
constexpr DWORD PAGE_TIMEOUT_MS = 10000;
// The window repaints what a page change uncovered before the picture.
constexpr DWORD PAINT_SETTLE_MS = 300;

using cArguments = std::vector<std::string>;

template <typename tCondition>
bool WaitFor(DWORD milliseconds, tCondition condition)
{
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (!condition()) {
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(POLL_MS);
    }
    return true;
}

int NotFound(const std::string& what)
{
    std::fprintf(stderr, "slhui: not found: %s\n", what.c_str());
    return EXIT_NOT_FOUND;
}

// The message a control sends its parent when the user changed it.
void NotifyParent(HWND control, WORD code)
{
    PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

bool IsRadioGroup(HWND control)
{
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    return lstrcmpiA(WindowClass(control).c_str(), "Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX;
}

int RunTabs(HWND window)
{
    HWND tab = FindTabControl(window);
    if (tab == nullptr)
        return NotFound("tab control");
    for (const std::string& caption : TabCaptions(tab))
        std::printf("%s\n", caption.c_str());
    return EXIT_DONE;
}

// WM_NOTIFY does not cross processes: the tab is clicked, and the tab
// control tells its parent itself.
int RunPage(HWND window, const std::string& caption)
{
    HWND tab = FindTabControl(window);
    if (tab == nullptr)
        return NotFound("tab control");
    const std::vector<std::string> captions = TabCaptions(tab);
    int index = -1;
    for (size_t i = 0; i < captions.size(); ++i)
        if (captions[i] == caption)
            index = static_cast<int>(i);
    if (index < 0)
        return NotFound("tab " + caption);
    cRemoteMemory memory(tab, sizeof(RECT));
    RECT area = {};
    if (!memory.Valid() ||
        SendWithin(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(memory.Address())) == 0 ||
        !memory.Read(0, &area, sizeof area))
        return EXIT_FAILED;
    const LPARAM point = MAKELPARAM((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(tab, WM_LBUTTONUP, 0, point);
    return WaitFor(PAGE_TIMEOUT_MS, [&] { return SendWithin(tab, TCM_GETCURSEL, 0, 0) == index; }) ? EXIT_DONE
                                                                                                    : EXIT_TIMEOUT;
}

int RunCheck(HWND control, const std::string& state)
{
    const LRESULT wanted = state == "1" ? BST_CHECKED : BST_UNCHECKED;
    if (SendWithin(control, BM_GETCHECK, 0, 0) != wanted)
        PostMessageA(control, BM_CLICK, 0, 0);
    return EXIT_DONE;
}

int RunChoose(HWND control, const std::string& item)
{
    if (IsRadioGroup(control)) {
        for (HWND radio : RadioButtonsOf(control))
            if (WindowText(radio) == item) {
                PostMessageA(radio, BM_CLICK, 0, 0);
                return EXIT_DONE;
            }
        return NotFound("item " + item);
    }
    // The system carries this message's string across processes itself: it
    // takes a pointer of ours.
    const LRESULT index =
        SendWithin(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.c_str()));
    if (index == CB_ERR)
        return NotFound("item " + item);
    SendWithin(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    NotifyParent(control, CBN_SELCHANGE);
    return EXIT_DONE;
}

int RunTrack(HWND control, const std::string& text)
{
    long long position = 0;
    if (!ParseInteger(text, position))
        return EXIT_USAGE;
    SendWithin(control, TBM_SETPOS, TRUE, static_cast<LPARAM>(position));
    PostMessageA(GetParent(control), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(control));
    return EXIT_DONE;
}

int RunType(HWND control, const std::string& text)
{
    // WM_SETTEXT is carried across processes; the edit reports EN_CHANGE.
    SendWithin(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return EXIT_DONE;
}

int RunRead(HWND control)
{
    std::string text = WindowText(control);
    const std::string className = WindowClass(control);
    LRESULT checked = 0;
    if (lstrcmpiA(className.c_str(), TRACKBAR_CLASSA) == 0) {
        text = std::to_string(SendWithin(control, TBM_GETPOS, 0, 0));
    } else if (IsRadioGroup(control)) {
        text.clear();
        for (HWND radio : RadioButtonsOf(control))
            if (SendWithin(radio, BM_GETCHECK, 0, 0) == BST_CHECKED)
                text = WindowText(radio);
    } else if (lstrcmpiA(className.c_str(), "Button") == 0) {
        checked = SendWithin(control, BM_GETCHECK, 0, 0);
    }
    std::printf("%s\t%d\t%d\t%d\n", text.c_str(), IsWindowEnabled(control) ? 1 : 0, checked == BST_CHECKED ? 1 : 0,
                IsWindowVisible(control) ? 1 : 0);
    return EXIT_DONE;
}

int RunRows(HWND control)
{
    constexpr size_t TEXT_SIZE = 512;
    cRemoteMemory memory(control, sizeof(LVITEMA) + TEXT_SIZE);
    if (!memory.Valid())
        return EXIT_FAILED;
    const int count = static_cast<int>(SendWithin(control, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = memory.Address() + sizeof(LVITEMA);
        item.cchTextMax = TEXT_SIZE;
        char text[TEXT_SIZE] = {};
        memory.Write(0, &item, sizeof item);
        memory.Write(sizeof item, text, sizeof text);
        SendWithin(control, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.Address()));
        memory.Read(sizeof item, text, sizeof text - 1);
        const LRESULT state = SendWithin(control, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
        std::printf("%d\t%s\n", ((state & LVIS_STATEIMAGEMASK) >> 12) == 2 ? 1 : 0, text);
    }
    return EXIT_DONE;
}

int RunDoubleClick(HWND control)
{
    PostMessageA(control, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    return EXIT_DONE;
}

// What Xvfb shows where the window is.
int RunShot(HWND window, const std::string& path)
{
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(PAINT_SETTLE_MS);
    return WriteWindowPicture(window, path) ? EXIT_DONE : EXIT_FAILED;
}

struct cBoxSearch {
    std::string Caption;
    HWND Found = nullptr;
};

BOOL CALLBACK SearchBox(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<cBoxSearch*>(lParam);
    if (WindowClass(window) == "#32770" && IsWindowVisible(window) && WindowText(window) == search->Caption) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK PrintBoxText(HWND child, LPARAM)
{
    // The text is the static that is not the icon.
    if (lstrcmpiA(WindowClass(child).c_str(), "Static") == 0 && !WindowText(child).empty())
        std::printf("%s\n", WindowText(child).c_str());
    return TRUE;
}

int RunAnswer(const cArguments& args)
{
    double seconds = 0;
    if (!ParseSeconds(args[2], seconds))
        return EXIT_USAGE;
    cBoxSearch search;
    search.Caption = args[0];
    if (!WaitFor(static_cast<DWORD>(seconds * 1000), [&] {
            search.Found = nullptr;
            EnumWindows(&SearchBox, reinterpret_cast<LPARAM>(&search));
            return search.Found != nullptr;
        }))
        return EXIT_TIMEOUT;
    EnumChildWindows(search.Found, &PrintBoxText, 0);
    HWND button = FindControl(search.Found, args[1]);
    if (button == nullptr)
        return NotFound("button " + args[1]);
    PostMessageA(button, BM_CLICK, 0, 0);
    return EXIT_DONE;
}

int Usage()
{
    std::fprintf(stderr, "usage: slhui TITLE COMMAND [ARGUMENTS...] (see the source)\n");
    return EXIT_USAGE;
}

int Run(const std::string& title, const std::string& command, const cArguments& args)
{
    if (command == "answer")
        return args.size() == 3 ? RunAnswer(args) : Usage();
    if (command == "wait") {
        double seconds = 0;
        if (args.size() != 1 || !ParseSeconds(args[0], seconds))
            return Usage();
        return WaitFor(static_cast<DWORD>(seconds * 1000), [&] {
                   HWND window = FindWindowA(WINDOW_CLASS, title.c_str());
                   HWND tab = window != nullptr ? FindTabControl(window) : nullptr;
                   return tab != nullptr && SendWithin(tab, TCM_GETITEMCOUNT, 0, 0) > 0;
               })
                   ? EXIT_DONE
                   : EXIT_TIMEOUT;
    }
    HWND window = FindWindowA(WINDOW_CLASS, title.c_str());
    if (window == nullptr)
        return NotFound("window " + title);
    if (command == "tabs")
        return args.empty() ? RunTabs(window) : Usage();
    if (command == "page")
        return args.size() == 1 ? RunPage(window, args[0]) : Usage();
    if (command == "shot")
        return args.size() == 1 ? RunShot(window, args[0]) : Usage();
    if (args.empty())
        return Usage();
    HWND control = FindControl(window, args[0]);
    if (control == nullptr)
        return NotFound("control " + args[0]);
    if (command == "check" && args.size() == 2)
        return RunCheck(control, args[1]);
    if (command == "choose" && args.size() == 2)
        return RunChoose(control, args[1]);
    if (command == "track" && args.size() == 2)
        return RunTrack(control, args[1]);
    if (command == "type" && args.size() == 2)
        return RunType(control, args[1]);
    if (command == "press" && args.size() == 1) {
        PostMessageA(control, BM_CLICK, 0, 0);
        return EXIT_DONE;
    }
    if (command == "read" && args.size() == 1)
        return RunRead(control);
    if (command == "rows" && args.size() == 1)
        return RunRows(control);
    if (command == "doubleclick" && args.size() == 1)
        return RunDoubleClick(control);
    return Usage();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    const cArguments args(argv + 3, argv + argc);
    const int code = Run(argv[1], argv[2], args);
    std::fflush(stdout);
    return code;
}
