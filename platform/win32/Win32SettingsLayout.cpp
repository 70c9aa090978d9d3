// The flow layout of the settings pages (see Win32SettingsView.h). Sizes are
// in 96-DPI units and scaled to the system's DPI; text heights are measured
// with the page font, so nothing is cut off at any DPI.
#include "platform/win32/Win32SettingsView.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace {

constexpr int MARGIN = 10;
constexpr int GAP = 7;
constexpr int LABEL_COLUMN = 190;
constexpr int CHECK_BOX = 19;
constexpr int CHECK_MARK = 22;  // the box and its gap before the text
constexpr int COMBO = 23;
constexpr int COMBO_WIDTH = 280;
constexpr int DROP_DOWN = 220;
constexpr int EDIT = 22;
constexpr int TRACK = 30;
constexpr int TRACK_WIDTH = 260;
constexpr int VALUE_LABEL = 70;
constexpr int BUTTON = 25;
constexpr int BUTTON_WIDTH = 75;
constexpr int LIST = 200;
constexpr int FRAME_TOP = 20;
constexpr int FRAME_BOTTOM = 9;
constexpr int PANEL = 24;

}  // namespace

int cWin32SettingsView::Scale(int units) const
{
    return MulDiv(units, Dpi, 96);
}

int cWin32SettingsView::TextHeight(const std::string& text, int width) const
{
    HDC dc = GetDC(Window);
    HGDIOBJ old = SelectObject(dc, Font);
    RECT area = {0, 0, width, 0};
    // An empty text still takes a line, so that a text filled later fits.
    DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &area, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(Window, dc);
    return area.bottom - area.top;
}

int cWin32SettingsView::TextWidth(const std::string& text) const
{
    HDC dc = GetDC(Window);
    HGDIOBJ old = SelectObject(dc, Font);
    RECT area = {0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), -1, &area, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(Window, dc);
    return area.right - area.left;
}

int cWin32SettingsView::LayoutPage(size_t pageIndex)
{
    const int height = LayoutBlock(pageIndex, 0, Scale(MARGIN), Scale(MARGIN), PageWidth - 2 * Scale(MARGIN), true);
    PlacePanels(pageIndex);
    return height + 2 * Scale(MARGIN);
}

// The controls of one group (0: the page itself) from top to bottom; a row
// of buttons side by side, and a button right after an edit beside it.
int cWin32SettingsView::LayoutBlock(size_t pageIndex, uint16_t group, int left, int top, int width, bool shown)
{
    std::vector<cNative*> members;
    for (uint16_t id : PageControls[pageIndex]) {
        cNative& native = Controls[id];
        if (native.Control.Group == group && native.Control.Kind != eViewControlKind::DoubleClickPanel &&
            !native.Attached)
            members.push_back(&native);
    }
    int y = top;
    bool any = false;
    for (size_t index = 0; index < members.size(); ++index) {
        cNative& native = *members[index];
        const bool visible = shown && native.Shown;
        if (!visible) {
            PlaceControl(native, pageIndex, left, y, width, 0, false);
            continue;
        }
        if (any)
            y += Scale(GAP);
        any = true;
        // The buttons that follow on the same row.
        size_t last = index;
        while (last + 1 < members.size() && members[last + 1]->Shown &&
               members[last + 1]->Control.Kind == eViewControlKind::Button &&
               (native.Control.Kind == eViewControlKind::Button || native.Control.Kind == eViewControlKind::Edit))
            ++last;
        int rowButtons = 0;
        for (size_t next = index + 1; next <= last; ++next)
            rowButtons += std::max(Scale(BUTTON_WIDTH), TextWidth(members[next]->Control.Caption) + Scale(24)) +
                          Scale(GAP);
        int height = PlaceControl(native, pageIndex, left, y, width, rowButtons, true);
        int x = left + width - rowButtons + Scale(GAP);
        if (native.Control.Kind == eViewControlKind::Button) {
            RECT placed = {};
            GetWindowRect(native.Window, &placed);
            x = left + (placed.right - placed.left) + Scale(GAP);
        }
        for (size_t next = index + 1; next <= last; ++next) {
            const int buttonWidth = std::max(Scale(BUTTON_WIDTH), TextWidth(members[next]->Control.Caption) + Scale(24));
            height = std::max(height, PlaceControl(*members[next], pageIndex, x, y, buttonWidth, 0, true));
            x += buttonWidth + Scale(GAP);
        }
        index = last;
        y += height;
    }
    return y - top;
}

