#include "configurator/ConfiguratorModel.h"

#include <algorithm>
#include <stdexcept>

#include "configurator/ConfiguratorStatusDisplay.h"
#include "configurator/DevicesPage.h"
#include "foundation/MessageBoxes.h"
#include "osconfig/NvidiaVgaConfiguration.h"
#include "osconfig/OSConfiguration.h"
#include "platform/WinConst.h"
#include "shell/CommandLine.h"

namespace {

constexpr const char* DEFAULTS_QUESTION = "Restore the default values for this tab?";
constexpr const char* DEFAULTS_CAPTION = "Slumberhold";
constexpr const char* REBOOT_NOTICE = "To activate the new settings it is required to reboot the system.";
constexpr const char* REBOOT_NOTICE_CAPTION = "New settings";

}  // namespace

cConfiguratorModel::cConfiguratorModel(const cConfiguratorObjects& objects) : Objects(objects)
{
    CreatePages(*this);
    std::stable_sort(Pages.begin(), Pages.end(),
                     [](const auto& a, const auto& b) { return a->GetOrder() < b->GetOrder(); });
    StatusDisplay = std::make_unique<cConfiguratorStatusDisplay>(*this);
}

cConfiguratorModel::~cConfiguratorModel() = default;

void cConfiguratorModel::AddPage(std::unique_ptr<cConfiguratorPage> page)
{
    Pages.push_back(std::move(page));
}

void cConfiguratorModel::Register(cControl& control)
{
    // Two controls of one name or id would make the view and the tests
    // reach the wrong one.
    if (!ByName.emplace(control.Name, &control).second)
        throw std::logic_error("control name used twice: " + control.Name);
    if (!ById.emplace(control.Id, &control).second)
        throw std::logic_error("control id used twice: " + control.Name);
}

void cConfiguratorModel::BuildPages()
{
    if (Detached)
        return;
    for (auto& page : Pages)
        page->Build();
    if (View)
        View->PagesChanged();
}

void cConfiguratorModel::RefreshControls()
{
    if (Detached)
        return;
    const bool wasUpdating = Updating;
    Updating = true;
    for (auto& page : Pages)
        page->Refresh();
    Updating = wasUpdating;
}

void cConfiguratorModel::FillWakeDeviceList()
{
    if (Detached)
        return;
    if (auto* devices = dynamic_cast<cDevicesPage*>(FindPage(DEVICES_PAGE_NAME)))
        devices->Fill();
}

void cConfiguratorModel::SetView(cConfiguratorView* view)
{
    View = view;
    if (View) {
        View->PagesChanged();
        AfterUserChange();
    }
}

std::vector<cConfiguratorPage*> cConfiguratorModel::GetPages() const
{
    std::vector<cConfiguratorPage*> pages;
    for (const auto& page : Pages)
        pages.push_back(page.get());
    return pages;
}

std::vector<cConfiguratorPage*> cConfiguratorModel::GetVisiblePages() const
{
    std::vector<cConfiguratorPage*> pages;
    for (const auto& page : Pages)
        if (page->IsVisible())
            pages.push_back(page.get());
    return pages;
}

cConfiguratorPage* cConfiguratorModel::FindPage(const std::string& name) const
{
    for (const auto& page : Pages)
        if (page->GetName() == name)
            return page.get();
    return nullptr;
}

cControl* cConfiguratorModel::Find(const std::string& name) const
{
    auto it = ByName.find(name);
    return it == ByName.end() ? nullptr : it->second;
}

cControl* cConfiguratorModel::Find(uint16_t id) const
{
    auto it = ById.find(id);
    return it == ById.end() ? nullptr : it->second;
}

cConfiguratorPage* cConfiguratorModel::PageOf(const cControl& control) const
{
    for (const auto& page : Pages)
        for (const auto& own : page->GetControls())
            if (own.get() == &control)
                return page.get();
    return nullptr;
}

void cConfiguratorModel::Change(cControl& control)
{
    if (Updating || Detached)
        return;
    if (!control.Admin || Objects.OSConfiguration.CheckAdministrator()) {
        if (control.OnChange)
            control.OnChange();
    }
    if (control.Finish)
        control.Finish();
    else
        RefreshControls();
}

// The view shows the outcome: the value really stored, or the old one.
// Meanwhile the model counts as updating, so that a notification the view's
// own mirroring raises is not taken for the user's.
void cConfiguratorModel::AfterUserChange()
{
    if (!View || Detached)
        return;
    const bool wasUpdating = Updating;
    Updating = true;
    View->ControlsChanged();
    Updating = wasUpdating;
}

// What the view raises while it mirrors the model is no user change.
bool cConfiguratorModel::AcceptsUserChange() const
{
    return !Updating && !Detached;
}

void cConfiguratorModel::ControlUpdated(const cControl& control)
{
    if (View && !Detached)
        View->ControlChanged(control);
}

void cConfiguratorModel::UserSetChecked(uint16_t id, bool checked)
{
    if (!AcceptsUserChange())
        return;
    cControl* control = Find(id);
    if (!control || control->Kind != eControlKind::CheckBox)
        return;
    control->Checked = checked;
    Change(*control);
    AfterUserChange();
}

