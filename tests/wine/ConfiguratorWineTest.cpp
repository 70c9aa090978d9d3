// The settings window on the real Windows backend, driven as a user would
// through slhui.exe: its pages, a setting changed by a click and read back
// by a separate process, and a window beside a running engine.
#include <algorithm>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

#include "LogFile.h"
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

const std::string TITLE = "Slumberhold";
const std::string ENGINE_TITLE = "Slumberhold - Engine mode";
const std::string LOG_FOLDER = "C:\\slhtest";
const std::string LOG_FILE = LOG_FOLDER + "\\SLH Log.txt";
constexpr auto UI_TIMEOUT = 30s;
constexpr auto CHANGE_TIMEOUT = 20s;

// What slhui reads of a control.
struct cShown {
    std::string Text;
    bool Enabled = false;
    bool Checked = false;
    bool Visible = false;
};

class cConfiguratorWineTest : public cSlumberholdWineTest {
protected:
    void SetUp() override
    {
        cSlumberholdWineTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", LOG_FOLDER));
    }

    // The settings window with the switches, once its tabs are there.
    void StartWindow(const std::vector<std::string>& switches = {})
    {
        cSlumberholdProcess& program = StartSlumberhold(switches);
        ASSERT_TRUE(program.WaitForWindow(TITLE, WINDOW_TIMEOUT));
        Program = &program;
        ASSERT_EQ(Ui({"wait", "30"}).ExitCode, 0);
    }

    cRunResult Ui(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), TITLE);
        return RunHelper("slhui.exe", arguments, UI_TIMEOUT);
    }

    std::vector<std::string> Lines(const std::string& output)
    {
        std::vector<std::string> lines;
        std::istringstream stream(output);
        for (std::string line; std::getline(stream, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    std::optional<cShown> Read(const std::string& control)
    {
        const cRunResult result = Ui({"read", control});
        const std::vector<std::string> lines = Lines(result.Output);
        if (result.ExitCode != 0 || lines.empty())
            return std::nullopt;
        std::vector<std::string> fields;
        std::istringstream stream(lines[0]);
        for (std::string field; std::getline(stream, field, '\t');)
            fields.push_back(field);
        if (fields.size() != 4)
            return std::nullopt;
        return cShown{fields[0], fields[1] == "1", fields[2] == "1", fields[3] == "1"};
    }

    // Polls until the check holds; false at the timeout.
    template <typename tCheck>
    bool Eventually(tCheck check, std::chrono::seconds timeout = CHANGE_TIMEOUT)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!check()) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(200ms);
        }
        return true;
    }

    bool Stored(const std::string& name, uint32_t value)
    {
        return Eventually([&] { return Registry().Read(SETTINGS_KEY, name) == DwordEntry(value); });
    }

    cSlumberholdProcess* Program = nullptr;
};

// A caption as a tab or button draws it: "&&" is one ampersand, a single
// "&" only underlines the next letter.
std::string AsDrawn(const std::string& caption)
{
    std::string drawn;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && ++i == caption.size())
            break;
        drawn += caption[i];
    }
    return drawn;
}

}  // namespace

