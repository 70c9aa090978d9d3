// The blank screen on the real Windows backend, seen in screenshots of the
// X display: it covers the whole screen during a user's sleep, goes once the
// front-end's window (the stand-in Notepad) is visible after the resume or
// at a double-click, and never comes with BlankScreen 0.
#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "LogFile.h"
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

const std::string LOG_FOLDER = "C:\\slhtest";
const std::string LOG_FILE = LOG_FOLDER + "\\SLH Log.txt";
constexpr uint32_t WM_POWERBROADCAST = 0x0218;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint64_t PBT_APMSUSPEND = 4;
constexpr uint64_t PBT_APMRESUMESUSPEND = 7;
constexpr uint64_t PBT_APMRESUMEAUTOMATIC = 0x12;
const cWindowName NOTEPAD{"Notepad", ""};
const cWindowName BLANKER{"BlankerWindow", "SLH blanker"};
constexpr uint32_t BLANK_RGB = 0x09163B;  // RGB(9, 22, 59)
// Kept in the build tree for a person to look at (xwud -in FILE).
const char* const SAVED_SCREENSHOT = "blanker-screenshot.xwd";
constexpr auto SCREEN_TIMEOUT = 15s;
constexpr auto FRONT_END_TIMEOUT = 20s;

// An XWD file of the root window, as xwd writes it: a big-endian header of
// 25 32-bit fields, the window name, the colour map, then the pixels.
struct cScreenshot {
    uint32_t Width = 0;
    uint32_t Height = 0;
    std::vector<uint32_t> Pixels;  // 0xRRGGBB, row by row

    uint32_t At(uint32_t x, uint32_t y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }

    // The centre and the four corners, where a window that covers the whole
    // screen shows.
    std::vector<uint32_t> Probes() const
    {
        return {At(Width / 2, Height / 2), At(0, 0), At(Width - 1, 0), At(0, Height - 1), At(Width - 1, Height - 1)};
    }
};

uint32_t ReadBig32(const std::vector<uint8_t>& data, size_t offset)
{
    return uint32_t{data[offset]} << 24 | uint32_t{data[offset + 1]} << 16 | uint32_t{data[offset + 2]} << 8 |
           data[offset + 3];
}

std::optional<cScreenshot> ParseXwd(const std::vector<uint8_t>& data)
{
    constexpr size_t HEADER_FIELDS = 25;
    constexpr size_t COLOUR_ENTRY_SIZE = 12;
    constexpr uint32_t DIRECT_COLOR = 5;
    if (data.size() < HEADER_FIELDS * 4)
        return std::nullopt;
    auto field = [&](size_t index) { return ReadBig32(data, index * 4); };
    const uint32_t headerSize = field(0);
    const uint32_t format = field(2);
    const uint32_t byteOrder = field(7);
    const uint32_t bitsPerPixel = field(11);
    const uint32_t bytesPerLine = field(12);
    const uint32_t visualClass = field(13);
    const uint32_t masks[3] = {field(14), field(15), field(16)};
    const uint32_t colours = field(19);
    cScreenshot shot;
    shot.Width = field(4);
    shot.Height = field(5);
    const size_t start = size_t{headerSize} + size_t{colours} * COLOUR_ENTRY_SIZE;
    // ZPixmap of 24- or 32-bit pixels, as Xvfb's 24-bit screen gives
    // (TrueColor, or DirectColor once a program has installed a colour map).
    if (format != 2 || (bitsPerPixel != 24 && bitsPerPixel != 32) || shot.Width == 0 || shot.Height == 0 ||
        size_t{bytesPerLine} < size_t{shot.Width} * bitsPerPixel / 8 ||
        data.size() < start + size_t{bytesPerLine} * shot.Height || masks[0] == 0 || masks[1] == 0 ||
        masks[2] == 0)
        return std::nullopt;
    // DirectColor: each channel's value is an index into the colour map,
    // whose entries hold 16-bit red, green and blue.
    auto channel = [&](uint32_t value, int which) -> uint32_t {
        if (visualClass != DIRECT_COLOR || value >= colours)
            return value & 0xFF;
        const size_t entry = size_t{headerSize} + size_t{value} * COLOUR_ENTRY_SIZE + 4 + size_t(which) * 2;
        return data[entry];
    };
    const size_t bytes = bitsPerPixel / 8;
    shot.Pixels.reserve(size_t{shot.Width} * shot.Height);
    for (uint32_t y = 0; y < shot.Height; ++y) {
        for (uint32_t x = 0; x < shot.Width; ++x) {
            const size_t at = start + size_t{y} * bytesPerLine + size_t{x} * bytes;
            uint32_t value = 0;
            for (size_t i = 0; i < bytes; ++i)
                value |= uint32_t{data[at + (byteOrder == 1 ? bytes - 1 - i : i)]} << (8 * i);
            uint32_t rgb = 0;
            for (int which = 0; which < 3; ++which)
                rgb = rgb << 8 | channel((value & masks[which]) >> std::countr_zero(masks[which]), which);
            shot.Pixels.push_back(rgb);
        }
    }
    return shot;
}

class cBlankerWineTest : public cSlumberholdWineTest {
protected:
    void StartEngine()
    {
        Engine = StartLoggingEngine(LOG_FOLDER);
        ASSERT_TRUE(Windows().WaitUntilPresent(BLANKER, WINDOW_TIMEOUT));
    }

    // The handler has done its work when the broadcast returns.
    void Broadcast(uint64_t event) { EXPECT_EQ(Windows().Send(Engine, WM_POWERBROADCAST, event, 0), 1); }
    void Suspend() { Broadcast(PBT_APMSUSPEND); }
    // The user wakes the machine (Wine never reports a wake as automatic).
    void Resume()
    {
        Broadcast(PBT_APMRESUMEAUTOMATIC);
        Broadcast(PBT_APMRESUMESUSPEND);
    }

