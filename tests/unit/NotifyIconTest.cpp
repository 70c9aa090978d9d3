#include <gtest/gtest.h>

#include <string>

#include "foundation/MessageBoxes.h"
#include "foundation/NotifyIcon.h"
#include "foundation/PopupMenu.h"
#include "platform/WinConst.h"
#include "platform/sim/SimWindows.h"

namespace {

constexpr uint32_t CALLBACK_MESSAGE = 0x87CD;

class cIdleProcedure : public cWindowProcedure {
public:
    bool HandleMessage(uint32_t, uintptr_t, intptr_t, intptr_t&) override { return false; }
};

// An icon for a hidden window of the simulated program.
class NotifyIcon : public ::testing::Test {
protected:
    NotifyIcon()
        : Window(Sim.Windowing().CreateMainWindow("TApplication", "Slumberhold", Procedure)),
          Icon(Sim.Get(), "Slumberhold", "IDI_ICON2", Window, CALLBACK_MESSAGE)
    {
    }

    cSimWindows Sim;
    cIdleProcedure Procedure;
    WindowHandle Window;
    cNotifyIcon Icon;
};

TEST_F(NotifyIcon, AnnouncesItsVersionAndMovesIntoTheTrayAndOut)
{
    ASSERT_EQ(Sim.Shell().Calls().size(), 1u);
    const cNotifyIconData& announced = Sim.Shell().Calls()[0].Data;
    EXPECT_EQ(Sim.Shell().Calls()[0].Message, NIM_SETVERSION);
    EXPECT_EQ(announced.Version, NOTIFYICON_VERSION);
    EXPECT_EQ(announced.Window, Window);
    EXPECT_EQ(announced.Id, 0u);
    EXPECT_EQ(announced.Flags, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    EXPECT_EQ(announced.CallbackMessage, CALLBACK_MESSAGE);
    EXPECT_EQ(announced.Icon, cSimShell::ICON_HANDLE);
    EXPECT_STREQ(announced.Tip.data(), "Slumberhold");

    EXPECT_EQ(Icon.MoveToTray(), 1);
    EXPECT_TRUE(Sim.Shell().HasIcon(Window));
    // A second add is refused by the shell; the caller sees why.
    Sim.Errors().SetLastError(5);
    EXPECT_EQ(Icon.MoveToTray(), -1);
    EXPECT_EQ(Icon.Hide(), 1);
    EXPECT_FALSE(Sim.Shell().HasIcon(Window));
    EXPECT_EQ(Icon.Hide(), -1);
}

TEST_F(NotifyIcon, TextsAreCutToTheirFieldsWithTheirTerminatingZero)
{
    cNotifyIcon longTip(Sim.Get(), std::string(200, 't'), "IDI_ICON2", Window, CALLBACK_MESSAGE);
    EXPECT_EQ(std::string(longTip.GetDataForTesting().Tip.data()), std::string(127, 't'));

    ASSERT_EQ(Icon.MoveToTray(), 1);
    struct cCase {
        size_t TitleLength;
        size_t TextLength;
        size_t TitleShown;
        size_t TextShown;
    };
    const cCase cases[] = {
        {63, 255, 63, 255},
        {64, 256, 63, 255},
        {300, 1000, 63, 255},
        {0, 0, 0, 0},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.TitleLength);
        EXPECT_TRUE(Icon.ShowBalloon(std::string(c.TitleLength, 'T'), std::string(c.TextLength, 'x'), NIIF_WARNING));
        const cNotifyIconData& sent = Sim.Shell().Calls().back().Data;
        EXPECT_EQ(Sim.Shell().Calls().back().Message, NIM_MODIFY);
        EXPECT_EQ(std::string(sent.InfoTitle.data()), std::string(c.TitleShown, 'T'));
        EXPECT_EQ(std::string(sent.Info.data()), std::string(c.TextShown, 'x'));
        EXPECT_EQ(sent.InfoTitle.back(), '\0');
        EXPECT_EQ(sent.Info.back(), '\0');
        EXPECT_EQ(sent.InfoFlags, NIIF_WARNING);
        EXPECT_EQ(sent.Flags, NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO);
    }
}

TEST_F(NotifyIcon, ABalloonBeforeTheTrayAppearsWithTheIcon)
{
    EXPECT_FALSE(Icon.ShowBalloon("Slumberhold", "Sleep state not set", NIIF_ERROR));
    ASSERT_EQ(Icon.MoveToTray(), 1);
    const cNotifyIconData& added = Sim.Shell().Calls().back().Data;
    EXPECT_TRUE(added.Flags & NIF_INFO);
    EXPECT_STREQ(added.Info.data(), "Sleep state not set");
}

TEST_F(NotifyIcon, DoubleClickRunsTheDefaultItemAndRightClickOpensTheMenuAtTheCursor)
{
    int opened = 0;
    int popups = 0;
    cMenuItem open(0x7E01, "Configure", [&] { ++opened; });
    cMenuItem exit(0x7E02, "Exit", [] {});
    cPopupMenu menu(Sim.Get(), Window, [&] { ++popups; });
    menu.Add(open);
    menu.AddSeparator();
    menu.Add(exit);
    Icon.SetPopupMenu(&menu);
    Icon.SetDefaultItem(&open);

    EXPECT_TRUE(Icon.HandleCallbackMessage(WM_LBUTTONDBLCLK));
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(Sim.Windowing().IsWindowVisible(Window));

    Sim.Shell().SetCursorPos(1200, 780);
    EXPECT_TRUE(Icon.HandleCallbackMessage(WM_RBUTTONUP));
    EXPECT_EQ(popups, 1);
    ASSERT_EQ(Sim.Shell().Menus().size(), 1u);
    const cSimShell::cShownMenu& shown = Sim.Shell().Menus()[0];
    EXPECT_EQ(shown.Owner, Window);
    EXPECT_EQ(shown.X, 1200);
    EXPECT_EQ(shown.Y, 780);
    ASSERT_EQ(shown.Entries.size(), 3u);
    EXPECT_EQ(shown.Entries[0].Caption, "Configure");
    EXPECT_EQ(shown.Entries[1].Caption, "");
    EXPECT_EQ(shown.Entries[2].Caption, "Exit");
    EXPECT_TRUE(menu.Dispatch(0x7E01));
    EXPECT_EQ(opened, 2);
    EXPECT_FALSE(menu.Dispatch(0x7E03));

    // Other mouse events are left to the default handling.
    for (intptr_t event : {0x0200, 0x0201, 0x0202, 0x0204})
        EXPECT_FALSE(Icon.HandleCallbackMessage(event)) << event;
}

TEST_F(NotifyIcon, WithoutDefaultItemADoubleClickShowsTheHiddenOwnerAndWithoutMenuARightClickIsLeft)
{
    EXPECT_TRUE(Icon.HandleCallbackMessage(WM_LBUTTONDBLCLK));
    EXPECT_TRUE(Sim.Windowing().IsWindowVisible(Window));
    EXPECT_EQ(Sim.Windowing().ForegroundWindow(), Window);

    EXPECT_FALSE(Icon.HandleCallbackMessage(WM_RBUTTONUP));
    EXPECT_TRUE(Sim.Shell().Menus().empty());
}

TEST_F(NotifyIcon, DestructionRemovesTheIconFromTheTray)
{
    {
        cNotifyIcon second(Sim.Get(), "Second", "IDI_ICON2", Window, CALLBACK_MESSAGE);
        ASSERT_EQ(second.MoveToTray(), 1);
        EXPECT_TRUE(Sim.Shell().HasIcon(Window));
    }
    EXPECT_FALSE(Sim.Shell().HasIcon(Window));
    EXPECT_EQ(Sim.Shell().Calls().back().Message, NIM_DELETE);
}

TEST(MessageBoxes, ButtonsReadInEnglishWhateverTheLanguageOfWindows)
{
    cSimWindows sim;
    sim.Dialogs().SetButtonCaptions({{1, "Aceptar"}, {2, "Cancelar"}, {6, "Ja"}, {7, "Nein"}});
    sim.Dialogs().QueueAnswer(IDNO);
    EXPECT_EQ(ShowMessageBox(sim.Dialogs(), 0x10010, "Really?", "Question", MB_YESNO), IDNO);
    ShowMessageBox(sim.Dialogs(), 0, "Done", "", MB_OK);
    // OK Cancel: only OK is renamed.
    ShowMessageBox(sim.Dialogs(), 0, "Go on?", "", 1);

    const auto& boxes = sim.Dialogs().Shown();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].Owner, 0x10010u);
    EXPECT_EQ(boxes[0].Text, "Really?");
    EXPECT_EQ(boxes[0].Caption, "Question");
    auto captions = [](const cSimMessageBox& box) {
        std::vector<std::string> texts;
        for (const cButtonText& button : box.Buttons)
            texts.push_back(button.Text);
        return texts;
    };
    EXPECT_EQ(captions(boxes[0]), (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(captions(boxes[1]), (std::vector<std::string>{"OK"}));
    EXPECT_EQ(captions(boxes[2]), (std::vector<std::string>{"OK", "Cancelar"}));
}

}  // namespace