// A Windows 7 prefix without Media Center: the window of the application
// class with the pages of that machine in tab order; a faked Media Center
// adds its pages in their places, debug mode the test page.
TEST_F(cConfiguratorWineTest, AWindows7MachineShowsItsPagesInTabOrder)
{
    struct cCase {
        bool FakeMediaCenter;
        std::vector<std::string> Switches;
        std::vector<std::string> Tabs;
    };
    const cCase cases[] = {
        {false, {}, {"Sleep state", "USB", "Devices", "Windows idle", "Reboot", "Debug", "Extender", "About"}},
        {true,
         {},
         {"Sleep state", "USB", "Devices", "Windows idle", "eHome", "Reboot", "Idle", "Auto tasks", "Debug",
          "Extender", "About"}},
        {true,
         {"DEBUG"},
         {"Sleep state", "USB", "Devices", "Windows idle", "eHome", "MediaPortal", "Reboot", "Idle", "Auto tasks",
          "Debug", "R&D", "Extender", "About"}},
    };
    cBoxWatcher& boxes = WatchMessageBoxes();
    for (const cCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Switches) + (c.FakeMediaCenter ? " with a faked Media Center" : ""));
        ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "eHome_FakeTarget", c.FakeMediaCenter ? 1 : 0));
        StartWindow(c.Switches);
        std::vector<std::string> shown = Lines(Ui({"tabs"}).Output);
        std::transform(shown.begin(), shown.end(), shown.begin(), AsDrawn);
        EXPECT_EQ(shown, c.Tabs);
        const std::optional<cShown> about = Read("StaticText2");
        ASSERT_TRUE(about);
        EXPECT_EQ(about->Text.rfind("Version ", 0), 0u) << about->Text;
        ASSERT_TRUE(Program->Close(TITLE));
        EXPECT_EQ(Program->WaitForExit(EXIT_TIMEOUT), 0);
    }
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes(std::size(cases)));
}

// A click on "Create log file" writes the setting, the log says so, and the
// box shows what is stored.
TEST_F(cConfiguratorWineTest, TickingCreateLogFileSwitchesLoggingOn)
{
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 0));
    cBoxWatcher& boxes = WatchMessageBoxes();
    StartWindow();
    ASSERT_EQ(Ui({"page", "Debug"}).ExitCode, 0);
    std::optional<cShown> box = Read("Create log file");
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->Checked);
    EXPECT_TRUE(box->Visible);

    ASSERT_EQ(Ui({"check", "CheckBox3", "1"}).ExitCode, 0);
    EXPECT_TRUE(Stored("LogMode", 1));
    EXPECT_TRUE(WaitForLogFile(
        HostPath(LOG_FILE),
        [](const cLogContent& log) {
            const std::vector<std::string> entries = LogEntries(log);
            return std::find(entries.begin(), entries.end(), "Logging enabled.") != entries.end();
        },
        CHANGE_TIMEOUT));
    EXPECT_TRUE(Eventually([&] {
        box = Read("CheckBox3");
        return box && box->Checked;
    }));
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes());
}

// The Media Center timeout chosen from its list is stored; "Default"
// answered No stores nothing, answered Yes the defaults; after each the
// controls show what is stored.
TEST_F(cConfiguratorWineTest, TheIdlePageStoresTheChosenTimeoutAndItsDefaultsOnlyWhenConfirmed)
{
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "eHome_FakeTarget", 1));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "MceIdleTimeout", 600));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "PausedIsIdle", 1));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "UserInputIdleDetection", 1));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "UserInputIdleTimeout", 9000));
    cBoxWatcher& boxes = WatchMessageBoxes();
    StartWindow();
    ASSERT_EQ(Ui({"page", "Idle"}).ExitCode, 0);
    const auto shows = [&](const std::string& control, const std::string& text, bool checked = false) {
        return Eventually([&] {
            const std::optional<cShown> shown = Read(control);
            return shown && shown->Text == text && shown->Checked == checked;
        });
    };
    EXPECT_TRUE(shows("ComboBox2", "10 minutes"));
    EXPECT_TRUE(shows("Paused is considered idle", "Paused is considered idle", true));
    EXPECT_TRUE(shows("ComboBox3", "2.5 hours"));

    ASSERT_EQ(Ui({"choose", "ComboBox2", "5 minutes"}).ExitCode, 0);
    EXPECT_TRUE(Stored("MceIdleTimeout", 300));
    EXPECT_TRUE(shows("ComboBox2", "5 minutes"));
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes());

    // From here the boxes are answered by hand: the watcher would say Yes.
    const auto restoreDefaults = [&](const std::string& answer) {
        ASSERT_EQ(Ui({"press", "Button6"}).ExitCode, 0);
        const cRunResult asked = Ui({"answer", "Slumberhold", answer, "20"});
        ASSERT_EQ(asked.ExitCode, 0);
        EXPECT_NE(asked.Output.find("Restore the default values for this tab?"), std::string::npos) << asked.Output;
    };
    restoreDefaults("No");
    EXPECT_EQ(Registry().Read(SETTINGS_KEY, "MceIdleTimeout"), DwordEntry(300));
    EXPECT_EQ(Registry().Read(SETTINGS_KEY, "PausedIsIdle"), DwordEntry(1));
    EXPECT_EQ(Registry().Read(SETTINGS_KEY, "UserInputIdleTimeout"), DwordEntry(9000));
    EXPECT_TRUE(shows("ComboBox2", "5 minutes"));
    EXPECT_TRUE(shows("CheckBox40", "Paused is considered idle", true));

    restoreDefaults("Yes");
    EXPECT_TRUE(Stored("MceIdleTimeout", 1800));
    EXPECT_TRUE(Stored("PausedIsIdle", 0));
    EXPECT_TRUE(Stored("UserInputIdleDetection", 0));
    EXPECT_TRUE(Stored("UserInputIdleTimeout", 18000));
    EXPECT_TRUE(shows("ComboBox2", "30 minutes"));
    EXPECT_TRUE(shows("CheckBox40", "Paused is considered idle", false));
    EXPECT_TRUE(shows("CheckBox32", "Suspend when Media Center is running and there is no user activity", false));
    EXPECT_TRUE(shows("ComboBox3", "5.0 hours"));
}