    // The root window as it is now, also kept in the test's folder.
    std::optional<cScreenshot> Screenshot()
    {
        const std::string file = HostPath("C:\\screen.xwd");
        std::filesystem::remove(file);
        cLaunch launch;
        launch.Arguments = {"xwd", "-root", "-silent", "-display", Display(), "-out", file};
        const cRunResult run = RunToEnd(launch, 10s);
        if (!run.Finished || run.ExitCode != 0) {
            std::cerr << "xwd failed: finished " << run.Finished << ", exit code " << run.ExitCode << "\n";
            return std::nullopt;
        }
        std::ifstream in(file, std::ios::binary);
        const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        LastScreenshotFile = file;
        std::optional<cScreenshot> shot = ParseXwd(data);
        if (!shot) {
            std::cerr << "unreadable screenshot of " << data.size() << " bytes:";
            for (size_t i = 0; i + 4 <= 100 && i + 4 <= data.size(); i += 4)
                std::cerr << " " << ReadBig32(data, i);
            std::cerr << "\n";
        }
        return shot;
    }

    // Polls until every probe of the screen shows the blank colour
    // (covered) or none does; the last screenshot's probes go to probes.
    bool WaitForScreen(bool covered, std::vector<uint32_t>& probes)
    {
        const auto deadline = std::chrono::steady_clock::now() + SCREEN_TIMEOUT;
        do {
            // A screenshot that fails (xwd under load) is taken again.
            if (const std::optional<cScreenshot> shot = Screenshot()) {
                probes = shot->Probes();
                const auto blank = [](uint32_t rgb) { return rgb == BLANK_RGB; };
                if (covered ? std::all_of(probes.begin(), probes.end(), blank)
                            : std::none_of(probes.begin(), probes.end(), blank))
                    return true;
            }
            std::this_thread::sleep_for(200ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return false;
    }

    bool WaitForBlanker(bool visible, std::chrono::milliseconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        do {
            if (Windows().IsVisible(BLANKER) == visible)
                return true;
            std::this_thread::sleep_for(100ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return false;
    }

    std::vector<std::string> NewEntries()
    {
        const std::optional<cLogContent> log = ReadLogFile(HostPath(LOG_FILE));
        if (!log)
            return {};
        const std::vector<std::string> entries = LogEntries(*log);
        const std::vector<std::string> added(
            entries.begin() + static_cast<std::ptrdiff_t>(std::min(Seen, entries.size())), entries.end());
        Seen = entries.size();
        return added;
    }

    static bool Has(const std::vector<std::string>& entries, const std::string& text)
    {
        return std::any_of(entries.begin(), entries.end(),
                           [&](const std::string& entry) { return entry.rfind(text, 0) == 0; });
    }

    cWindowName Engine;
    std::string LastScreenshotFile;
    size_t Seen = 0;
};

}  // namespace

// Start mode 1 starts the stand-in at every user resume, so the engine
// blanks at every user suspend and watches for Notepad's window after the
// resume. One engine run: the cover and its end by the front-end, its end
// by a double-click, and no cover once BlankScreen is 0.
TEST_F(cBlankerWineTest, TheUserSuspendCoversTheScreenUntilTheFrontEndOrADoubleClickEndsIt)
{
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "eHome_FakeTarget", 1));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "eHome_StopStartMode", 1));
    // Blanking on, in dark blue rather than black, so that the cover is told
    // apart from an unpainted screen.
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "BlankScreen", 5));
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "UnblankDelay", 500));
    cBoxWatcher& boxes = WatchMessageBoxes();
    StartEngine();
    EXPECT_EQ(Windows().IsVisible(BLANKER), false);
    NewEntries();
    std::vector<uint32_t> probes;

    Suspend();
    EXPECT_TRUE(Has(NewEntries(), "Blank"));
    ASSERT_TRUE(WaitForScreen(true, probes)) << testing::PrintToString(probes);
    std::filesystem::copy_file(LastScreenshotFile, SAVED_SCREENSHOT,
                               std::filesystem::copy_options::overwrite_existing);

    Resume();
    EXPECT_TRUE(Has(NewEntries(), "eHome succesfully started."));
    EXPECT_TRUE(Windows().WaitUntilPresent(NOTEPAD, FRONT_END_TIMEOUT));
    EXPECT_TRUE(WaitForBlanker(false, FRONT_END_TIMEOUT));
    EXPECT_TRUE(WaitForScreen(false, probes)) << testing::PrintToString(probes);

    Suspend();
    EXPECT_TRUE(Windows().WaitUntilGone(NOTEPAD, FRONT_END_TIMEOUT));
    ASSERT_TRUE(WaitForBlanker(true, 10s));
    ASSERT_TRUE(Windows().Post(BLANKER, WM_LBUTTONDBLCLK, 0, 0x01900280));
    EXPECT_TRUE(WaitForBlanker(false, 5s));

    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "BlankScreen", 0));
    Resume();
    EXPECT_TRUE(Windows().WaitUntilPresent(NOTEPAD, FRONT_END_TIMEOUT));
    NewEntries();
    Suspend();
    EXPECT_FALSE(Has(NewEntries(), "Blank"));
    EXPECT_TRUE(Windows().WaitUntilGone(NOTEPAD, FRONT_END_TIMEOUT));
    EXPECT_EQ(Windows().IsVisible(BLANKER), false);
    ASSERT_TRUE(WaitForScreen(false, probes)) << testing::PrintToString(probes);
    EXPECT_EQ(WithoutSummaryBoxes(boxes.Stop()), WineStartupBoxes());
}
