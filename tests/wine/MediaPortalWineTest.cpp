// MediaPortal's stand-in, WordPad, around a user's sleep on the real Windows
// backend: closed at the suspend, killed when it will not close within 7 s,
// started again from its fixed path after the resume and its window waited
// for. Wine's own WordPad registers another window class than Windows' one,
// so slhwordpad.exe, with the class and title of Windows' WordPad, is put at
// that path; slhfrontend.exe gives a window of that class that will not close.
#include <algorithm>
#include <filesystem>
#include <optional>

#include "LogFile.h"
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

const std::string LOG_FOLDER = "C:\\slhtest";
const std::string LOG_FILE = LOG_FOLDER + "\\SLH Log.txt";
const std::string WORDPAD = "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe";
constexpr uint32_t WM_POWERBROADCAST = 0x0218;
constexpr uint64_t PBT_APMSUSPEND = 4;
constexpr uint64_t PBT_APMRESUMESUSPEND = 7;
constexpr uint64_t PBT_APMRESUMEAUTOMATIC = 0x12;
constexpr uint32_t START_TIMEOUT_MS = 3000;
const cWindowName WORDPAD_WINDOW{"WordPadClass", ""};
constexpr auto WINDOW_WAIT = 20s;
constexpr auto HANDLER_TIMEOUT = 60s;

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.rfind(start, 0) == 0;
}

class cMediaPortalWineTest : public cSlumberholdWineTest {
protected:
    void StartEngine()
    {
        Engine = StartLoggingEngine(LOG_FOLDER);
        NewLines();
    }

    // Posted, as closing a front-end that will not close takes longer than
    // a sent message may: the handler's lines are complete with its last one.
    std::vector<cLogLine> Broadcast(uint64_t event, const std::string& doneLine)
    {
        EXPECT_TRUE(Windows().Post(Engine, WM_POWERBROADCAST, event, 0));
        const size_t seen = Seen;
        const std::optional<cLogContent> log = WaitForLogFile(
            HostPath(LOG_FILE),
            [&](const cLogContent& content) {
                return std::any_of(content.Lines.begin() + static_cast<std::ptrdiff_t>(std::min(seen, content.Lines.size())),
                                   content.Lines.end(),
                                   [&](const std::string& line) { return StartsWith(ParseLogLine(line).Text, doneLine); });
            },
            HANDLER_TIMEOUT);
        EXPECT_TRUE(log) << "no \"" << doneLine << "\"";
        return NewLines();
    }

    std::vector<cLogLine> Suspend() { return Broadcast(PBT_APMSUSPEND, "PBT_APMSUSPEND done ("); }

    // Wine never reports a wake as automatic: this is the user's.
    std::vector<cLogLine> Resume()
    {
        std::vector<cLogLine> lines = Broadcast(PBT_APMRESUMEAUTOMATIC, "PBT_APMRESUMEAUTOMATIC done (");
        const std::vector<cLogLine> more = Broadcast(PBT_APMRESUMESUSPEND, "PBT_APMRESUMESUSPEND done (");
        lines.insert(lines.end(), more.begin(), more.end());
        return lines;
    }

    std::vector<cLogLine> NewLines()
    {
        const std::optional<cLogContent> log = ReadLogFile(HostPath(LOG_FILE));
        if (!log)
            return {};
        std::vector<cLogLine> added;
        for (size_t i = std::min(Seen, log->Lines.size()); i < log->Lines.size(); ++i)
            added.push_back(ParseLogLine(log->Lines[i]));
        Seen = log->Lines.size();
        return added;
    }

    // The first line that begins with the text.
    static const cLogLine* Find(const std::vector<cLogLine>& lines, const std::string& start)
    {
        const auto found = std::find_if(lines.begin(), lines.end(),
                                        [&](const cLogLine& line) { return StartsWith(line.Text, start); });
        return found == lines.end() ? nullptr : &*found;
    }

