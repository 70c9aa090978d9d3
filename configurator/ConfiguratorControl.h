#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What a control of the settings window is; the view draws each kind with
// its native counterpart.
enum class eControlKind {
    Label,         // shows its Caption; Colour applies
    StaticText,    // a framed Caption that the pages set (status fields); Colour applies
    CheckBox,      // Checked
    ComboBox,      // Items with values, ItemIndex
    TrackBar,      // Min, Max, Position; ValueLabel names the label that shows the value
    RadioGroup,    // Items (their values are the page's business), ItemIndex
    ListView,      // Rows; with CheckBoxes the user ticks rows
    LabeledEdit,   // Caption above an edit field holding Text
    Button,        // Caption; pressed
    FolderPicker,  // a button (Caption): the view asks for a folder with Prompt, starting at
                   // Text, and hands the chosen one back as the control's new Text
    Panel,         // hidden double-click area
};

// One entry of a combo box or a radio group.
struct cControlItem {
    std::string Text;
    int32_t Value = 0;
};

// One row of a list view.
struct cListRow {
    std::vector<std::string> Cells;
    bool HasCheckBox = false;
    bool Checked = false;
    // Shown greyed (a row the user cannot change).
    bool Greyed = false;
};

// Colours as 0x00BBGGRR, or a system colour with the high bit set (see
// shell/StatusDisplay.h); COLOUR_DEFAULT leaves the view's own.
constexpr uint32_t COLOUR_DEFAULT = 0xFFFFFFFF;

// A control of the settings window: its name, kind, texts, state and the
// handler its page gives it. The view mirrors these fields and reports user
// changes to the model (cConfiguratorModel), never to the control itself.
struct cControl {
    std::string Name;
    // Stable: the Win32 view uses it as the control id and tests find the
    // control by it (ControlIdFor).
    uint16_t Id = 0;
    eControlKind Kind = eControlKind::Label;
    std::string Caption;
    std::string Hint;
    bool Visible = true;
    bool Enabled = true;
    uint32_t Colour = COLOUR_DEFAULT;

    // The value, by kind.
    bool Checked = false;
    std::string Text;
    std::vector<cControlItem> Items;
    int ItemIndex = -1;
    int32_t Min = 0;
    int32_t Max = 10;
    int32_t Position = 0;
    std::string ValueLabel;
    std::string Prompt;
    std::vector<std::string> Columns;
    std::vector<int> ColumnWidths;  // 0: automatic
    std::vector<cListRow> Rows;
    bool CheckBoxes = false;
    // The row the user ticked or unticked last (list views).
    int ChangedRow = -1;

    // Layout: a label that belongs to this control (shown beside it).
    std::string Buddy;

    // Change handling (cConfiguratorModel::Change): the administrator check
    // guards the write; Finish replaces the refresh that normally follows.
    bool Admin = false;
    std::function<void()> OnChange;
    std::function<void()> Finish;

    // Helpers for combo boxes and radio groups.
    int32_t SelectedValue(int32_t none = -1) const;
    // Selects the item with the value; false (and nothing selected) when
    // there is none.
    bool SelectValue(int32_t value);
    int IndexOfText(const std::string& text) const;
};

// The id of a control or page by its name. Names made of a known kind and a
// number ("CheckBox20", "TabSheet8") map to a fixed range per kind; other
// names ("Standby", "Extender") to a hash above them. The model refuses a
// second control with the same id, so a clash shows in the first test.
uint16_t ControlIdFor(const std::string& name);