// Moves the control and its parts; returns the height it takes.
int cWin32SettingsView::PlaceControl(cNative& native, size_t pageIndex, int left, int top, int width,
                                     int reserveRight, bool shown)
{
    const int show = shown ? SW_SHOW : SW_HIDE;
    ::ShowWindow(native.Window, show);
    // A borrowed label shows with its control, unless it is hidden itself.
    for (auto [part, id] : {std::pair{native.Label, native.Control.Buddy},
                            std::pair{native.ValueLabel, native.Control.ValueLabel}}) {
        if (part == nullptr)
            continue;
        auto label = Controls.find(id);
        const bool labelShown = id == 0 || label == Controls.end() || label->second.Shown;
        ::ShowWindow(part, shown && labelShown ? SW_SHOW : SW_HIDE);
    }
    for (HWND radio : native.Radios)
        ::ShowWindow(radio, show);
    const eViewControlKind kind = native.Control.Kind;
    if (kind == eViewControlKind::GroupBox) {
        const int inner = LayoutBlock(pageIndex, native.Control.Id, left + Scale(MARGIN), top + Scale(FRAME_TOP),
                                      width - 2 * Scale(MARGIN), shown);
        const int height = inner + Scale(FRAME_TOP) + Scale(FRAME_BOTTOM);
        MoveWindow(native.Window, left, top, width, height, FALSE);
        return height;
    }
    if (!shown)
        return 0;

    // The caption column of the labelled kinds.
    const bool labelled = native.Label != nullptr;
    const std::string labelText =
        native.BorrowedLabel ? Controls[native.Control.Buddy].State.Text : native.Control.Caption;
    const int labelWidth = labelled ? std::min(Scale(LABEL_COLUMN), width / 2) : 0;
    const int controlLeft = left + labelWidth;
    const int controlWidth = width - labelWidth - reserveRight;
    auto placeLabel = [&](int rowHeight) {
        if (!labelled)
            return rowHeight;
        const int textHeight = TextHeight(labelText, labelWidth - Scale(GAP));
        const int height = std::max(rowHeight, textHeight);
        MoveWindow(native.Label, left, top + (height - textHeight) / 2, labelWidth - Scale(GAP), textHeight, FALSE);
        return height;
    };

    switch (kind) {
    case eViewControlKind::Text: {
        // A status field sits in the control column beside its caption.
        const int textHeight = TextHeight(native.State.Text, controlWidth) + (native.Control.Framed ? Scale(4) : 0);
        const int height = placeLabel(textHeight);
        MoveWindow(native.Window, controlLeft, top + (height - textHeight) / 2, controlWidth, textHeight, FALSE);
        return height;
    }
    case eViewControlKind::CheckBox: {
        const int textWidth = width - Scale(CHECK_MARK);
        if (TextWidth(native.Control.Caption) <= textWidth) {
            MoveWindow(native.Window, left, top, width, Scale(CHECK_BOX), FALSE);
            return Scale(CHECK_BOX);
        }
        SetWindowLongPtrA(native.Window, GWL_STYLE, GetWindowLongPtrA(native.Window, GWL_STYLE) | BS_MULTILINE);
        const int height = std::max(Scale(CHECK_BOX), TextHeight(native.Control.Caption, textWidth) + Scale(4));
        MoveWindow(native.Window, left, top, width, height, FALSE);
        return height;
    }
    case eViewControlKind::ComboBox: {
        const int height = placeLabel(Scale(COMBO));
        // The height given to a drop-down list is that of its open list.
        MoveWindow(native.Window, controlLeft, top + (height - Scale(COMBO)) / 2,
                   std::min(controlWidth, Scale(COMBO_WIDTH)), Scale(DROP_DOWN), FALSE);
        return height;
    }
    case eViewControlKind::Edit: {
        const int height = placeLabel(Scale(EDIT));
        MoveWindow(native.Window, controlLeft, top + (height - Scale(EDIT)) / 2, controlWidth, Scale(EDIT), FALSE);
        return height;
    }
    case eViewControlKind::TrackBar: {
        const int height = placeLabel(Scale(TRACK));
        const int trackWidth = std::min(controlWidth - Scale(VALUE_LABEL), Scale(TRACK_WIDTH));
        MoveWindow(native.Window, controlLeft, top + (height - Scale(TRACK)) / 2, trackWidth, Scale(TRACK), FALSE);
        const int valueHeight = TextHeight("0", Scale(VALUE_LABEL));
        if (native.ValueLabel != nullptr)
            MoveWindow(native.ValueLabel, controlLeft + trackWidth + Scale(GAP), top + (height - valueHeight) / 2,
                   Scale(VALUE_LABEL), valueHeight, FALSE);
        return height;
    }
    case eViewControlKind::RadioGroup: {
        int y = top + Scale(FRAME_TOP);
        const int radioWidth = width - 2 * Scale(MARGIN);
        for (size_t item = 0; item < native.Radios.size(); ++item) {
            char text[512] = {};
            GetWindowTextA(native.Radios[item], text, sizeof text);
            int height = Scale(CHECK_BOX);
            if (TextWidth(text) > radioWidth - Scale(CHECK_MARK)) {
                SetWindowLongPtrA(native.Radios[item], GWL_STYLE,
                                  GetWindowLongPtrA(native.Radios[item], GWL_STYLE) | BS_MULTILINE);
                height = TextHeight(text, radioWidth - Scale(CHECK_MARK)) + Scale(4);
            }
            MoveWindow(native.Radios[item], left + Scale(MARGIN), y, radioWidth, height, FALSE);
            // Above the frame, which would otherwise hide them.
            SetWindowPos(native.Radios[item], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            y += height;
        }
        const int height = y - top + Scale(FRAME_BOTTOM);
        MoveWindow(native.Window, left, top, width, height, FALSE);
        SetWindowPos(native.Window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return height;
    }
    case eViewControlKind::ListView: {
        MoveWindow(native.Window, left, top, width, Scale(LIST), FALSE);
        // The first column takes what the others leave.
        int others = 0;
        for (size_t column = 1; column < native.Control.Columns.size(); ++column)
            others += static_cast<int>(SendMessageA(native.Window, LVM_GETCOLUMNWIDTH, static_cast<int>(column), 0));
        const int first = std::max(Scale(80), width - others - GetSystemMetrics(SM_CXVSCROLL) - Scale(6));
        SendMessageA(native.Window, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(first, 0));
        return Scale(LIST);
    }
    case eViewControlKind::Button: {
        const int buttonWidth = std::max(Scale(BUTTON_WIDTH), TextWidth(native.Control.Caption) + Scale(24));
        MoveWindow(native.Window, left, top, std::min(buttonWidth, width), Scale(BUTTON), FALSE);
        return Scale(BUTTON);
    }
    case eViewControlKind::GroupBox:
    case eViewControlKind::DoubleClickPanel:
        break;
    }
    return 0;
}

// The double-click panels sit unmarked in the page's lower right corner.
void cWin32SettingsView::PlacePanels(size_t pageIndex)
{
    RECT page = {};
    GetClientRect(Pages[pageIndex], &page);
    int right = page.right;
    for (uint16_t id : PageControls[pageIndex]) {
        cNative& native = Controls[id];
        if (native.Control.Kind != eViewControlKind::DoubleClickPanel)
            continue;
        MoveWindow(native.Window, right - Scale(PANEL), page.bottom - Scale(PANEL), Scale(PANEL), Scale(PANEL), FALSE);
        ::ShowWindow(native.Window, native.Shown ? SW_SHOW : SW_HIDE);
        right -= Scale(PANEL);
    }
}

// The tab control around pages of this size, the host around it, and the
// main window around the host, with a frame that keeps this size.
void cWin32SettingsView::FitWindow(int pageWidth, int pageHeight)
{
    PageHeight = pageHeight;
    const int margin = Scale(MARGIN);
    RECT tab = {0, 0, pageWidth, pageHeight};
    SendMessageA(Tab, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&tab));
    const int tabWidth = tab.right - tab.left;
    const int tabHeight = tab.bottom - tab.top;
    MoveWindow(Tab, margin, margin, tabWidth, tabHeight, FALSE);
    PageArea = {0, 0, tabWidth, tabHeight};
    SendMessageA(Tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&PageArea));
    OffsetRect(&PageArea, margin, margin);
    for (HWND page : Pages)
        MoveWindow(page, PageArea.left, PageArea.top, PageArea.right - PageArea.left, PageArea.bottom - PageArea.top,
                   FALSE);
    for (size_t index = 0; index < Pages.size(); ++index)
        PlacePanels(index);
    const int hostWidth = tabWidth + 2 * margin;
    const int hostHeight = tabHeight + 2 * margin;
    MoveWindow(Host, 0, 0, hostWidth, hostHeight, TRUE);
    ::ShowWindow(Host, SW_SHOW);

    const LONG_PTR style = (GetWindowLongPtrA(Window, GWL_STYLE) & ~(WS_THICKFRAME | WS_MAXIMIZEBOX));
    SetWindowLongPtrA(Window, GWL_STYLE, style);
    RECT frame = {0, 0, hostWidth, hostHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(style), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(Window, GWL_EXSTYLE)));
    SetWindowPos(Window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(Window, nullptr, TRUE);
}

void cWin32SettingsView::RelayoutPages()
{
    int height = PageHeight;
    for (size_t index = 0; index < Pages.size(); ++index)
        height = std::max(height, LayoutPage(index));
    if (height > PageHeight)
        FitWindow(PageWidth, height);
    for (HWND page : Pages)
        InvalidateRect(page, nullptr, TRUE);
}
