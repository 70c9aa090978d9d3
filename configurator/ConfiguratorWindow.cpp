#include "configurator/ConfiguratorWindow.h"

#include <utility>

namespace {

eViewControlKind ViewKind(eControlKind kind)
{
    switch (kind) {
    case eControlKind::Label:
    case eControlKind::StaticText:
        return eViewControlKind::Text;
    case eControlKind::CheckBox:
        return eViewControlKind::CheckBox;
    case eControlKind::ComboBox:
        return eViewControlKind::ComboBox;
    case eControlKind::TrackBar:
        return eViewControlKind::TrackBar;
    case eControlKind::RadioGroup:
        return eViewControlKind::RadioGroup;
    case eControlKind::ListView:
        return eViewControlKind::ListView;
    case eControlKind::LabeledEdit:
        return eViewControlKind::Edit;
    case eControlKind::Button:
    case eControlKind::FolderPicker:
        return eViewControlKind::Button;
    case eControlKind::Panel:
        return eViewControlKind::DoubleClickPanel;
    }
    return eViewControlKind::Text;
}

std::vector<std::string> ItemTexts(const cControl& control)
{
    std::vector<std::string> texts;
    for (const cControlItem& item : control.Items)
        texts.push_back(item.Text);
    return texts;
}

uint16_t IdOf(const cConfiguratorModel& model, const std::string& name)
{
    const cControl* control = name.empty() ? nullptr : model.Find(name);
    return control != nullptr ? control->Id : 0;
}

}  // namespace

cConfiguratorWindow::cConfiguratorWindow(cConfiguratorModel& model, cWindowing& windowing, WindowHandle window,
                                         std::string fontName)
    : Model(model), FontName(std::move(fontName)), View(windowing.CreateSettingsView(window, *this))
{
    Model.SetView(this);
}

cConfiguratorWindow::~cConfiguratorWindow()
{
    Model.SetView(nullptr);
}

std::vector<cViewPage> cConfiguratorWindow::DescribePages(const cConfiguratorModel& model)
{
    std::vector<cViewPage> pages;
    for (const cConfiguratorPage* page : model.GetPages()) {
        cViewPage described;
        described.Caption = page->GetCaption();
        described.Visible = page->IsVisible();
        for (const auto& control : page->GetControls()) {
            cViewControl view;
            view.Id = control->Id;
            view.Name = control->Name;
            view.Kind = ViewKind(control->Kind);
            view.Caption = control->Caption;
            view.Hint = control->Hint;
            view.Minimum = control->Min;
            view.Maximum = control->Max;
            view.Items = ItemTexts(*control);
            view.Columns = control->Columns;
            view.Buddy = IdOf(model, control->Buddy);
            view.ValueLabel = IdOf(model, control->ValueLabel);
            view.Framed = control->Kind == eControlKind::StaticText;
            described.Controls.push_back(std::move(view));
        }
        pages.push_back(std::move(described));
    }
    return pages;
}

cViewControlState cConfiguratorWindow::StateOf(const cControl& control)
{
    cViewControlState state;
    state.Visible = control.Visible;
    state.Enabled = control.Enabled;
    state.Colour = control.Colour == COLOUR_DEFAULT ? VIEW_DEFAULT_COLOUR : control.Colour;
    switch (control.Kind) {
    case eControlKind::Label:
    case eControlKind::StaticText:
    case eControlKind::Button:
    case eControlKind::FolderPicker:
        state.Text = control.Caption;
        break;
    case eControlKind::CheckBox:
        state.Text = control.Caption;
        state.Value = control.Checked ? 1 : 0;
        break;
    case eControlKind::ComboBox:
    case eControlKind::RadioGroup:
        state.Items = ItemTexts(control);
        state.Value = control.ItemIndex;
        break;
    case eControlKind::TrackBar:
        state.Value = control.Position;
        break;
    case eControlKind::LabeledEdit:
        state.Text = control.Text;
        break;
    case eControlKind::ListView:
        state.RowCheckBoxes = control.CheckBoxes;
        for (const cListRow& row : control.Rows)
            state.Rows.push_back(cViewListItem{row.Cells.empty() ? std::string() : row.Cells.front(),
                                               row.HasCheckBox && row.Checked, row.Greyed});
        break;
    case eControlKind::Panel:
        break;
    }
    return state;
}

void cConfiguratorWindow::PagesChanged()
{
    View->SetPages(DescribePages(Model), FontName);
    ControlsChanged();
}

void cConfiguratorWindow::ControlsChanged()
{
    for (const cConfiguratorPage* page : Model.GetPages())
        for (const auto& control : page->GetControls())
            View->SetState(control->Id, StateOf(*control));
}

void cConfiguratorWindow::ControlChanged(const cControl& control)
{
    View->SetState(control.Id, StateOf(control));
}

void cConfiguratorWindow::OnValueChanged(uint16_t id, int value)
{
    const cControl* control = Model.Find(id);
    if (control == nullptr)
        return;
    switch (control->Kind) {
    case eControlKind::CheckBox:
        Model.UserSetChecked(id, value != 0);
        break;
    case eControlKind::ComboBox:
    case eControlKind::RadioGroup:
        Model.UserSelectItem(id, value);
        break;
    case eControlKind::TrackBar:
        Model.UserSetPosition(id, value);
        break;
    default:
        break;
    }
}

void cConfiguratorWindow::OnTextChanged(uint16_t id, const std::string& text)
{
    Model.UserSetText(id, text);
}

void cConfiguratorWindow::OnButtonPressed(uint16_t id)
{
    const cControl* control = Model.Find(id);
    if (control == nullptr)
        return;
    if (control->Kind != eControlKind::FolderPicker) {
        Model.UserPress(id);
        return;
    }
    std::string folder;
    if (View->ChooseFolder(control->Prompt, control->Text, folder))
        Model.UserSetText(id, folder);
}

void cConfiguratorWindow::OnRowChecked(uint16_t id, size_t row, bool checked)
{
    Model.UserCheckRow(id, static_cast<int>(row), checked);
}

void cConfiguratorWindow::OnDoubleClicked(uint16_t id)
{
    Model.UserDoubleClick(id);
}
