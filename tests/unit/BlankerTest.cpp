// The screen blanker on the simulator: its window on a thread of its own,
// what showing and hiding do per Windows family and option, the watch for a
// front-end's window, the limits in virtual time, and the end of the thread.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EngineTestBench.h"
#include "engine/PowerEvents.h"
#include "platform/WinConst.h"
#include "shell/MainWindow.h"
#include "targets/Blanker.h"

namespace {

constexpr const char* FRONT_END_CLASS = "eHome Render Window";
constexpr uint32_t OTHER_PROCESS = 0x2A0;
constexpr uint32_t BLANK_COLOUR = 0x003B1609;  // RGB(9, 22, 59)

class Blanker : public ::testing::Test, protected cEngineTestBench {
protected:
    void SetUp() override
    {
        Taskbar = Sim.Windowing().AddWindow("Shell_TrayWnd", "", OTHER_PROCESS);
        StartButton = Sim.Windowing().AddWindow("Button", "Start", OTHER_PROCESS);
        Sim.Windowing().SetWindowAnswer(StartButton, [this](uint32_t message, uintptr_t, intptr_t lParam) {
            StartButtonMessages.push_back({message, lParam});
            return intptr_t{0};
        });
    }

    cBlanker& Make(eOs os, uint8_t options = 1)
    {
        SetWindows(os);
        Version = std::make_unique<cWindowsVersion>(Sim.Get());
        Blanker_ = std::make_unique<cBlanker>(Sim.Get(), options, *Version);
        Window = Blanker_->GetWindow();
        return *Blanker_;
    }

    size_t Posted(uint32_t message)
    {
        size_t count = 0;
        for (const auto& posted : Sim.Windowing().PostedMessages())
            count += posted.Window == Window && posted.Message == message ? 1 : 0;
        return count;
    }
    bool Shown() { return Sim.Windowing().IsWindowVisible(Window); }
    void RunTo(uint64_t moment) { Sim.Windowing().RunUntil(moment); }
    std::vector<uint32_t> TaskbarFlags()
    {
        std::vector<uint32_t> flags;
        for (const auto& call : Sim.Screen().VisibilityCalls())
            if (call.Window == Taskbar)
                flags.push_back(call.Flags);
        return flags;
    }
    std::vector<std::string> Boxes()
    {
        std::vector<std::string> boxes;
        for (const auto& box : Sim.Dialogs().Shown())
            boxes.push_back(box.Caption + ": " + box.Text);
        return boxes;
    }
    // A front-end window of another process, hidden until shown.
    WindowHandle AddFrontEnd(bool visible)
    {
        const WindowHandle window = Sim.Windowing().AddWindow(FRONT_END_CLASS, "Windows Media Center", OTHER_PROCESS);
        Sim.Windowing().ShowWindow(window, visible);
        return window;
    }