    // The last line before `before` that begins with the text.
    static const cLogLine* FindBefore(const std::vector<cLogLine>& lines, const cLogLine* before,
                                      const std::string& start)
    {
        for (const cLogLine* line = before; line != lines.data();) {
            --line;
            if (StartsWith(line->Text, start))
                return line;
        }
        return nullptr;
    }

    // Milliseconds between the stamps of two first lines.
    static int64_t Between(const cLogLine& from, const cLogLine& to)
    {
        const auto begin = StampTime(from.Stamp);
        const auto end = StampTime(to.Stamp);
        if (!begin || !end)
            return -1;
        return std::chrono::duration_cast<std::chrono::milliseconds>(*end - *begin).count();
    }

    static std::string Texts(const std::vector<cLogLine>& lines)
    {
        std::string text;
        for (const cLogLine& line : lines)
            text += line.Text + "\n";
        return text;
    }

    cWindowName Engine;
    size_t Seen = 0;
};

}  // namespace

TEST_F(cMediaPortalWineTest, WordPadIsClosedAtTheSuspendAndStartedAgainAfterTheResume)
{
    std::filesystem::copy_file(ProgramPath("slhwordpad.exe"), HostPath(WORDPAD),
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "MediaPortal_FakeTarget", 1));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "MediaPortal_StartTimeout", START_TIMEOUT_MS));
    cBoxWatcher& boxes = WatchMessageBoxes();
    StartHelper("slhwordpad.exe", {});
    ASSERT_TRUE(Windows().WaitUntilPresent(WORDPAD_WINDOW, WINDOW_WAIT));
    StartEngine();

    // Asked by taskkill, it closes.
    std::vector<cLogLine> lines = Suspend();
    EXPECT_TRUE(Find(lines, "MediaPortal is running, closing by sending terminate signal (Handle=")) << Texts(lines);
    EXPECT_TRUE(Find(lines, "Close request successfully finished (")) << Texts(lines);
    EXPECT_TRUE(Windows().WaitUntilGone(WORDPAD_WINDOW, WINDOW_WAIT));

    // It ran at the suspend, so it is started again. Its window has the
    // class but never MediaPortal's title: the search runs to its timeout,
    // and the window is made topmost all the same.
    lines = Resume();
    const cLogLine* started = Find(lines, "MediaPortal succesfully started");
    const cLogLine* timedOut = Find(lines, "MediaPortal window search timed out");
    ASSERT_TRUE(started && timedOut) << Texts(lines);
    EXPECT_GE(Between(*started, *timedOut), START_TIMEOUT_MS);
    EXPECT_FALSE(Find(lines, "MediaPortal window found(")) << Texts(lines);
    EXPECT_FALSE(Find(lines, "RestoreTargets() == false")) << Texts(lines);
    ASSERT_TRUE(Windows().WaitUntilPresent(WORDPAD_WINDOW, WINDOW_WAIT));
    EXPECT_EQ(Windows().IsTopmost(WORDPAD_WINDOW), true);

    // Beside it one that ignores the request: killed after the 7 s close
    // timeout.
    StartHelper("slhfrontend.exe", {"stubborn", WORDPAD_WINDOW.Class});
    const cWindowName stubborn{WORDPAD_WINDOW.Class, "stubborn"};
    ASSERT_TRUE(Windows().WaitUntilPresent(stubborn, WINDOW_WAIT));
    lines = Suspend();
    const cLogLine* late = Find(lines, "Close request timed out");
    ASSERT_TRUE(late) << Texts(lines);
    const cLogLine* closing = FindBefore(lines, late, "MediaPortal is running, closing by sending terminate signal (Handle=");
    ASSERT_TRUE(closing) << Texts(lines);
    EXPECT_GE(Between(*closing, *late), 7000);
    EXPECT_TRUE(Find(lines, "Close request successfully finished (")) << Texts(lines);
    EXPECT_TRUE(Find(lines, "MediaPortal boost successful (")) << Texts(lines);
    EXPECT_TRUE(Find(lines, "TerminateProcess() succesfull.")) << Texts(lines);
    EXPECT_TRUE(Windows().WaitUntilGone(WORDPAD_WINDOW, WINDOW_WAIT));

    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes());
}