// Beside an engine the window shows the engine's live status and closes
// when the engine ends.
TEST_F(cConfiguratorWineTest, BesideAnEngineTheWindowFollowsItAndEndsWithIt)
{
    WatchMessageBoxes();
    cSlumberholdProcess& engine = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(engine.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    StartWindow({"IDLE"});
    ASSERT_EQ(Ui({"page", "Extender"}).ExitCode, 0);
    // "-" until the first second's read of the engine's status block.
    EXPECT_TRUE(Eventually([&] {
        const std::optional<cShown> inUse = Read("StaticText3");
        return inUse && inUse->Text == "0";
    }));
    // The engine's own texts: it watches no Media Center on this machine.
    ASSERT_EQ(Ui({"page", "Idle"}).ExitCode, 0);
    for (const char* label : {"Label62", "Label66"})
        EXPECT_TRUE(Eventually([&] {
            const std::optional<cShown> shown = Read(label);
            return shown && shown->Text == "Detection suspended";
        })) << label;
    // The time since the last input, counting on as no input comes.
    const std::regex idleTime(R"(\d+:\d\d\.\d\d)");
    std::optional<cShown> first;
    EXPECT_TRUE(Eventually([&] {
        first = Read("Label22");
        return first && std::regex_match(first->Text, idleTime);
    }));
    EXPECT_TRUE(Eventually([&] {
        const std::optional<cShown> later = Read("Label22");
        return first && later && later->Text != first->Text && std::regex_match(later->Text, idleTime);
    }));

    ASSERT_TRUE(engine.Close(ENGINE_TITLE));
    EXPECT_EQ(engine.WaitForExit(EXIT_TIMEOUT), 0);
    EXPECT_EQ(Program->WaitForExit(EXIT_TIMEOUT), 0);
}

// "Last wake" runs the tool and shows what it wrote in the viewer; closing
// the viewer returns to the window.
TEST_F(cConfiguratorWineTest, LastWakeShowsTheToolsOutputInTheViewer)
{
    Powercfg().SetScript("-lastwake\t0\t0\tWake History Count - 1\\r\\nWake Source [0]\\r\\n  Power Button\\r\\n\n");
    cBoxWatcher& boxes = WatchMessageBoxes();
    StartWindow();
    ASSERT_EQ(Ui({"page", "Devices"}).ExitCode, 0);
    ASSERT_EQ(Ui({"press", "Last wake"}).ExitCode, 0);

    const cRunResult read = RunHelper("slhviewer.exe", {"read", "C:\\viewer.txt", "45000"}, UI_TIMEOUT + 30s);
    ASSERT_EQ(read.ExitCode, 0) << "no viewer";
    const std::vector<std::string> shown = Lines(read.Output);
    EXPECT_NE(std::find(shown.begin(), shown.end(), "caption=powercfg.exe output"), shown.end()) << read.Output;
    EXPECT_EQ(ReadWholeFile(HostPath("C:\\viewer.txt")),
              "Wake History Count - 1\r\nWake Source [0]\r\n  Power Button\r\n");
    const cRunResult close = RunHelper("slhviewer.exe", {"close", "10000"}, UI_TIMEOUT);
    EXPECT_EQ(Lines(close.Output), std::vector<std::string>{"closed=1"});
    // The window takes clicks again.
    ASSERT_EQ(Ui({"page", "About"}).ExitCode, 0);
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes());
}

