#include <gtest/gtest.h>

#include <set>

#include "ConfiguratorTestBench.h"
#include "configurator/ConfiguratorControl.h"
#include "shell/CommandLine.h"

namespace {

using ConfiguratorModel = cConfiguratorTestBench;

TEST(ControlIds, NamedControlsGetFixedIdsAndOtherNamesAStableHash)
{
    struct cCase {
        const char* Name;
        uint16_t Id;
    };
    const cCase cases[] = {
        {"CheckBox20", 1620}, {"ComboBox1", 1801},    {"TrackBar4", 2004}, {"Label62", 1262},
        {"LabeledEdit3", 1003}, {"TabSheet8", 3008}, {"Panel2", 2802},     {"StaticText12", 1412},
    };
    for (const cCase& c : cases)
        EXPECT_EQ(ControlIdFor(c.Name), c.Id) << c.Name;
    // Names outside the scheme: above every range, and the same every time.
    for (const char* name : {"Standby", "Extender", "TabSheetMediaPortal", "Label", "CheckBox1000"}) {
        EXPECT_GE(ControlIdFor(name), 8000) << name;
        EXPECT_EQ(ControlIdFor(name), ControlIdFor(name)) << name;
    }
}

// A view that counts what it was told and, as a Win32 control would, raises
// a change notification while it mirrors the model.
class cEchoingView : public cConfiguratorView {
public:
    explicit cEchoingView(cConfiguratorModel& model) : Model(model) {}
    void PagesChanged() override { ++Pages; }
    void ControlsChanged() override
    {
        ++Controls;
        UpdatingSeen = Model.IsUpdating();
        if (cControl* box = Model.Find("Panel1"))
            Model.UserDoubleClick(box->Id);
    }
    void ControlChanged(const cControl&) override { ++Single; }

    cConfiguratorModel& Model;
    int Pages = 0;
    int Controls = 0;
    int Single = 0;
    bool UpdatingSeen = false;
};

TEST_F(ConfiguratorModel, EveryControlHasItsOwnIdAndIsFoundByNameAndId)
{
    Start({"DEBUG", "IDLE"});
    std::set<uint16_t> ids;
    for (const cConfiguratorPage* page : Model().GetPages()) {
        for (const auto& control : page->GetControls()) {
            EXPECT_TRUE(ids.insert(control->Id).second) << control->Name;
            EXPECT_EQ(Model().Find(control->Name), control.get());
            EXPECT_EQ(Model().Find(control->Id), control.get());
            EXPECT_EQ(Model().PageOf(*control), page);
        }
    }
    EXPECT_FALSE(ids.empty());
    EXPECT_EQ(Model().Find("NoSuchControl"), nullptr);
    EXPECT_FALSE(Model().UserSetChecked("NoSuchControl", true));
}

TEST_F(ConfiguratorModel, PagesComeInTabOrder)
{
    Start();
    int last = -1;
    for (const cConfiguratorPage* page : Model().GetPages()) {
        EXPECT_GT(page->GetOrder(), last) << page->GetName();
        last = page->GetOrder();
    }
}

TEST_F(ConfiguratorModel, TheViewMirrorsWhileTheModelCountsAsUpdating)
{
    Start();
    cEchoingView view(Model());
    Model().SetView(&view);
    EXPECT_EQ(view.Pages, 1);
    EXPECT_EQ(view.Controls, 1);
    // The notification the view raised while mirroring did nothing.
    EXPECT_TRUE(view.UpdatingSeen);
    EXPECT_FALSE(Main->GetRunFlags().DebugPages);
    Model().SetView(nullptr);
}

TEST_F(ConfiguratorModel, TheHiddenPanelsSwitchTheirModesOnForGood)
{
    Start();
    cEchoingView view(Model());
    Model().SetView(&view);
    view.Pages = 0;
    ASSERT_TRUE(Model().UserDoubleClick("Panel1"));
    EXPECT_TRUE(Main->GetRunFlags().DebugPages);
    EXPECT_FALSE(Main->GetRunFlags().IdlePage);
    EXPECT_EQ(view.Pages, 1);
    ASSERT_TRUE(Model().UserDoubleClick("Panel2"));
    EXPECT_TRUE(Main->GetRunFlags().IdlePage);
    EXPECT_TRUE(Main->GetRunFlags().DebugPages);
    Model().SetView(nullptr);
}

TEST_F(ConfiguratorModel, OnlyTheConfiguratorRolesHaveTheModel)
{
    Sim.Processes().SetArguments({"C:\\Slumberhold.exe", "ENGINE"});
    TfMain engine(Sim.Get());
    EXPECT_EQ(engine.GetConfigurator(), nullptr);
}

}  // namespace

namespace {

// At session end the engine goes while the window lives on: the settings
// window must not reach into it any more.
TEST_F(ConfiguratorModel, AfterTheSessionEndsTheWindowNeitherReadsNorWrites)
{
    Start({"TRAY"});
    Sim.Windowing().SendMessage(Main->Handle(), WM_ENDSESSION, 1, 0);
    ASSERT_EQ(Main->GetEngineForTesting(), nullptr);
    const int64_t before = Hklm("WakeMonitor");
    Model().UserSetChecked("CheckBox39", before != 1);
    Model().UserPress("Button10");
    Model().RefreshControls();
    Sim.Windowing().RunUntil(Sim.Clock().Now() + 3000);
    EXPECT_EQ(Hklm("WakeMonitor"), before);
    Main->Close();
}

}  // namespace
