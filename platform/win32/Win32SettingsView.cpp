#include "platform/win32/Win32SettingsView.h"

#include "platform/win32/Win32Callbacks.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <exception>

namespace {

// The window property that carries a control's name as a global atom, so
// that a test driver in another process finds the control by name.
constexpr const char* NAME_PROPERTY = "SlhName";

// The state images of a list view's check boxes: 1 cleared, 2 ticked.
constexpr UINT CHECKED_IMAGE = 2;

INT_PTR CALLBACK ViewDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return FALSE;
    }
    auto* view = reinterpret_cast<cWin32SettingsView*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (view == nullptr)
        return FALSE;
    try {
        INT_PTR result = 0;
        if (view->OnDialogMessage(dialog, message, wParam, lParam, result))
            return result;
    } catch (...) {
        // Rethrown by the platform call during which Windows called us.
        StoreCallbackException(std::current_exception());
    }
    return FALSE;
}

// The pages draw on the tab control's texture where visual styles are on;
// uxtheme.dll is there from XP on, and the call is skipped without it.
void UseTabTexture(HWND page)
{
    using tEnableThemeDialogTexture = HRESULT(WINAPI*)(HWND, DWORD);
    constexpr DWORD ETDT_ENABLETAB_ = 0x6;
    HMODULE theme = GetModuleHandleA("uxtheme.dll");
    if (theme == nullptr)
        theme = LoadLibraryA("uxtheme.dll");
    if (theme == nullptr)
        return;
    auto enable = reinterpret_cast<tEnableThemeDialogTexture>(
        reinterpret_cast<void*>(GetProcAddress(theme, "EnableThemeDialogTexture")));
    if (enable != nullptr)
        enable(page, ETDT_ENABLETAB_);
}

COLORREF ToColorRef(uint32_t colour)
{
    return static_cast<COLORREF>(colour & 0x00FFFFFF);
}

// System colours (0x80000000 + index) and the default leave the page's own
// background, which is the tab's texture under visual styles.
bool IsOwnColour(uint32_t colour)
{
    return (colour & 0xFF000000) == 0;
}

}  // namespace

cWin32SettingsView::cWin32SettingsView(HWND window, cSettingsViewListener& listener)
    : Window(window), Listener(listener)
{
    INITCOMMONCONTROLSEX classes = {};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&classes);
    HDC screen = GetDC(nullptr);
    Dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (Dpi <= 0)
        Dpi = 96;
    // The tab key moves through the controls of the nested dialogs.
    SetWindowLongPtrA(Window, GWL_EXSTYLE, GetWindowLongPtrA(Window, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
}

cWin32SettingsView::~cWin32SettingsView()
{
    DestroyPages();
    if (Host != nullptr)
        ::DestroyWindow(Host);
    if (Tooltip != nullptr)
        ::DestroyWindow(Tooltip);
    if (Font != nullptr)
        DeleteObject(Font);
}

void cWin32SettingsView::DestroyPages()
{
    for (auto& [id, native] : Controls) {
        if (native.NameAtom != 0) {
            RemovePropA(native.Window, NAME_PROPERTY);
            GlobalDeleteAtom(native.NameAtom);
        }
        if (native.Brush != nullptr)
            DeleteObject(native.Brush);
    }
    Controls.clear();
    for (HWND page : Pages)
        ::DestroyWindow(page);
    Pages.clear();
    Captions.clear();
    PageControls.clear();
    if (Tab != nullptr)
        SendMessageA(Tab, TCM_DELETEALLITEMS, 0, 0);
}

// An empty dialog as a child: the dialog manager gives it keyboard
// navigation and, with the tab texture, the themed background.
HWND cWin32SettingsView::CreatePageDialog(HWND parent)
{
    alignas(4) WORD buffer[16] = {};
    DLGTEMPLATE dialog = {};
    dialog.style = DS_CONTROL | WS_CHILD | WS_CLIPCHILDREN;
    dialog.dwExtendedStyle = WS_EX_CONTROLPARENT;
    std::memcpy(buffer, &dialog, sizeof dialog);  // menu, class and title stay 0
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(buffer), parent,
                                      &ViewDialogProcedure, reinterpret_cast<LPARAM>(this));
}