// The test page tells the roles of its process; its check boxes act on this
// process: "Fake eHome" is stored, a denied standby query stays in memory
// and a separate engine still grants the query; "Tip" shows no box.
TEST_F(cConfiguratorWineTest, TheTestPageShowsItsRolesAndActsOnItsOwnProcess)
{
    constexpr uint32_t WM_POWERBROADCAST = 0x0218;
    constexpr uint32_t PBT_APMQUERYSUSPEND = 0;
    constexpr int64_t GRANT = 1;
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "eHome_FakeTarget", 0));
    cBoxWatcher& boxes = WatchMessageBoxes();
    cSlumberholdProcess& engine = StartSlumberhold({"ENGINE"});
    ASSERT_TRUE(engine.WaitForWindow(ENGINE_TITLE, WINDOW_TIMEOUT));
    const cWindowName engineWindow = cSlumberholdProcess::Window(ENGINE_TITLE);

    StartWindow({"DEBUG"});
    ASSERT_EQ(Ui({"page", "R&&D"}).ExitCode, 0);
    std::optional<cShown> mode = Read("Label9");
    ASSERT_TRUE(mode);
    EXPECT_EQ(mode->Text, "Mode : C");

    ASSERT_EQ(Ui({"check", "Fake eHome", "1"}).ExitCode, 0);
    EXPECT_TRUE(Stored("eHome_FakeTarget", 1));
    EXPECT_TRUE(Eventually([&] {
        const std::optional<cShown> box = Read("CheckBox29");
        return box && box->Checked;
    }));

    ASSERT_EQ(Ui({"check", "Deny standby query", "1"}).ExitCode, 0);
    EXPECT_TRUE(Eventually([&] {
        const std::optional<cShown> box = Read("CheckBox13");
        return box && box->Checked;
    }));
    EXPECT_EQ(Windows().Send(engineWindow, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 1), GRANT);

    ASSERT_EQ(Ui({"press", "Tip"}).ExitCode, 0);
    // Pressed and handled: the window answers a page change afterwards.
    ASSERT_EQ(Ui({"page", "About"}).ExitCode, 0);
    ASSERT_TRUE(Program->Close(TITLE));
    EXPECT_EQ(Program->WaitForExit(EXIT_TIMEOUT), 0);

    // In tray mode one process holds both roles.
    ASSERT_TRUE(engine.Close(ENGINE_TITLE));
    EXPECT_EQ(engine.WaitForExit(EXIT_TIMEOUT), 0);
    StartWindow({"TRAY", "DEBUG"});
    ASSERT_EQ(Ui({"page", "R&&D"}).ExitCode, 0);
    mode = Read("Label9");
    ASSERT_TRUE(mode);
    EXPECT_EQ(mode->Text, "Mode : EC");
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes(3));
}