void cConfiguratorModel::UserSelectItem(uint16_t id, int index)
{
    if (!AcceptsUserChange())
        return;
    cControl* control = Find(id);
    if (!control || (control->Kind != eControlKind::ComboBox && control->Kind != eControlKind::RadioGroup))
        return;
    if (index < -1 || index >= static_cast<int>(control->Items.size()))
        return;
    control->ItemIndex = index;
    Change(*control);
    AfterUserChange();
}

void cConfiguratorModel::UserSetPosition(uint16_t id, int32_t position)
{
    if (!AcceptsUserChange())
        return;
    cControl* control = Find(id);
    if (!control || control->Kind != eControlKind::TrackBar)
        return;
    control->Position = std::clamp(position, control->Min, std::max(control->Min, control->Max));
    Change(*control);
    AfterUserChange();
}

void cConfiguratorModel::UserSetText(uint16_t id, const std::string& text)
{
    if (!AcceptsUserChange())
        return;
    cControl* control = Find(id);
    if (!control || (control->Kind != eControlKind::LabeledEdit && control->Kind != eControlKind::FolderPicker))
        return;
    control->Text = text;
    Change(*control);
    AfterUserChange();
}

void cConfiguratorModel::UserPress(uint16_t id)
{
    if (!AcceptsUserChange())
        return;
    cControl* control = Find(id);
    if (!control || control->Kind != eControlKind::Button)
        return;
    Change(*control);
    AfterUserChange();
}

void cConfiguratorModel::UserCheckRow(uint16_t id, int row, bool checked)
{
    if (!AcceptsUserChange())
        return;
    cControl* control = Find(id);
    if (!control || control->Kind != eControlKind::ListView || !control->CheckBoxes)
        return;
    if (row < 0 || row >= static_cast<int>(control->Rows.size()) || !control->Rows[static_cast<size_t>(row)].HasCheckBox)
        return;
    control->Rows[static_cast<size_t>(row)].Checked = checked;
    control->ChangedRow = row;
    Change(*control);
    AfterUserChange();
}

void cConfiguratorModel::UserDoubleClick(uint16_t id)
{
    if (!AcceptsUserChange())
        return;
    cControl* control = Find(id);
    if (!control || control->Kind != eControlKind::Panel)
        return;
    Change(*control);
    AfterUserChange();
}

bool cConfiguratorModel::UserSetChecked(const std::string& name, bool checked)
{
    cControl* control = Find(name);
    if (control)
        UserSetChecked(control->Id, checked);
    return control != nullptr;
}

bool cConfiguratorModel::UserSelectText(const std::string& name, const std::string& itemText)
{
    cControl* control = Find(name);
    const int index = control ? control->IndexOfText(itemText) : -1;
    if (index >= 0)
        UserSelectItem(control->Id, index);
    return index >= 0;
}

bool cConfiguratorModel::UserSetPosition(const std::string& name, int32_t position)
{
    cControl* control = Find(name);
    if (control)
        UserSetPosition(control->Id, position);
    return control != nullptr;
}

bool cConfiguratorModel::UserSetText(const std::string& name, const std::string& text)
{
    cControl* control = Find(name);
    if (control)
        UserSetText(control->Id, text);
    return control != nullptr;
}

bool cConfiguratorModel::UserPress(const std::string& name)
{
    cControl* control = Find(name);
    if (control)
        UserPress(control->Id);
    return control != nullptr;
}

bool cConfiguratorModel::UserCheckRow(const std::string& name, int row, bool checked)
{
    cControl* control = Find(name);
    if (control)
        UserCheckRow(control->Id, row, checked);
    return control != nullptr;
}

bool cConfiguratorModel::UserDoubleClick(const std::string& name)
{
    cControl* control = Find(name);
    if (control)
        UserDoubleClick(control->Id);
    return control != nullptr;
}

int cConfiguratorModel::ShowMessage(const std::string& text, const std::string& caption, uint32_t style)
{
    return ShowMessageBox(Objects.Platform.Dialogs, Objects.Window, text, caption, style);
}

bool cConfiguratorModel::ConfirmDefaults()
{
    return ShowMessage(DEFAULTS_QUESTION, DEFAULTS_CAPTION, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void cConfiguratorModel::ShowRebootNotice()
{
    if (Detached || Objects.Flags.NoRebootNotice)
        return;
    if (Objects.NvidiaConfiguration.IsNvidiaRebootRequired() || Objects.OSConfiguration.IsRebootRequired())
        ShowMessage(REBOOT_NOTICE, REBOOT_NOTICE_CAPTION, MB_OK | MB_ICONWARNING);
}

void cConfiguratorModel::SwitchDebugMode()
{
    Objects.Flags.DebugPages = true;
    BuildPages();
}

void cConfiguratorModel::SwitchIdleDebugMode()
{
    Objects.Flags.IdlePage = true;
    BuildPages();
}

cStatusDisplay& cConfiguratorModel::GetStatusDisplay()
{
    return *StatusDisplay;
}
