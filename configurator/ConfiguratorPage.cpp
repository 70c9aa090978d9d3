#include "configurator/ConfiguratorPage.h"

#include <stdexcept>

#include "configurator/ConfiguratorModel.h"

cConfiguratorPage::cConfiguratorPage(cConfiguratorModel& model, std::string name, std::string caption, int order)
    : Model(model), Name(std::move(name)), Id(ControlIdFor(Name)), Caption(std::move(caption)), Order(order)
{
}

cConfiguratorPage::~cConfiguratorPage() = default;

cControl& cConfiguratorPage::Add(eControlKind kind, const std::string& name, const std::string& caption)
{
    auto control = std::make_unique<cControl>();
    control->Name = name;
    control->Id = ControlIdFor(name);
    control->Kind = kind;
    control->Caption = caption;
    Controls.push_back(std::move(control));
    Model.Register(*Controls.back());
    return *Controls.back();
}

cControl& cConfiguratorPage::AddLabel(const std::string& name, const std::string& caption)
{
    return Add(eControlKind::Label, name, caption);
}

cControl& cConfiguratorPage::AddCheckBox(const std::string& name, const std::string& caption, bool admin,
                                         std::function<void(bool)> write)
{
    cControl& control = Add(eControlKind::CheckBox, name, caption);
    control.Admin = admin;
    control.OnChange = [&control, write = std::move(write)] { write(control.Checked); };
    return control;
}

cControl& cConfiguratorPage::AddComboBox(const std::string& name, bool admin, std::function<void(int32_t)> write)
{
    cControl& control = Add(eControlKind::ComboBox, name);
    control.Admin = admin;
    control.OnChange = [&control, write = std::move(write)] {
        if (control.ItemIndex >= 0)
            write(control.SelectedValue());
    };
    return control;
}

cControl& cConfiguratorPage::AddButton(const std::string& name, const std::string& caption, bool admin,
                                       std::function<void()> press)
{
    cControl& control = Add(eControlKind::Button, name, caption);
    control.Admin = admin;
    control.OnChange = std::move(press);
    return control;
}

cControl& cConfiguratorPage::Get(const std::string& name)
{
    for (auto& control : Controls)
        if (control->Name == name)
            return *control;
    throw std::logic_error("no control " + name + " on page " + Name);
}

const cConfiguratorObjects& cConfiguratorPage::Objects() const
{
    return Model.GetObjects();
}
