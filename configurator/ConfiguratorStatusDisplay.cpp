#include "configurator/ConfiguratorStatusDisplay.h"

#include "configurator/ConfiguratorModel.h"

cConfiguratorStatusDisplay::cConfiguratorStatusDisplay(cConfiguratorModel& model) : Model(model) {}

void cConfiguratorStatusDisplay::SetText(const char* name, const std::string& text, uint32_t colour)
{
    cControl* control = Model.Find(name);
    if (!control || (control->Caption == text && control->Colour == colour))
        return;
    control->Caption = text;
    control->Colour = colour;
    Model.ControlUpdated(*control);
}

void cConfiguratorStatusDisplay::SetEnabled(const char* name, bool enabled)
{
    cControl* control = Model.Find(name);
    if (!control || control->Enabled == enabled)
        return;
    control->Enabled = enabled;
    Model.ControlUpdated(*control);
}

void cConfiguratorStatusDisplay::ShowMediaCenterState(const std::string& text)
{
    SetText("Label62", text);
}

void cConfiguratorStatusDisplay::ShowRecording(const std::string& text)
{
    SetText("Label66", text);
}

void cConfiguratorStatusDisplay::ShowLastUserInput(const std::string& text)
{
    SetText("Label22", text);
}

void cConfiguratorStatusDisplay::ShowExtendersInUse(const std::string& text)
{
    SetText("StaticText3", text);
}

void cConfiguratorStatusDisplay::ShowRecordingRow(const std::string& status)
{
    cControl* list = Model.Find("ListView2");
    if (!list || list->Rows.empty() || list->Rows[0].Cells.size() < 2 || list->Rows[0].Cells[1] == status)
        return;
    list->Rows[0].Cells[1] = status;
    Model.ControlUpdated(*list);
}

void cConfiguratorStatusDisplay::ShowAttendance(const std::string& text)
{
    SetText("Label26", text);
}

void cConfiguratorStatusDisplay::ShowWindowsIdle(const cWindowsIdleView& view)
{
    SetText("StaticText8", view.User);
    SetText("StaticText5", view.Remaining);
    SetText("StaticText6", view.Idleness, view.IdlenessColour);
    SetText("StaticText7", view.MaxIdleness);
    SetEnabled("Button11", view.DecreaseEnabled);
    SetEnabled("Button17", view.IncreaseEnabled);
}

void cConfiguratorStatusDisplay::ShowExecutionState(const cExecutionStateView& view)
{
    SetText("StaticText9", view.SystemRequired, view.SystemRequiredColour);
    SetText("StaticText10", view.DisplayRequired, view.DisplayRequiredColour);
    SetText("Label38", view.Explanation);
}
