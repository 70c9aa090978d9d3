#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The native face of the settings window: a tab control of pages holding
// common controls. It only shows what it is told and reports what the user
// did; which value a control shows and what a change means is decided by
// the logic (configurator/).

enum class eViewControlKind : uint8_t {
    Text,        // a static text, wrapped to the page's width; Framed draws it sunken
    CheckBox,
    ComboBox,    // a drop-down list; Caption labels it
    TrackBar,    // Caption labels it; the state's Text is its value label
    RadioGroup,  // a group box of radio buttons; Caption is the group's title
    ListView,    // a report list, with check boxes when the state asks
    Edit,        // a one-line edit; Caption labels it
    Button,
    GroupBox,    // a frame; controls name it as their Group
    DoubleClickPanel,  // an unmarked area that reports double clicks
};

// Background colour of a text in the Windows form (0x00BBGGRR); this value
// leaves the page's own background.
constexpr uint32_t VIEW_DEFAULT_COLOUR = 0xFFFFFFFF;

struct cViewControl {
    uint16_t Id = 0;  // the native control id: stable, so that test drivers find it
    std::string Name;
    eViewControlKind Kind = eViewControlKind::Text;
    std::string Caption;
    std::string Hint;
    uint16_t Group = 0;  // the id of the GroupBox it sits in, 0 for the page itself
    // A Text shown in the label column beside this control instead of a
    // caption of its own, and a Text shown right of a track bar as its
    // value; 0 for none. Both are controls of the same page.
    uint16_t Buddy = 0;
    uint16_t ValueLabel = 0;
    bool Framed = false;
    int Minimum = 0;     // track bar range
    int Maximum = 0;
    // The fixed items of a radio group, the first items of a combo box.
    std::vector<std::string> Items;
    std::vector<std::string> Columns;  // list view column titles
};

struct cViewPage {
    std::string Caption;  // as the tab shows it ("&&" shows one ampersand)
    bool Visible = true;
    std::vector<cViewControl> Controls;
};

struct cViewListItem {
    std::string Text;
    bool Checked = false;
    bool Greyed = false;
};

// What one control shows at the moment.
struct cViewControlState {
    bool Visible = true;
    bool Enabled = true;
    // A static's or edit's text, a track bar's value label, a changed
    // caption of any other kind; empty keeps the caption for those.
    std::string Text;
    // Check box: 0 or 1; combo box and radio group: the selected item, -1
    // for none; track bar: the position.
    int Value = 0;
    // Combo box items, in order; a radio group keeps its fixed items when
    // this is empty.
    std::vector<std::string> Items;
    // List view rows, and whether they carry check boxes.
    std::vector<cViewListItem> Rows;
    bool RowCheckBoxes = false;
    uint32_t Colour = VIEW_DEFAULT_COLOUR;
};

// What the user did, reported by control id. Changes the logic makes
// through SetState are never reported back.
class cSettingsViewListener {
public:
    virtual ~cSettingsViewListener() = default;

    // A check box ticked (1) or cleared (0), a combo or radio item chosen
    // (its index), a track bar moved (its position).
    virtual void OnValueChanged(uint16_t id, int value) = 0;
    // The text of an edit changed (each keystroke).
    virtual void OnTextChanged(uint16_t id, const std::string& text) = 0;
    virtual void OnButtonPressed(uint16_t id) = 0;
    // A row's check box of a list view ticked or cleared.
    virtual void OnRowChecked(uint16_t id, size_t row, bool checked) = 0;
    virtual void OnDoubleClicked(uint16_t id) = 0;
};

// The pages and controls inside the settings window; created by the
// windowing of the platform for the window and destroyed before it.
class cSettingsView {
public:
    virtual ~cSettingsView() = default;

    // Builds the tab control anew from the pages (only the visible ones get
    // a tab), in the font named, and sizes the window to hold the largest
    // page. The selected page is kept when it is still visible.
    virtual void SetPages(const std::vector<cViewPage>& pages, const std::string& fontName) = 0;
    virtual void SetState(uint16_t id, const cViewControlState& state) = 0;
    // The tab with this index among the visible pages.
    virtual void SelectPage(size_t visibleIndex) = 0;
    // The caption of the selected tab; empty when there is none.
    virtual std::string SelectedPage() const = 0;
    // The system's folder dialog with the prompt, starting at the folder
    // start; false when the user cancelled.
    virtual bool ChooseFolder(const std::string& prompt, const std::string& start, std::string& folder) = 0;
};
