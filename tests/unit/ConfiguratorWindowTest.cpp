// The settings window as the user sees it on the simulator: the platform's
// view gets the model's pages and controls, the user's acts on the view
// reach the model, and after each act and each second the view shows what
// the model holds.
#include <gtest/gtest.h>

#include "ConfiguratorTestBench.h"
#include "configurator/ConfiguratorWindow.h"
#include "platform/sim/SimSettingsView.h"

namespace {

class ConfiguratorWindow : public cConfiguratorTestBench {
protected:
    cSimSettingsView& View()
    {
        cSimSettingsView* view = Sim.Windowing().SettingsView();
        if (view == nullptr)
            throw std::logic_error("no settings view");
        return *view;
    }

    // Every control of every visible page shows what its model control holds.
    void ExpectViewMirrorsModel()
    {
        for (const cConfiguratorPage* page : Model().GetVisiblePages()) {
            for (const auto& control : page->GetControls()) {
                const cViewControlState expected = cConfiguratorWindow::StateOf(*control);
                const cViewControlState shown = View().State(control->Name);
                SCOPED_TRACE(control->Name);
                EXPECT_EQ(shown.Visible, expected.Visible);
                EXPECT_EQ(shown.Enabled, expected.Enabled);
                EXPECT_EQ(shown.Text, expected.Text);
                EXPECT_EQ(shown.Value, expected.Value);
                EXPECT_EQ(shown.Colour, expected.Colour);
                EXPECT_EQ(shown.Rows.size(), expected.Rows.size());
                if (control->Kind != eControlKind::RadioGroup)
                    EXPECT_EQ(shown.Items, expected.Items);
            }
        }
    }
};

TEST_F(ConfiguratorWindow, ShowsTheVisiblePagesInTabOrderInTheSystemsFont)
{
    struct cCase {
        eWindows Windows;
        const char* Font;
    };
    for (const cCase& c : {cCase{eWindows::XP, "Tahoma"}, cCase{eWindows::Windows7, "Segoe UI"}}) {
        SCOPED_TRACE(c.Font);
        Main.reset();
        SetWindows(c.Windows);
        Start();
        EXPECT_EQ(View().Tabs(), VisibleCaptions());
        EXPECT_EQ(View().FontName(), c.Font);
        EXPECT_EQ(View().SelectedPage(), "Sleep state");
        ExpectViewMirrorsModel();
    }
}

// The tick reaches the model, which writes and refreshes; the view then
// shows the stored value. Without administrator rights the refusal shows as
// the old value coming back.
TEST_F(ConfiguratorWindow, AUsersChangeIsWrittenAndTheViewShowsWhatIsStored)
{
    Start();
    ASSERT_TRUE(View().Tick("CheckBox3", false));
    EXPECT_EQ(Hklm("LogMode"), 0);
    EXPECT_EQ(View().State("CheckBox3").Value, 0);

    const int32_t before = View().State("TrackBar4").Value;
    Sim.Security().SetAdministrator(false);
    Main.reset();
    Start();
    ASSERT_TRUE(View().Move("TrackBar4", before + 3));
    EXPECT_EQ(View().State("TrackBar4").Value, before);
    EXPECT_EQ(BoxCount(), 1u);
    ExpectViewMirrorsModel();
}

// The hidden panel rebuilds the page set: the view's tabs follow, and the
// page the user was on stays selected.
TEST_F(ConfiguratorWindow, TheDebugPanelRebuildsTheTabsAndKeepsThePage)
{
    Start();
    const std::vector<std::string> before = View().Tabs();
    View().SelectPage(before.size() - 1);
    ASSERT_EQ(View().SelectedPage(), "About");
    ASSERT_TRUE(View().DoubleClick("Panel2"));
    EXPECT_EQ(View().Tabs(), VisibleCaptions());
    EXPECT_GT(View().Tabs().size(), before.size());
    EXPECT_EQ(View().SelectedPage(), "About");
    ExpectViewMirrorsModel();
}

// The folder picker asks with its prompt from the current folder; the
// chosen folder is written, a cancelled dialog writes nothing.
TEST_F(ConfiguratorWindow, TheFolderPickerWritesTheChosenFolderOnly)
{
    Start();
    ASSERT_TRUE(View().Press("Button3"));
    ASSERT_EQ(View().FolderDialogs().size(), 1u);
    EXPECT_EQ(View().FolderDialogs()[0], std::make_pair(std::string("Select log file directory"),
                                                        std::string("C:\\Logs")));
    std::string path;
    Sim.Registry().GetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", path);
    EXPECT_EQ(path, "C:\\Logs");

    View().AnswerFolderDialog("D:\\Night logs");
    ASSERT_TRUE(View().Press("Button3"));
    Sim.Registry().GetString(eHive::LocalMachine, SETTINGS_KEY, "LogPath", path);
    EXPECT_EQ(path, "D:\\Night logs");
    EXPECT_EQ(View().State("LabeledEdit3").Text, "D:\\Night logs");
}

// The user cannot act on what is disabled: the view refuses, nothing is
// written.
TEST_F(ConfiguratorWindow, DisabledControlsTakeNoUserAction)
{
    Start();
    cControl& nvidia = Control("ComboBox4");
    ASSERT_FALSE(nvidia.Enabled);  // no NVIDIA driver on this machine
    EXPECT_FALSE(View().Choose("ComboBox4", "MapOSD3ToNV=3"));
    EXPECT_EQ(View().ChosenItem("ComboBox4"), "Disabled");
}

// The status fields change every second without a user's act.
TEST_F(ConfiguratorWindow, TheStatusFieldsFollowEverySecond)
{
    Start();
    Sim.Windowing().RunUntil(Sim.Clock().Now() + 3000);
    ExpectViewMirrorsModel();
}

}  // namespace