HWND cWin32SettingsView::CreateChild(HWND page, const char* className, const std::string& text, DWORD style,
                                     uint16_t id, DWORD extendedStyle)
{
    HWND child = CreateWindowExA(extendedStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                 page, reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    if (child != nullptr)
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    return child;
}

void cWin32SettingsView::SetPages(const std::vector<cViewPage>& pages, const std::string& fontName)
{
    const std::string selected = SelectedPage();
    Applying = true;
    DestroyPages();
    if (Font != nullptr)
        DeleteObject(Font);
    // 9 points is the size of the system's dialogs with Segoe UI, 8 with
    // the older faces.
    const int points = fontName == "Segoe UI" ? 9 : 8;
    Font = CreateFontA(-MulDiv(points, Dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                       fontName.c_str());
    if (Host == nullptr) {
        Host = CreatePageDialog(Window);
        Tab = CreateChild(Host, WC_TABCONTROLA, "", WS_TABSTOP | WS_CLIPSIBLINGS, 0);
        Tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                  Window, nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(Tooltip, TTM_SETMAXTIPWIDTH, 0, Scale(400));
    }
    SendMessageA(Tab, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    // A single row of tabs, however many pages there are.
    for (const cViewPage& page : pages) {
        if (!page.Visible)
            continue;
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(page.Caption.c_str());
        SendMessageA(Tab, TCM_INSERTITEMA, Captions.size(), reinterpret_cast<LPARAM>(&item));
        Captions.push_back(page.Caption);
    }
    RECT last = {};
    if (!Captions.empty())
        SendMessageA(Tab, TCM_GETITEMRECT, Captions.size() - 1, reinterpret_cast<LPARAM>(&last));
    PageWidth = std::max(Scale(540), static_cast<int>(last.right) + Scale(16));

    for (const cViewPage& page : pages) {
        if (!page.Visible)
            continue;
        HWND pageWindow = CreatePageDialog(Host);
        UseTabTexture(pageWindow);
        Pages.push_back(pageWindow);
        PageControls.emplace_back();
        for (const cViewControl& control : page.Controls) {
            CreateControl(pageWindow, control);
            PageControls.back().push_back(control.Id);
        }
    }
    AttachLabels();
    PageHeight = 0;
    int pageHeight = Scale(120);
    for (size_t index = 0; index < Pages.size(); ++index)
        pageHeight = std::max(pageHeight, LayoutPage(index));
    FitWindow(PageWidth, pageHeight);

    size_t keep = 0;
    for (size_t index = 0; index < Captions.size(); ++index)
        if (Captions[index] == selected)
            keep = index;
    Applying = false;
    SelectPage(keep);
}

void cWin32SettingsView::CreateControl(HWND page, const cViewControl& control)
{
    cNative& native = Controls[control.Id];
    native.Control = control;
    native.Page = page;
    const uint16_t id = control.Id;
    switch (control.Kind) {
    case eViewControlKind::Text:
        native.Window = CreateChild(page, "STATIC", control.Caption,
                                    SS_LEFT | SS_NOPREFIX | (control.Framed ? SS_SUNKEN : 0), id);
        native.State.Text = control.Caption;
        break;
    case eViewControlKind::CheckBox:
        native.Window = CreateChild(page, "BUTTON", control.Caption, BS_AUTOCHECKBOX | WS_TABSTOP, id);
        break;
    case eViewControlKind::ComboBox:
        if (!control.Caption.empty())
            native.Label = CreateChild(page, "STATIC", control.Caption, SS_LEFT | SS_NOPREFIX, 0);
        native.Window = CreateChild(page, WC_COMBOBOXA, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, id);
        for (const std::string& item : control.Items)
            SendMessageA(native.Window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        native.State.Items = control.Items;
        native.State.Value = -1;
        break;
    case eViewControlKind::TrackBar:
        if (!control.Caption.empty())
            native.Label = CreateChild(page, "STATIC", control.Caption, SS_LEFT | SS_NOPREFIX, 0);
        native.Window = CreateChild(page, TRACKBAR_CLASSA, "", TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP, id);
        if (control.ValueLabel == 0)
            native.ValueLabel = CreateChild(page, "STATIC", "", SS_LEFT | SS_NOPREFIX, 0);
        SendMessageA(native.Window, TBM_SETRANGEMIN, FALSE, control.Minimum);
        SendMessageA(native.Window, TBM_SETRANGEMAX, TRUE, control.Maximum);
        SendMessageA(native.Window, TBM_SETTICFREQ, control.Maximum - control.Minimum > 60 ? 10 : 1, 0);
        native.State.Value = control.Minimum;
        break;
    case eViewControlKind::RadioGroup:
        native.Window = CreateChild(page, "BUTTON", control.Caption, BS_GROUPBOX, id);
        native.State.Value = -1;
        CreateRadios(native, control.Items);
        break;
    case eViewControlKind::GroupBox:
        native.Window = CreateChild(page, "BUTTON", control.Caption, BS_GROUPBOX, id);
        break;
    case eViewControlKind::ListView:
        native.Window = CreateChild(page, WC_LISTVIEWA, "",
                                    LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_TABSTOP,
                                    id, WS_EX_CLIENTEDGE);
        SendMessageA(native.Window, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
        for (size_t column = 0; column < control.Columns.size(); ++column) {
            LVCOLUMNA item = {};
            item.mask = LVCF_TEXT | LVCF_WIDTH;
            item.pszText = const_cast<char*>(control.Columns[column].c_str());
            item.cx = Scale(column == 0 ? 300 : 85);
            SendMessageA(native.Window, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&item));
        }
        break;
    case eViewControlKind::Edit:
        if (!control.Caption.empty())
            native.Label = CreateChild(page, "STATIC", control.Caption, SS_LEFT | SS_NOPREFIX, 0);
        native.Window = CreateChild(page, "EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, id, WS_EX_CLIENTEDGE);
        break;
    case eViewControlKind::Button:
        native.Window = CreateChild(page, "BUTTON", control.Caption, BS_PUSHBUTTON | WS_TABSTOP, id);
        break;
    case eViewControlKind::DoubleClickPanel:
        native.Window = CreateChild(page, "STATIC", "", SS_NOTIFY, id);
        break;
    }
    if (native.Window == nullptr)
        return;
    native.NameAtom = GlobalAddAtomA(control.Name.c_str());
    if (native.NameAtom != 0)
        SetPropA(native.Window, NAME_PROPERTY, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(native.NameAtom)));
    AddHint(native.Window, control.Hint);
}

// A combo box's, edit's or track bar's caption and value may be labels of
// their own: those move beside it and leave the flow.
void cWin32SettingsView::AttachLabels()
{
    for (auto& [id, native] : Controls) {
        for (auto [labelId, target, borrowed] :
             {std::tuple{native.Control.Buddy, &native.Label, &native.BorrowedLabel},
              std::tuple{native.Control.ValueLabel, &native.ValueLabel, &native.BorrowedValueLabel}}) {
            auto label = Controls.find(labelId);
            if (labelId == 0 || label == Controls.end() || label->second.Page != native.Page)
                continue;
            if (*target != nullptr && !*borrowed)
                ::DestroyWindow(*target);
            *target = label->second.Window;
            *borrowed = true;
            label->second.Attached = true;
        }
    }
}

void cWin32SettingsView::CreateRadios(cNative& native, const std::vector<std::string>& items)
{
    for (HWND radio : native.Radios)
        ::DestroyWindow(radio);
    native.Radios.clear();
    // Not automatic: the logic decides which item shows as chosen.
    for (size_t item = 0; item < items.size(); ++item)
        native.Radios.push_back(CreateChild(native.Page, "BUTTON", items[item],
                                            BS_RADIOBUTTON | (item == 0 ? WS_GROUP | WS_TABSTOP : 0), 0));
}

void cWin32SettingsView::AddHint(HWND control, const std::string& hint)
{
    if (hint.empty() || Tooltip == nullptr)
        return;
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(hint.c_str());
    SendMessageA(Tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void cWin32SettingsView::SelectPage(size_t visibleIndex)
{
    if (visibleIndex >= Pages.size())
        return;
    SendMessageA(Tab, TCM_SETCURSEL, visibleIndex, 0);
    ShowSelectedPage();
}

std::string cWin32SettingsView::SelectedPage() const
{
    if (Tab == nullptr)
        return std::string();
    const int selected = static_cast<int>(SendMessageA(Tab, TCM_GETCURSEL, 0, 0));
    if (selected < 0 || static_cast<size_t>(selected) >= Captions.size())
        return std::string();
    return Captions[static_cast<size_t>(selected)];
}

void cWin32SettingsView::ShowSelectedPage()
{
    const int selected = static_cast<int>(SendMessageA(Tab, TCM_GETCURSEL, 0, 0));
    for (size_t index = 0; index < Pages.size(); ++index) {
        const bool show = static_cast<int>(index) == selected;
        if (show)
            SetWindowPos(Pages[index], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ::ShowWindow(Pages[index], show ? SW_SHOW : SW_HIDE);
    }
}

void cWin32SettingsView::SetState(uint16_t id, const cViewControlState& state)
{
    auto found = Controls.find(id);
    if (found == Controls.end())
        return;
    Applying = true;
    try {
        ApplyState(found->second, state);
    } catch (...) {
        Applying = false;
        throw;
    }
    Applying = false;
    RethrowCallbackException();
}

void cWin32SettingsView::ApplyState(cNative& native, const cViewControlState& state)
{
    HWND control = native.Window;
    if (control == nullptr)
        return;
    const cViewControlState old = native.State;
    native.State = state;
    switch (native.Control.Kind) {
    case eViewControlKind::Text:
    case eViewControlKind::Edit:
        if (state.Text != old.Text || native.Control.Kind == eViewControlKind::Text) {
            // An edit keeps its caret when the text comes back unchanged.
            char current[1024] = {};
            GetWindowTextA(control, current, sizeof current);
            if (state.Text != current)
                SetWindowTextA(control, state.Text.c_str());
        }
        if (native.Control.Kind == eViewControlKind::Text && state.Text != old.Text && NeedsRelayout(native))
            RelayoutPages();
        break;
    case eViewControlKind::CheckBox:
        if (!state.Text.empty())
            SetWindowTextA(control, state.Text.c_str());
        SendMessageA(control, BM_SETCHECK, state.Value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case eViewControlKind::ComboBox:
        if (state.Items != old.Items || SendMessageA(control, CB_GETCOUNT, 0, 0) != static_cast<LRESULT>(state.Items.size())) {
            SendMessageA(control, CB_RESETCONTENT, 0, 0);
            for (const std::string& item : state.Items)
                SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(state.Value), 0);
        break;
    case eViewControlKind::TrackBar:
        SendMessageA(control, TBM_SETPOS, TRUE, state.Value);
        if (!native.BorrowedValueLabel && native.ValueLabel != nullptr)
            SetWindowTextA(native.ValueLabel, state.Text.c_str());
        break;
    case eViewControlKind::RadioGroup:
        if (!state.Items.empty() && state.Items != old.Items) {
            CreateRadios(native, state.Items);
            RelayoutPages();
        }
        for (size_t item = 0; item < native.Radios.size(); ++item)
            SendMessageA(native.Radios[item], BM_SETCHECK,
                         static_cast<int>(item) == state.Value ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case eViewControlKind::ListView:
        FillRows(native, state);
        break;
    case eViewControlKind::Button:
    case eViewControlKind::GroupBox:
        if (!state.Text.empty())
            SetWindowTextA(control, state.Text.c_str());
        break;
    case eViewControlKind::DoubleClickPanel:
        break;
    }
    EnableWindow(control, state.Enabled);
    if (native.Label != nullptr && !native.BorrowedLabel)
        EnableWindow(native.Label, state.Enabled);
    if (native.ValueLabel != nullptr && !native.BorrowedValueLabel)
        EnableWindow(native.ValueLabel, state.Enabled);
    for (HWND radio : native.Radios)
        EnableWindow(radio, state.Enabled);
    if (state.Colour != old.Colour) {
        if (native.Brush != nullptr)
            DeleteObject(native.Brush);
        native.Brush = IsOwnColour(state.Colour) ? CreateSolidBrush(ToColorRef(state.Colour)) : nullptr;
        InvalidateRect(control, nullptr, TRUE);
    }
    if (state.Visible != native.Shown) {
        native.Shown = state.Visible;
        RelayoutPages();
    }
}

void cWin32SettingsView::FillRows(cNative& native, const cViewControlState& state)
{
    HWND list = native.Window;
    const DWORD styles = state.RowCheckBoxes ? LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES : LVS_EX_FULLROWSELECT;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, styles);
    const auto rows = static_cast<size_t>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    if (rows != state.Rows.size()) {
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        for (size_t row = 0; row < state.Rows.size(); ++row) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(row);
            item.pszText = const_cast<char*>(state.Rows[row].Text.c_str());
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    for (size_t row = 0; row < state.Rows.size(); ++row) {
        const int index = static_cast<int>(row);
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = const_cast<char*>(state.Rows[row].Text.c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        if (state.RowCheckBoxes) {
            LVITEMA check = {};
            check.stateMask = LVIS_STATEIMAGEMASK;
            check.state = INDEXTOSTATEIMAGEMASK(state.Rows[row].Checked ? CHECKED_IMAGE : 1);
            SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&check));
        }
    }
    InvalidateRect(list, nullptr, TRUE);
}

// A text that now takes more or fewer lines than its place has.
bool cWin32SettingsView::NeedsRelayout(const cNative& native) const
{
    if (native.Attached)
        return false;
    RECT area = {};
    GetWindowRect(native.Window, &area);
    const int width = area.right - area.left;
    const int frame = native.Control.Framed ? Scale(4) : 0;
    return width > 0 && TextHeight(native.State.Text, width) + frame != area.bottom - area.top;
}

cWin32SettingsView::cNative* cWin32SettingsView::FindByWindow(HWND window)
{
    for (auto& [id, native] : Controls) {
        if (native.Window == window)
            return &native;
        for (HWND radio : native.Radios)
            if (radio == window)
                return &native;
    }
    return nullptr;
}

bool cWin32SettingsView::OnDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    switch (message) {
    case WM_COMMAND:
        if (!Applying)
            OnCommand(wParam, lParam);
        result = TRUE;
        return true;
    case WM_NOTIFY:
        if (OnNotify(lParam, result)) {
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
            result = TRUE;
            return true;
        }
        return false;
    case WM_HSCROLL:
        if (!Applying)
            OnScroll(lParam);
        result = TRUE;
        return true;
    case WM_CTLCOLORSTATIC:
        return OnStaticColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), result);
    default:
        return false;
    }
}

void cWin32SettingsView::OnCommand(WPARAM wParam, LPARAM lParam)
{
    HWND control = reinterpret_cast<HWND>(lParam);
    const UINT code = HIWORD(wParam);
    cNative* native = FindByWindow(control);
    if (native == nullptr)
        return;
    const uint16_t id = native->Control.Id;
    switch (native->Control.Kind) {
    case eViewControlKind::CheckBox:
        if (code == BN_CLICKED)
            Listener.OnValueChanged(id, SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
        break;
    case eViewControlKind::RadioGroup:
        if (code == BN_CLICKED) {
            for (size_t item = 0; item < native->Radios.size(); ++item)
                if (native->Radios[item] == control && static_cast<int>(item) != native->State.Value)
                    Listener.OnValueChanged(id, static_cast<int>(item));
        }
        break;
    case eViewControlKind::ComboBox:
        if (code == CBN_SELCHANGE)
            Listener.OnValueChanged(id, static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0)));
        break;
    case eViewControlKind::Edit:
        if (code == EN_CHANGE) {
            const int length = GetWindowTextLengthA(control);
            std::string text(static_cast<size_t>(length) + 1, '\0');
            GetWindowTextA(control, text.data(), length + 1);
            text.resize(static_cast<size_t>(length));
            if (text != native->State.Text)
                Listener.OnTextChanged(id, text);
        }
        break;
    case eViewControlKind::Button:
        if (code == BN_CLICKED)
            Listener.OnButtonPressed(id);
        break;
    case eViewControlKind::DoubleClickPanel:
        if (code == STN_DBLCLK)
            Listener.OnDoubleClicked(id);
        break;
    default:
        break;
    }
}

bool cWin32SettingsView::OnNotify(LPARAM lParam, INT_PTR& result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom == Tab) {
        if (header->code == TCN_SELCHANGE)
            ShowSelectedPage();
        return false;
    }
    cNative* native = FindByWindow(header->hwndFrom);
    if (native == nullptr || native->Control.Kind != eViewControlKind::ListView)
        return false;
    if (header->code == LVN_ITEMCHANGED && !Applying) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        const UINT oldImage = (change->uOldState & LVIS_STATEIMAGEMASK) >> 12;
        const UINT newImage = (change->uNewState & LVIS_STATEIMAGEMASK) >> 12;
        if ((change->uChanged & LVIF_STATE) != 0 && oldImage != 0 && newImage != oldImage && change->iItem >= 0 &&
            native->State.RowCheckBoxes)
            Listener.OnRowChecked(native->Control.Id, static_cast<size_t>(change->iItem), newImage == CHECKED_IMAGE);
        return false;
    }
    if (header->code == NM_CUSTOMDRAW) {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
            return true;
        }
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            const size_t row = draw->nmcd.dwItemSpec;
            if (row < native->State.Rows.size() && native->State.Rows[row].Greyed)
                draw->clrText = GetSysColor(COLOR_GRAYTEXT);
            result = CDRF_DODEFAULT;
            return true;
        }
    }
    return false;
}

