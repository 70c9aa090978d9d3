#pragma once
#include "platform/SettingsView.h"
#include "platform/win32/Win32.h"

#include <map>
#include <string>
#include <vector>

// The settings pages as native common controls (version 6 through the
// program's manifest, so they draw with the visual styles).
//
// Inside the main window a host child window (an empty dialog, so that the
// tab key moves between controls) holds the tab control and one child
// dialog per visible page; the controls are children of their page, which
// turns their notifications (WM_COMMAND, WM_NOTIFY, WM_HSCROLL) into calls
// of the listener. Layout is a flow per page in 96-DPI units, scaled to the
// system's DPI: a label column and a control column, texts wrapped to the
// page's width, group boxes around their controls. The main window gets the
// size of the largest page and a fixed frame.
class cWin32SettingsView final : public cSettingsView {
public:
    // The window and the listener must outlive the view.
    cWin32SettingsView(HWND window, cSettingsViewListener& listener);
    ~cWin32SettingsView() override;
    cWin32SettingsView(const cWin32SettingsView&) = delete;
    cWin32SettingsView& operator=(const cWin32SettingsView&) = delete;

    void SetPages(const std::vector<cViewPage>& pages, const std::string& fontName) override;
    void SetState(uint16_t id, const cViewControlState& state) override;
    void SelectPage(size_t visibleIndex) override;
    std::string SelectedPage() const override;
    // SHBrowseForFolder, owned by the main window.
    bool ChooseFolder(const std::string& prompt, const std::string& start, std::string& folder) override;

    // One native control and what it shows.
    struct cNative {
        cViewControl Control;
        HWND Page = nullptr;
        HWND Window = nullptr;      // the control itself; the frame of a radio group
        HWND Label = nullptr;       // the caption before a combo box, edit or track bar
        HWND ValueLabel = nullptr;  // a track bar's value
        // Label and ValueLabel are another control's (Buddy, ValueLabel),
        // not this one's own.
        bool BorrowedLabel = false;
        bool BorrowedValueLabel = false;
        // Placed beside another control, not in the flow.
        bool Attached = false;
        std::vector<HWND> Radios;
        ATOM NameAtom = 0;
        cViewControlState State;
        HBRUSH Brush = nullptr;  // of State.Colour
        bool Shown = true;
    };

    // Called by the dialog procedure of the host and the pages.
    bool OnDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

private:
    void DestroyPages();
    HWND CreatePageDialog(HWND parent);
    void AttachLabels();
    void CreateControl(HWND page, const cViewControl& control);
    HWND CreateChild(HWND page, const char* className, const std::string& text, DWORD style, uint16_t id,
                     DWORD extendedStyle = 0);
    void CreateRadios(cNative& native, const std::vector<std::string>& items);
    void AddHint(HWND control, const std::string& hint);
    void ShowSelectedPage();
    void ApplyState(cNative& native, const cViewControlState& state);
    void FillRows(cNative& native, const cViewControlState& state);
    bool NeedsRelayout(const cNative& native) const;
    cNative* FindByWindow(HWND window);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    bool OnNotify(LPARAM lParam, INT_PTR& result);
    void OnScroll(LPARAM lParam);
    bool OnStaticColour(HDC dc, HWND control, INT_PTR& result);

    // Layout (Win32SettingsLayout.cpp).
    int Scale(int units) const;
    int TextHeight(const std::string& text, int width) const;
    int TextWidth(const std::string& text) const;
    // Lays the controls of a page out from the top; returns the height used.
    int LayoutPage(size_t pageIndex);
    int LayoutBlock(size_t pageIndex, uint16_t group, int left, int top, int width, bool shown);
    int PlaceControl(cNative& native, size_t pageIndex, int left, int top, int width, int reserveRight, bool shown);
    void PlacePanels(size_t pageIndex);
    void FitWindow(int pageWidth, int pageHeight);
    // After a control appeared, disappeared or changed its items; the
    // window grows when a page needs more room.
    void RelayoutPages();

    HWND Window;
    cSettingsViewListener& Listener;
    HWND Host = nullptr;
    HWND Tab = nullptr;
    HWND Tooltip = nullptr;
    HFONT Font = nullptr;
    int Dpi = 96;
    int PageWidth = 0;   // scaled
    int PageHeight = 0;  // scaled
    RECT PageArea = {};  // in the host's client coordinates
    // Of the visible pages, in tab order.
    std::vector<HWND> Pages;
    std::vector<std::string> Captions;
    std::vector<std::vector<uint16_t>> PageControls;
    std::map<uint16_t, cNative> Controls;
    // Set while the logic's changes are applied: the notifications they
    // cause are not the user's.
    bool Applying = false;
};
