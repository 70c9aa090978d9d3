#include "platform/sim/SimSettingsView.h"

#include <algorithm>

void cSimSettingsView::SetPages(const std::vector<cViewPage>& pages, const std::string& fontName)
{
    const std::string selected = SelectedPage();
    Pages = pages;
    Font = fontName;
    for (const cViewPage& page : Pages)
        for (const cViewControl& control : page.Controls)
            if (States.count(control.Id) == 0) {
                cViewControlState state;
                state.Items = control.Items;
                state.Text = control.Kind == eViewControlKind::Text ? control.Caption : std::string();
                state.Value = control.Kind == eViewControlKind::ComboBox || control.Kind == eViewControlKind::RadioGroup
                                  ? -1
                                  : control.Minimum;
                States[control.Id] = state;
            }
    const std::vector<std::string> tabs = Tabs();
    auto kept = std::find(tabs.begin(), tabs.end(), selected);
    Selected = kept == tabs.end() ? 0 : static_cast<size_t>(kept - tabs.begin());
}

void cSimSettingsView::SetState(uint16_t id, const cViewControlState& state)
{
    cViewControlState& shown = States[id];
    const std::vector<std::string> radioItems = shown.Items;
    shown = state;
    // A radio group keeps its fixed items unless given new ones.
    if (state.Items.empty()) {
        for (const cViewPage& page : Pages)
            for (const cViewControl& control : page.Controls)
                if (control.Id == id && control.Kind == eViewControlKind::RadioGroup)
                    shown.Items = radioItems;
    }
}

void cSimSettingsView::SelectPage(size_t visibleIndex)
{
    if (visibleIndex < Tabs().size())
        Selected = visibleIndex;
}

std::string cSimSettingsView::SelectedPage() const
{
    const std::vector<std::string> tabs = Tabs();
    return Selected < tabs.size() ? tabs[Selected] : std::string();
}

bool cSimSettingsView::ChooseFolder(const std::string& prompt, const std::string& start, std::string& folder)
{
    FolderDialogs_.emplace_back(prompt, start);
    if (FolderAnswer.empty())
        return false;
    folder = FolderAnswer;
    return true;
}

std::vector<std::string> cSimSettingsView::Tabs() const
{
    std::vector<std::string> tabs;
    for (const cViewPage& page : Pages)
        if (page.Visible)
            tabs.push_back(page.Caption);
    return tabs;
}

const cViewControl* cSimSettingsView::Find(const std::string& name) const
{
    for (const cViewPage& page : Pages) {
        if (!page.Visible)
            continue;
        for (const cViewControl& control : page.Controls)
            if (control.Name == name)
                return &control;
    }
    return nullptr;
}

cViewControlState cSimSettingsView::State(const std::string& name) const
{
    const cViewControl* control = Find(name);
    if (control == nullptr)
        return {};
    auto found = States.find(control->Id);
    return found == States.end() ? cViewControlState{} : found->second;
}

std::string cSimSettingsView::ChosenItem(const std::string& name) const
{
    const cViewControlState state = State(name);
    if (state.Value < 0 || static_cast<size_t>(state.Value) >= state.Items.size())
        return std::string();
    return state.Items[static_cast<size_t>(state.Value)];
}

// A control the user can reach: on a visible page, itself visible and
// enabled, and inside a group that is too.
const cViewControl* cSimSettingsView::Usable(const std::string& name) const
{
    const cViewControl* control = Find(name);
    for (const cViewControl* part = control; part != nullptr;) {
        const cViewControlState& state = States.at(part->Id);
        if (!state.Visible || !state.Enabled)
            return nullptr;
        const cViewControl* group = nullptr;
        for (const cViewPage& page : Pages)
            for (const cViewControl& other : page.Controls)
                if (part->Group != 0 && other.Id == part->Group)
                    group = &other;
        part = group;
    }
    return control;
}

bool cSimSettingsView::Tick(const std::string& name, bool checked)
{
    const cViewControl* control = Usable(name);
    if (control == nullptr || control->Kind != eViewControlKind::CheckBox)
        return false;
    // The box toggles before it reports; the listener then sets it again.
    States[control->Id].Value = checked ? 1 : 0;
    Listener.OnValueChanged(control->Id, checked ? 1 : 0);
    return true;
}

bool cSimSettingsView::Choose(const std::string& name, const std::string& item)
{
    const cViewControl* control = Usable(name);
    if (control == nullptr ||
        (control->Kind != eViewControlKind::ComboBox && control->Kind != eViewControlKind::RadioGroup))
        return false;
    const std::vector<std::string>& items = States[control->Id].Items;
    auto found = std::find(items.begin(), items.end(), item);
    if (found == items.end())
        return false;
    const int index = static_cast<int>(found - items.begin());
    // A radio button already chosen reports nothing.
    if (control->Kind == eViewControlKind::RadioGroup && States[control->Id].Value == index)
        return true;
    States[control->Id].Value = index;
    Listener.OnValueChanged(control->Id, index);
    return true;
}

bool cSimSettingsView::Move(const std::string& name, int position)
{
    const cViewControl* control = Usable(name);
    if (control == nullptr || control->Kind != eViewControlKind::TrackBar)
        return false;
    position = std::clamp(position, control->Minimum, control->Maximum);
    if (States[control->Id].Value == position)
        return true;
    States[control->Id].Value = position;
    Listener.OnValueChanged(control->Id, position);
    return true;
}

bool cSimSettingsView::Type(const std::string& name, const std::string& text)
{
    const cViewControl* control = Usable(name);
    if (control == nullptr || control->Kind != eViewControlKind::Edit)
        return false;
    States[control->Id].Text = text;
    Listener.OnTextChanged(control->Id, text);
    return true;
}

bool cSimSettingsView::Press(const std::string& name)
{
    const cViewControl* control = Usable(name);
    if (control == nullptr || control->Kind != eViewControlKind::Button)
        return false;
    Listener.OnButtonPressed(control->Id);
    return true;
}

bool cSimSettingsView::TickRow(const std::string& name, size_t row, bool checked)
{
    const cViewControl* control = Usable(name);
    if (control == nullptr || control->Kind != eViewControlKind::ListView)
        return false;
    cViewControlState& state = States[control->Id];
    if (!state.RowCheckBoxes || row >= state.Rows.size())
        return false;
    state.Rows[row].Checked = checked;
    Listener.OnRowChecked(control->Id, row, checked);
    return true;
}

bool cSimSettingsView::DoubleClick(const std::string& name)
{
    const cViewControl* control = Find(name);
    if (control == nullptr || control->Kind != eViewControlKind::DoubleClickPanel)
        return false;
    Listener.OnDoubleClicked(control->Id);
    return true;
}
