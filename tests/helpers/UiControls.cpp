#include "UiControls.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr DWORD SEND_TIMEOUT_MS = 10000;
constexpr const char* NAME_PROPERTY = "SlhName";

struct cSearch {
    std::string Which;
    HWND Found = nullptr;
    bool FoundVisible = false;
};

bool Matches(HWND control, const std::string& which)
{
    if (which.size() > 1 && which[0] == '#')
        return GetDlgCtrlID(control) == std::stoi(which.substr(1), nullptr, 0);
    if (ControlName(control) == which)
        return true;
    // A caption with an accelerator ampersand matches without it.
    std::string text = WindowText(control);
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return text == which || plain == which;
}

BOOL CALLBACK SearchChild(HWND child, LPARAM lParam)
{
    auto* search = reinterpret_cast<cSearch*>(lParam);
    if (!Matches(child, search->Which))
        return TRUE;
    const bool visible = IsWindowVisible(child) != 0;
    if (search->Found == nullptr || (visible && !search->FoundVisible)) {
        search->Found = child;
        search->FoundVisible = visible;
    }
    return TRUE;
}

BOOL CALLBACK SearchTab(HWND child, LPARAM lParam)
{
    if (WindowClass(child) == WC_TABCONTROLA) {
        *reinterpret_cast<HWND*>(lParam) = child;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

cRemoteMemory::cRemoteMemory(HWND window, size_t size)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_ != nullptr)
        address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

cRemoteMemory::~cRemoteMemory()
{
    if (address_ != nullptr)
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr)
        CloseHandle(process_);
}

bool cRemoteMemory::Write(size_t offset, const void* data, size_t size) const
{
    SIZE_T written = 0;
    return address_ != nullptr && WriteProcessMemory(process_, Address() + offset, data, size, &written) &&
           written == size;
}

bool cRemoteMemory::Read(size_t offset, void* data, size_t size) const
{
    SIZE_T read = 0;
    return address_ != nullptr && ReadProcessMemory(process_, Address() + offset, data, size, &read) && read == size;
}

LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &answer))
        return 0;
    return static_cast<LRESULT>(answer);
}

std::string WindowClass(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string WindowText(HWND window)
{
    // WM_GETTEXT is carried across processes; GetWindowText would not ask
    // another process's control.
    char text[2048] = {};
    SendWithin(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ControlName(HWND control)
{
    const auto atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(GetPropA(control, NAME_PROPERTY)));
    if (atom == 0)
        return std::string();
    char name[256] = {};
    GlobalGetAtomNameA(atom, name, sizeof name);
    return name;
}

HWND FindControl(HWND window, const std::string& which)
{
    cSearch search;
    search.Which = which;
    EnumChildWindows(window, &SearchChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND FindTabControl(HWND window)
{
    HWND tab = nullptr;
    EnumChildWindows(window, &SearchTab, reinterpret_cast<LPARAM>(&tab));
    return tab;
}

std::vector<std::string> TabCaptions(HWND tab)
{
    std::vector<std::string> captions;
    constexpr size_t TEXT_SIZE = 256;
    cRemoteMemory memory(tab, sizeof(TCITEMA) + TEXT_SIZE);
    if (!memory.Valid())
        return captions;
    const int count = static_cast<int>(SendWithin(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = memory.Address() + sizeof(TCITEMA);
        item.cchTextMax = TEXT_SIZE;
        char text[TEXT_SIZE] = {};
        memory.Write(0, &item, sizeof item);
        memory.Write(sizeof item, text, sizeof text);
        SendWithin(tab, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(memory.Address()));
        memory.Read(sizeof item, text, sizeof text - 1);
        captions.push_back(text);
    }
    return captions;
}

std::vector<HWND> RadioButtonsOf(HWND group)
{
    std::vector<HWND> radios;
    RECT frame = {};
    GetWindowRect(group, &frame);
    for (HWND sibling = GetWindow(GetParent(group), GW_CHILD); sibling != nullptr;
         sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(sibling, GWL_STYLE);
        if (lstrcmpiA(WindowClass(sibling).c_str(), "Button") != 0 || (style & BS_TYPEMASK) != BS_RADIOBUTTON)
            continue;
        RECT area = {};
        GetWindowRect(sibling, &area);
        if (area.top >= frame.top && area.bottom <= frame.bottom && area.left >= frame.left &&
            area.right <= frame.right)
            radios.push_back(sibling);
    }
    // Top to bottom, whatever their order among the siblings.
    std::sort(radios.begin(), radios.end(), [](HWND left, HWND right) {
        RECT a = {};
        RECT b = {};
        GetWindowRect(left, &a);
        GetWindowRect(right, &b);
        return a.top < b.top;
    });
    return radios;
}