    WindowHandle Taskbar = 0;
    WindowHandle StartButton = 0;
    std::vector<std::pair<uint32_t, intptr_t>> StartButtonMessages;
    std::unique_ptr<cBlanker> Blanker_;
    WindowHandle Window = 0;
};

TEST_F(Blanker, ItsWindowLivesOnItsOwnThreadAndEachRequestPostsOnce)
{
    cBlanker& blanker = Make(eOs::Windows7);
    ASSERT_NE(Window, 0u);
    EXPECT_EQ(Sim.Threads().StartedNames().back(), "SLH blanking thread");
    const cCoverWindowLook* look = Sim.Screen().Look(Window);
    ASSERT_NE(look, nullptr);
    EXPECT_EQ(look->ClassName, "BlankerWindow");
    EXPECT_EQ(look->Title, "SLH blanker");
    EXPECT_EQ(look->ClassStyle, 11u);
    EXPECT_EQ(look->Style, 0x81000080u);
    // Black unless the dark-blue bit is set.
    EXPECT_EQ(look->BackgroundColour, 0u);
    EXPECT_EQ(look->Cursor, 32650u);
    EXPECT_FALSE(Shown());

    blanker.StartBlanking();
    blanker.StartBlanking();
    EXPECT_EQ(Posted(MSG_BLANK_SHOW), 1u);
    EXPECT_TRUE(blanker.IsBlanking());
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(Sim.Screen().IsTopmost(Window));
    EXPECT_EQ(Sim.Screen().CursorCount(), -1);

    blanker.StopBlanking(true);
    blanker.StopBlanking(true);
    EXPECT_EQ(Posted(MSG_BLANK_HIDE), 1u);
    EXPECT_FALSE(blanker.IsBlanking());
    EXPECT_FALSE(Shown());
    EXPECT_EQ(Sim.Screen().CursorCount(), 0);

    // A watch asked for while not blanking is no watch: the window that
    // appears later does not end the next blanking.
    blanker.WatchForWindow(FRONT_END_CLASS, 0);
    blanker.StartBlanking();
    AddFrontEnd(true);
    RunTo(Sim.Clock().Now() + 60000);
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(blanker.IsBlanking());
}

// What showing changes and hiding gives back, per Windows family and option.
TEST_F(Blanker, ShowingAndHidingPerWindowsFamilyAndOption)
{
    struct cCase {
        eOs Os;
        uint8_t Options;
        bool RestartPending;
        uint32_t ExStyle;
        int CursorWhileShown;
        std::vector<uint32_t> Taskbar;  // SetWindowPos flags: hide, then show
        uint32_t DesktopWhileShown;
    };
    constexpr uint32_t XP_BLUE = 0x00A56E3A;
    const cCase cases[] = {
        {eOs::Windows7, 1, true, 0, -1, {}, XP_BLUE},
        {eOs::Windows7, 0x22, true, 0x00080000, 0, {}, XP_BLUE},
        {eOs::Vista, 1, true, 0, -1, {SWP_HIDEWINDOW, SWP_SHOWWINDOW}, XP_BLUE},
        {eOs::Vista, 1, false, 0, -1, {SWP_HIDEWINDOW, SWP_SHOWWINDOW | SWP_NOREDRAW}, XP_BLUE},
        {eOs::XP, 1, true, 0, -1, {SWP_HIDEWINDOW, SWP_SHOWWINDOW}, 0x000000},
        {eOs::XP, 0x24, true, 0, 0, {SWP_HIDEWINDOW, SWP_SHOWWINDOW}, 0x808080},
    };
    for (const cCase& test : cases) {
        SCOPED_TRACE(testing::Message() << "os " << static_cast<int>(test.Os) << ", options " << int(test.Options)
                                        << ", restart pending " << test.RestartPending);
        Blanker_.reset();
        const size_t callsBefore = Sim.Screen().VisibilityCalls().size();
        StartButtonMessages.clear();
        cBlanker& blanker = Make(test.Os, test.Options);
        EXPECT_EQ(Sim.Screen().Look(Window)->ExStyle, test.ExStyle);
        EXPECT_EQ(Sim.Screen().Look(Window)->Alpha, test.ExStyle ? 210 : 255);
        EXPECT_EQ(Sim.Screen().Look(Window)->BackgroundColour, test.Options & 0x04 ? BLANK_COLOUR : 0u);

        blanker.StartBlanking();
        EXPECT_TRUE(Shown());
        EXPECT_EQ(Sim.Screen().CursorCount(), test.CursorWhileShown);
        EXPECT_EQ(Sim.Windowing().IsWindowVisible(Taskbar), test.Taskbar.empty());
        EXPECT_EQ(Sim.Windowing().IsWindowVisible(StartButton), test.Taskbar.empty());
        EXPECT_EQ(Sim.Screen().DesktopColour(), test.DesktopWhileShown);
        EXPECT_EQ(Sim.Screen().WallpaperRemoved(), test.Os == eOs::XP);
        if (test.Os == eOs::XP) {
            EXPECT_EQ(Sim.Screen().CursorX(), 5000);
            EXPECT_EQ(Sim.Screen().CursorY(), 5000);
        }

        blanker.StopBlanking(test.RestartPending);
        EXPECT_FALSE(Shown());
        EXPECT_EQ(Sim.Screen().CursorCount(), 0);
        EXPECT_TRUE(Sim.Windowing().IsWindowVisible(Taskbar));
        EXPECT_TRUE(Sim.Windowing().IsWindowVisible(StartButton));
        EXPECT_EQ(Sim.Screen().DesktopColour(), XP_BLUE);
        EXPECT_FALSE(Sim.Screen().WallpaperRemoved());
        std::vector<uint32_t> flags;
        for (size_t i = callsBefore; i < Sim.Screen().VisibilityCalls().size(); ++i)
            if (Sim.Screen().VisibilityCalls()[i].Window == Taskbar)
                flags.push_back(Sim.Screen().VisibilityCalls()[i].Flags);
        EXPECT_EQ(flags, test.Taskbar);
        // The Start button is told to redraw whenever it is shown again.
        const std::vector<std::pair<uint32_t, intptr_t>> redraw{{WM_MOUSEMOVE, 0x00010001}};
        EXPECT_EQ(StartButtonMessages, test.Taskbar.empty() ? decltype(redraw){} : redraw);
    }
}

TEST_F(Blanker, HideTaskBarOnlyWhileBlankingAndOnlyBeforeWindows7)
{
    for (eOs os : {eOs::Windows7, eOs::Vista}) {
        SCOPED_TRACE(static_cast<int>(os));
        Blanker_.reset();
        Sim.Windowing().ShowWindow(Taskbar, true);
        cBlanker& blanker = Make(os);
        blanker.HideTaskBar();
        EXPECT_TRUE(Sim.Windowing().IsWindowVisible(Taskbar));
        blanker.StartBlanking();
        // A front-end closed at the suspend may have shown the taskbar again.
        Sim.Windowing().ShowWindow(Taskbar, true);
        blanker.HideTaskBar();
        EXPECT_EQ(Sim.Windowing().IsWindowVisible(Taskbar), os == eOs::Windows7);
    }
}

// The front-end's window exists but is hidden: the wait goes on until it is
// visible; then the front-end has the delay to draw itself, and the blanking
// ends as a finished start (restart-pending false).
TEST_F(Blanker, TheWatchWaitsForTheVisibleWindowAndThenTheDelay)
{
    cBlanker& blanker = Make(eOs::Vista);
    const WindowHandle frontEnd = AddFrontEnd(false);
    blanker.StartBlanking();
    const uint64_t start = Sim.Clock().Now();
    blanker.WatchForWindow(FRONT_END_CLASS, 3000);

    RunTo(start + 10000);
    EXPECT_TRUE(Shown());
    Sim.Windowing().ShowWindow(frontEnd, true);
    // Seen at the next tick of the 100 ms timer, 10100; uncovered 3000 ms later.
    RunTo(start + 13099);
    EXPECT_TRUE(blanker.IsBlanking());
    RunTo(start + 13100);
    EXPECT_FALSE(blanker.IsBlanking());
    EXPECT_FALSE(Shown());
    EXPECT_EQ(TaskbarFlags().back(), SWP_SHOWWINDOW | SWP_NOREDRAW);
    EXPECT_TRUE(Boxes().empty());
}

// Neither window ever shows: the watch gives up at 45 s, and 60 s after a
// user wake the screen is uncovered in any case; both as an unfinished start
// (restart-pending true), with the debug box under option 0x10.
TEST_F(Blanker, BothLimitsEndTheBlankingAtTheirBoundary)
{
    struct cCase {
        const char* Name;
        bool Watch;
        uint64_t Limit;
        const char* Box;
    };
    const cCase cases[] = {
        {"watch", true, 45000, "SLH Blanker debug: Target start detection timeout"},
        {"user wake", false, 60000, "SLH Blanker debug: Failed to meet unblank requirements"},
    };
    for (const cCase& test : cases) {
        SCOPED_TRACE(test.Name);
        Blanker_.reset();
        const size_t boxesBefore = Boxes().size();
        cBlanker& blanker = Make(eOs::Vista, 0x12);
        blanker.StartBlanking();
        const uint64_t start = Sim.Clock().Now();
        if (test.Watch)
            blanker.WatchForWindow(FRONT_END_CLASS, 3000);
        else
            EXPECT_EQ(Sim.Windowing().SendMessage(Window, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0), 1);

        RunTo(start + test.Limit - 1);
        EXPECT_TRUE(Shown());
        EXPECT_EQ(Boxes().size(), boxesBefore);
        RunTo(start + test.Limit);
        EXPECT_FALSE(Shown());
        EXPECT_FALSE(blanker.IsBlanking());
        EXPECT_EQ(TaskbarFlags().back(), SWP_SHOWWINDOW);
        ASSERT_EQ(Boxes().size(), boxesBefore + 1);
        EXPECT_EQ(Boxes().back(), test.Box);
        EXPECT_EQ(Sim.Dialogs().Shown().back().Style & MB_SYSTEMMODAL, MB_SYSTEMMODAL);
    }
}

// The user can always take the blank screen away, even while a front-end is
// still starting; Alt+F4 (WM_CLOSE) cannot.
TEST_F(Blanker, ADoubleClickEndsTheBlankingAtOnceAndWmCloseDoesNot)
{
    cBlanker& blanker = Make(eOs::Vista, 0x10);
    blanker.StartBlanking();
    blanker.WatchForWindow(FRONT_END_CLASS, 3000);
    Sim.Windowing().PostMessage(Window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Shown());
    EXPECT_EQ(Sim.Windowing().FindWindow("BlankerWindow", ""), Window);

    Sim.Windowing().PostMessage(Window, WM_LBUTTONDBLCLK, 0, 0x00100010);
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(blanker.IsBlanking());
    EXPECT_EQ(TaskbarFlags().back(), SWP_SHOWWINDOW);
    // The watch went with it: no timeout later.
    RunTo(Sim.Clock().Now() + 60000);
    EXPECT_TRUE(Boxes().empty());
}

// Requests that reach the thread only after the next one was made (the
// thread was busy): the state the main thread asked for last wins.
TEST_F(Blanker, RequestsMadeBeforeTheThreadRunsEndInTheLastOnesState)
{
    cBlanker& blanker = Make(eOs::Vista);
    Sim.Windowing().HoldThreadDelivery(true);
    blanker.StartBlanking();
    blanker.StopBlanking(true);
    Sim.Windowing().HoldThreadDelivery(false);
    EXPECT_FALSE(blanker.IsBlanking());
    EXPECT_FALSE(Shown());
    // Never shown, so the taskbar and the cursor were never touched.
    EXPECT_TRUE(TaskbarFlags().empty());
    EXPECT_EQ(Sim.Screen().CursorCount(), 0);

    blanker.StartBlanking();
    Sim.Windowing().HoldThreadDelivery(true);
    blanker.StopBlanking(false);
    blanker.StartBlanking();
    Sim.Windowing().HoldThreadDelivery(false);
    EXPECT_TRUE(blanker.IsBlanking());
    EXPECT_TRUE(Shown());
    blanker.StopBlanking(true);
    EXPECT_FALSE(Shown());
}

// A failing message queue shows its error once per failure and does not
// stop the blanker; two failures in a row end the thread instead of
// stacking up boxes, and nothing is left blank.
TEST_F(Blanker, AFailingMessageLoopEndsAfterTwoFailuresInARow)
{
    cBlanker& blanker = Make(eOs::Windows7);
    Sim.Errors().SetLastError(5);
    Sim.Screen().FailNextPumps(1);
    blanker.StartBlanking();
    EXPECT_TRUE(Shown());
    blanker.StopBlanking(true);
    EXPECT_FALSE(Shown());
    ASSERT_EQ(Sim.Dialogs().Shown().size(), 1u);
    EXPECT_EQ(Sim.Dialogs().Shown()[0].Caption, "BlankerWindow - GetLastError");
    EXPECT_EQ(Sim.Dialogs().Shown()[0].Style, MB_ICONINFORMATION);

    Sim.Screen().FailNextPumps(100);
    blanker.StartBlanking();
    EXPECT_EQ(Sim.Dialogs().Shown().size(), 3u);
    EXPECT_EQ(Sim.Threads().RunningThreads(), 0);
    EXPECT_FALSE(blanker.IsBlanking());
    EXPECT_EQ(Sim.Windowing().FindWindow("BlankerWindow", ""), 0u);
    Blanker_.reset();
    EXPECT_EQ(Sim.Threads().BrokenOffWaits(), 0);
}

TEST_F(Blanker, WithoutItsWindowNothingIsEverBlanked)
{
    Sim.Screen().SetCreationFails(true);
    cBlanker& blanker = Make(eOs::Vista);
    EXPECT_EQ(Window, 0u);
    blanker.StartBlanking();
    EXPECT_FALSE(blanker.IsBlanking());
    blanker.WatchForWindow(FRONT_END_CLASS, 0);
    blanker.HideTaskBar();
    EXPECT_TRUE(Sim.Windowing().IsWindowVisible(Taskbar));
    Blanker_.reset();
    EXPECT_EQ(Sim.Threads().RunningThreads(), 0);
}

// The destruction uncovers the screen and joins the thread, also with a
// watch and the user-wake limit still running.
TEST_F(Blanker, DestructionUncoversTheScreenAndJoinsTheThread)
{
    cBlanker& blanker = Make(eOs::Vista);
    blanker.StartBlanking();
    blanker.WatchForWindow(FRONT_END_CLASS, 3000);
    Sim.Windowing().SendMessage(Window, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    RunTo(Sim.Clock().Now() + 1000);
    const uint64_t before = Sim.Clock().Now();
    Blanker_.reset();
    EXPECT_EQ(Sim.Clock().Now(), before);
    EXPECT_EQ(Sim.Threads().RunningThreads(), 0);
    EXPECT_EQ(Sim.Threads().BrokenOffWaits(), 0);
    EXPECT_EQ(Sim.Windowing().FindWindow("BlankerWindow", ""), 0u);
    EXPECT_TRUE(Sim.Windowing().IsWindowVisible(Taskbar));
    EXPECT_EQ(Sim.Screen().CursorCount(), 0);
}

}  // namespace

namespace {

// The whole program in each role: the engine it builds owns a blanker, and
// closing the program ends the blanker's thread, also while a wake's watch
// for the front-end is still running.
TEST(BlankerInTheProgram, ClosingTheProgramJoinsTheBlankerThreadInEveryRole)
{
    struct cCase {
        std::vector<std::string> Switches;
        bool HandlesPowerEvents;
    };
    const cCase cases[] = {{{"ENGINE"}, true}, {{"TRAY"}, true}, {{}, false}};
    for (const cCase& test : cases) {
        SCOPED_TRACE(testing::PrintToString(test.Switches));
        cSimWindows sim;
        sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "RebootMode", 0);
        // Media Center is started at every user resume, so the engine blanks
        // at the suspend and watches for its window after the resume.
        sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "eHome_StopStartMode", 1);
        // The stand-in front-end's window comes at once; it is then given
        // 30 s to draw itself, so the watch still runs when the program closes.
        sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "eHome_FakeTarget", 1);
        sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "UnblankDelay", 30000);
        cSimProgram notepad;
        notepad.Match = "notepad.exe";
        notepad.RunTime = cSimProgram::RUNS_FOREVER;
        notepad.WindowClass = "Notepad";
        sim.Processes().AddProgram(notepad);
        std::vector<std::string> arguments{"C:\\Slumberhold.exe"};
        arguments.insert(arguments.end(), test.Switches.begin(), test.Switches.end());
        sim.Processes().SetArguments(arguments);
        auto main = std::make_unique<TfMain>(sim.Get());
        sim.Windowing().ProcessMessages();
        const WindowHandle blanker = sim.Windowing().FindWindow("BlankerWindow", "SLH blanker");
        ASSERT_NE(blanker, 0u);

        if (test.HandlesPowerEvents) {
            sim.Windowing().SendMessage(main->Handle(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
            EXPECT_TRUE(sim.Windowing().IsWindowVisible(blanker));
            sim.Windowing().SendMessage(main->Handle(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
            sim.Windowing().SendMessage(main->Handle(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
            sim.Windowing().RunUntil(sim.Clock().Now() + 5000);
            EXPECT_NE(sim.Windowing().FindWindow("Notepad", ""), 0u);
            EXPECT_TRUE(sim.Windowing().IsWindowVisible(blanker));
        }
        main.reset();
        EXPECT_EQ(sim.Threads().RunningThreads(), 0);
        EXPECT_EQ(sim.Threads().BrokenOffWaits(), 0);
        EXPECT_EQ(sim.Windowing().FindWindow("BlankerWindow", ""), 0u);
        EXPECT_EQ(sim.Screen().CursorCount(), 0);
    }
}

}  // namespace
