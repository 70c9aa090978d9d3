// The front-ends around a user's sleep on the real Windows backend: the
// stand-in Notepad closed by each close method and started again after the
// resume, a front-end that will not close, and the navigation through Media
// Center's tray applet (slhfrontend.exe stands in for the applet and the
// shell window).
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "LogFile.h"
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

const std::string LOG_FOLDER = "C:\\slhtest";
const std::string LOG_FILE = LOG_FOLDER + "\\SLH Log.txt";
const std::string PAGES_FILE = LOG_FOLDER + "\\pages.txt";
const std::string MEDIA_CENTER_SHELL = "C:\\windows\\ehome\\ehshell.exe";
constexpr uint32_t WM_POWERBROADCAST = 0x0218;
constexpr uint64_t PBT_APMSUSPEND = 4;
constexpr uint64_t PBT_APMRESUMESUSPEND = 7;
constexpr uint64_t PBT_APMRESUMEAUTOMATIC = 0x12;
const cWindowName NOTEPAD{"Notepad", ""};
const cWindowName SHELL{"eHome Render Window", ""};
const cWindowName TRAY{"Media Center Tray Applet", ""};
constexpr auto FRONT_END_TIMEOUT = 20s;

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.rfind(start, 0) == 0;
}

class cFrontEndsWineTest : public cSlumberholdWineTest {
protected:
    void StartEngine()
    {
        Engine = StartLoggingEngine(LOG_FOLDER);
    }

    // The handler has written its lines when the broadcast returns.
    void Broadcast(uint64_t event) { EXPECT_EQ(Windows().Send(Engine, WM_POWERBROADCAST, event, 0), 1); }

    // The user puts the machine to sleep: the log lines this added.
    std::vector<std::string> Suspend()
    {
        Broadcast(PBT_APMSUSPEND);
        return NewEntries();
    }

    // The user wakes it (Wine never reports a wake as automatic).
    std::vector<std::string> Resume()
    {
        Broadcast(PBT_APMRESUMEAUTOMATIC);
        Broadcast(PBT_APMRESUMESUSPEND);
        return NewEntries();
    }

    std::vector<std::string> NewEntries()
    {
        const std::optional<cLogContent> log = ReadLogFile(HostPath(LOG_FILE));
        if (!log)
            return {};
        const std::vector<std::string> entries = LogEntries(*log);
        const std::vector<std::string> added(entries.begin() + static_cast<std::ptrdiff_t>(std::min(Seen, entries.size())),
                                             entries.end());
        Seen = entries.size();
        return added;
    }

    static bool Has(const std::vector<std::string>& entries, const std::string& start)
    {
        return std::any_of(entries.begin(), entries.end(),
                           [&](const std::string& entry) { return StartsWith(entry, start); });
    }

    cWindowName Engine;
    size_t Seen = 0;
};

}  // namespace

// Start mode 1 starts the stand-in at every user resume; each close method
// closes it again at the next suspend.
TEST_F(cFrontEndsWineTest, EachCloseMethodClosesNotepadAndTheUserResumeStartsItAgain)
{
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "eHome_FakeTarget", 1));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "eHome_StopStartMode", 1));
    cBoxWatcher& boxes = WatchMessageBoxes();
    StartEngine();
    NewEntries();

    std::vector<std::string> entries = Resume();
    EXPECT_TRUE(Has(entries, "eHome succesfully started.")) << testing::PrintToString(entries);
    ASSERT_TRUE(Windows().WaitUntilPresent(NOTEPAD, FRONT_END_TIMEOUT));

    const std::pair<int, std::string> methods[] = {
        {0, "eHome is running, closing by sending terminate signal (Handle="},
        {258, "eHome is running, closing by user simulation (Handle="},
        {257, "eHome is running, sending WM_CLOSE (Handle="},
    };
    for (const auto& [method, line] : methods) {
        SCOPED_TRACE(method);
        ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "eHome_CloseMethod", static_cast<uint32_t>(method)));
        entries = Suspend();
        EXPECT_TRUE(Has(entries, line)) << testing::PrintToString(entries);
        EXPECT_TRUE(Has(entries, method == 257 ? "WM_CLOSE request succesfull." : "Close request successfully finished ("))
            << testing::PrintToString(entries);
        EXPECT_TRUE(Windows().WaitUntilGone(NOTEPAD, FRONT_END_TIMEOUT));

        entries = Resume();
        EXPECT_TRUE(Has(entries, "eHome succesfully started.")) << testing::PrintToString(entries);
        EXPECT_TRUE(Windows().WaitUntilPresent(NOTEPAD, FRONT_END_TIMEOUT));
    }
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes());
}