void cWin32SettingsView::OnScroll(LPARAM lParam)
{
    cNative* native = FindByWindow(reinterpret_cast<HWND>(lParam));
    if (native == nullptr || native->Control.Kind != eViewControlKind::TrackBar)
        return;
    const int position = static_cast<int>(SendMessageA(native->Window, TBM_GETPOS, 0, 0));
    if (position != native->State.Value)
        Listener.OnValueChanged(native->Control.Id, position);
}

bool cWin32SettingsView::OnStaticColour(HDC dc, HWND control, INT_PTR& result)
{
    cNative* native = FindByWindow(control);
    if (native == nullptr || native->Brush == nullptr)
        return false;
    SetBkColor(dc, ToColorRef(native->State.Colour));
    result = reinterpret_cast<INT_PTR>(native->Brush);
    return true;
}

namespace {

int CALLBACK StartInFolder(HWND dialog, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data != 0)
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

}  // namespace

bool cWin32SettingsView::ChooseFolder(const std::string& prompt, const std::string& start, std::string& folder)
{
    // The dialog's tree is a shell object: COM on this thread while it is open.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    BROWSEINFOA browse = {};
    browse.hwndOwner = Window;
    browse.lpszTitle = prompt.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = &StartInFolder;
    browse.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&browse);
    bool done = false;
    if (chosen != nullptr) {
        char path[MAX_PATH] = {};
        done = SHGetPathFromIDListA(chosen, path) != 0;
        if (done)
            folder = path;
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    RethrowCallbackException();
    return done;
}