// A front-end that ignores the request: the terminate signal times out and
// Media Center is never killed by it; the window message kills it.
TEST_F(cFrontEndsWineTest, AFrontEndThatWillNotCloseTimesOut)
{
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "eHome_FakeTarget", 1));
    WatchMessageBoxes();
    StartHelper("slhfrontend.exe", {"stubborn", "Notepad"});
    ASSERT_TRUE(Windows().WaitUntilPresent(NOTEPAD, FRONT_END_TIMEOUT));
    StartEngine();
    NewEntries();

    std::vector<std::string> entries = Suspend();
    EXPECT_TRUE(Has(entries, "Close request timed out")) << testing::PrintToString(entries);
    EXPECT_TRUE(Has(entries, "Unsafe to terminate the eHome process")) << testing::PrintToString(entries);
    EXPECT_TRUE(Windows().WaitUntilPresent(NOTEPAD, 1s));

    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "eHome_CloseMethod", 257));
    entries = Suspend();
    EXPECT_TRUE(Has(entries, "WM_CLOSE request not honored, the rough way now :-).")) << testing::PrintToString(entries);
    EXPECT_TRUE(Has(entries, "TerminateProcess() succesfull.")) << testing::PrintToString(entries);
    EXPECT_TRUE(Windows().WaitUntilGone(NOTEPAD, FRONT_END_TIMEOUT));
}

// Start mode 3 leaves Media Center running and sends it to its start page
// at the resume: the default page through "recorded tv" (two messages),
// another page directly.
TEST_F(cFrontEndsWineTest, NavigationThroughTheTrayApplet)
{
    const std::filesystem::path shellFile = HostPath(MEDIA_CENTER_SHELL);
    std::filesystem::create_directories(shellFile.parent_path());
    ASSERT_TRUE(std::ofstream(shellFile).good());
    const std::filesystem::path pagesFile = HostPath(PAGES_FILE);
    std::filesystem::create_directories(pagesFile.parent_path());
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "eHome_StopStartMode", 3));
    WatchMessageBoxes();
    StartHelper("slhfrontend.exe", {"tray", PAGES_FILE});
    StartHelper("slhfrontend.exe", {"shell"});
    ASSERT_TRUE(Windows().WaitUntilPresent(TRAY, FRONT_END_TIMEOUT));
    ASSERT_TRUE(Windows().WaitUntilPresent(SHELL, FRONT_END_TIMEOUT));
    StartEngine();
    NewEntries();

    const std::pair<uint32_t, std::string> cases[] = {{0, "4\r\n0\r\n"}, {2, "2\r\n"}};
    for (const auto& [page, sent] : cases) {
        SCOPED_TRACE(page);
        ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "eHome_StartPage", page));
        std::filesystem::remove(pagesFile);
        std::vector<std::string> entries = Suspend();
        EXPECT_FALSE(Has(entries, "eHome is running")) << testing::PrintToString(entries);
        entries = Resume();
        EXPECT_TRUE(Has(entries, "Start at / Move to selected page")) << testing::PrintToString(entries);
        EXPECT_EQ(Has(entries, "Move to Recorded TV first"), page == 0);
        EXPECT_FALSE(Has(entries, "SendMessageTimeout failed")) << testing::PrintToString(entries);
        std::ifstream file(pagesFile, std::ios::binary);
        std::stringstream pages;
        pages << file.rdbuf();
        EXPECT_EQ(pages.str(), sent);
        EXPECT_TRUE(Windows().WaitUntilPresent(SHELL, 1s));
    }
}
