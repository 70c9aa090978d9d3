// The setup program and its uninstaller under Wine. Each test makes the
// 64-bit setup with installer/make-setup.sh from the Slumberhold.exe of the
// Windows build (the 32-bit setup cannot run on these machines), installs
// silently and uninstalls silently, as Programs and Features would.
#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "LogFile.h"
#include "WineTest.h"

namespace {

using namespace std::chrono_literals;

const std::string ENGINE_TITLE = "Slumberhold - Engine mode";
const std::string CONFIGURATOR_TITLE = "Slumberhold";
const std::string INSTALL_FOLDER = "C:\\Program Files\\Slumberhold";
const std::string INSTALLED_EXE = INSTALL_FOLDER + "\\Slumberhold.exe";
const std::string UNINSTALLER = INSTALL_FOLDER + "\\Uninstall.exe";
const std::string SHORTCUT = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Slumberhold settings.lnk";
const std::string RUN_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string UNINSTALL_KEYS = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string UNINSTALL_KEY = UNINSTALL_KEYS + "\\Slumberhold";
const std::string USER_SETTINGS_KEY = "HKCU\\Software\\Velderane\\Slumberhold";
const std::string LOG_FOLDER = "C:\\slhtest";
const std::string LOG_FILE = LOG_FOLDER + "\\SLH Log.txt";

// The first program in a fresh prefix also starts Wine's own services.
constexpr auto SETUP_TIMEOUT = 90s;
constexpr auto MAKE_SETUP_TIMEOUT = 120s;
// The uninstaller hands over to a copy of itself in the temporary folder
// and returns at once; the copy's work is done when the uninstall entry,
// which it removes last, is gone.
constexpr auto UNINSTALL_TIMEOUT = 60s;
constexpr auto REG_TIMEOUT = 30s;
constexpr auto NO_ENGINE_WAIT = 5s;
constexpr auto POLL_INTERVAL = 200ms;

std::string FileContent(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(POLL_INTERVAL);
    }
    return true;
}

// Makes a setup program of the 64-bit program; a version given replaces
// the program's own in the uninstall entry. Throws std::runtime_error with
// makensis's messages when that fails.
std::string MakeSetup(const std::string& folder, const std::string& name, const std::string& exe64,
                      const std::string& version = {})
{
    cLaunch launch;
    const std::string output = folder + "/" + name;
    launch.Arguments = {std::string(SLH_INSTALLER_DIR) + "/make-setup.sh", output, exe64};
    if (!version.empty())
        launch.Environment = {{"SLH_SETUP_VERSION", version}};
    launch.ErrorFile = folder + "/" + name + ".errors";
    const cRunResult made = RunToEnd(launch, MAKE_SETUP_TIMEOUT);
    if (!made.Finished || made.ExitCode != 0 || !std::filesystem::is_regular_file(output))
        throw std::runtime_error("make-setup.sh failed:\n" + made.Output + FileContent(launch.ErrorFile));
    return output;
}

// The setup of the build's program, made once per run: makensis takes
// many seconds. Its folder lives until the test program ends.
const std::string& CurrentSetup(const std::string& exe64)
{
    static const cTempFolder folder("slh-setup");
    static const std::string setup = MakeSetup(folder.Path(), "Slumberhold-setup-x64.exe", exe64);
    return setup;
}

// The current local time as an MS-DOS date and time, as a forced reboot
// records it (the date in the high word).
uint32_t DosTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const uint32_t date = (static_cast<uint32_t>(local.tm_year - 80) << 9) |
                          (static_cast<uint32_t>(local.tm_mon + 1) << 5) | static_cast<uint32_t>(local.tm_mday);
    const uint32_t time = (static_cast<uint32_t>(local.tm_hour) << 11) |
                          (static_cast<uint32_t>(local.tm_min) << 5) | static_cast<uint32_t>(local.tm_sec / 2);
    return date << 16 | time;
}

// The uninstall entries named Slumberhold in `reg query KEY /s` output.
long CountProgramEntries(const std::string& output)
{
    std::istringstream lines(output);
    std::string line;
    long count = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        count += line == "    DisplayName    REG_SZ    Slumberhold";
    }
    return count;
}

std::vector<std::string> FirstLineTexts(const cLogContent& log)
{
    std::vector<std::string> texts;
    for (const std::string& line : log.Lines) {
        const cLogLine parsed = ParseLogLine(line);
        if (parsed.Kind == cLogLine::eKind::First)
            texts.push_back(parsed.Text);
    }
    return texts;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

bool HasEntryStartingWith(const std::vector<std::string>& texts, const std::string& start)
{
    return std::any_of(texts.begin(), texts.end(),
                       [&](const std::string& text) { return text.compare(0, start.size(), start) == 0; });
}

cRegistryEntry StringEntry(const std::string& value)
{
    return {"REG_SZ", value};
}

}  // namespace

TEST_F(cSlumberholdWineTest, SetupInstallsAndStartsTheEngineAndTheUninstallerKeepsTheSettings)
{
    // Under Wine's Windows 7 every start of the program shows a box first.
    WatchMessageBoxes();
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 1));
    ASSERT_TRUE(Registry().SetString(SETTINGS_KEY, "LogPath", LOG_FOLDER));
    // A fresh forced-reboot record: the engine's logon check would follow it
    // up at once, but not when the setup starts the engine.
    const uint32_t rebootRecord = DosTimeNow();
    ASSERT_TRUE(Registry().SetDword(USER_SETTINGS_KEY, "RebootInitiated", rebootRecord));
    const std::string exe = ProgramPath("Slumberhold.exe");
    const std::string setup = CurrentSetup(exe);

    const cRunResult installed = RunInPrefix({setup, "/S"}, SETUP_TIMEOUT);
    ASSERT_TRUE(installed.Finished);
    EXPECT_EQ(installed.ExitCode, 0);

    EXPECT_EQ(FileContent(HostPath(INSTALLED_EXE)), FileContent(exe)) << "the program was not installed";
    EXPECT_TRUE(std::filesystem::is_regular_file(HostPath(UNINSTALLER)));
    EXPECT_TRUE(std::filesystem::is_regular_file(HostPath(SHORTCUT)));
    EXPECT_EQ(Registry().Read(RUN_KEY, "Slumberhold"), StringEntry("\"" + INSTALLED_EXE + "\" ENGINE"));
    const auto entry = Registry().ReadKey(UNINSTALL_KEY);
    ASSERT_TRUE(entry) << "no uninstall entry";
    std::map<std::string, cRegistryEntry> shown;
    for (const char* name : {"DisplayName", "DisplayVersion", "Publisher", "UninstallString"}) {
        if (entry->count(name))
            shown[name] = entry->at(name);
    }
    EXPECT_EQ(shown, (std::map<std::string, cRegistryEntry>{
                         {"DisplayName", StringEntry("Slumberhold")},
                         {"DisplayVersion", StringEntry(SLH_EXPECTED_VERSION)},
                         {"Publisher", StringEntry("Velderane")},
                         {"UninstallString", StringEntry("\"" + UNINSTALLER + "\"")},
                     }));

    // The setup started the engine with INSTALLING: it skipped its logon
    // check, so the forced-reboot record is neither reported nor used.
    const cWindowName engine = cSlumberholdProcess::Window(ENGINE_TITLE);
    ASSERT_TRUE(Windows().WaitUntilPresent(engine, WINDOW_TIMEOUT));
    const auto started = WaitForLogFile(
        HostPath(LOG_FILE), [](const cLogContent& log) { return Contains(FirstLineTexts(log), "Initialisation done"); },
        WINDOW_TIMEOUT);
    ASSERT_TRUE(started) << "the engine did not log its start";
    EXPECT_FALSE(HasEntryStartingWith(FirstLineTexts(*started), "RebootInitiated"));
    EXPECT_EQ(Registry().Read(USER_SETTINGS_KEY, "RebootInitiated"), DwordEntry(rebootRecord));

    const cRunResult uninstalled = RunInPrefix({UNINSTALLER, "/S"}, SETUP_TIMEOUT);
    ASSERT_TRUE(uninstalled.Finished);
    EXPECT_EQ(uninstalled.ExitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return !Registry().ReadKey(UNINSTALL_KEY); }, UNINSTALL_TIMEOUT))
        << "the uninstall entry is still there";

    EXPECT_TRUE(Windows().WaitUntilGone(engine, EXIT_TIMEOUT));
    const auto log = ReadLogFile(HostPath(LOG_FILE));
    ASSERT_TRUE(log) << "the log file is gone";
    const std::vector<std::string> texts = FirstLineTexts(*log);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "Slumberhold/frontend closed.");

    EXPECT_FALSE(std::filesystem::exists(HostPath(INSTALL_FOLDER)));
    EXPECT_FALSE(std::filesystem::exists(HostPath(SHORTCUT)));
    EXPECT_EQ(Registry().Read(RUN_KEY, "Slumberhold"), std::nullopt);
    EXPECT_EQ(Registry().Read(SETTINGS_KEY, "LogMode"), DwordEntry(1));
    EXPECT_EQ(Registry().Read(USER_SETTINGS_KEY, "RebootInitiated"), DwordEntry(rebootRecord));
}

TEST_F(cSlumberholdWineTest, SetupUpgradesInPlaceAndTheUninstallerMayRemoveTheSettings)
{
    // Under Wine's Windows 7 every start of the program shows a box first.
    WatchMessageBoxes();
    const cTempFolder folder("slh-setup");
    const std::string exe = ProgramPath("Slumberhold.exe");
    // An "older version" whose program is another file, so that the
    // upgrade's copy can be told from it.
    const std::string olderExe = ProgramPath("slhmsg.exe");
    const std::string older = MakeSetup(folder.Path(), "older-setup.exe", olderExe, "0.9.0.0");
    const std::string setup = CurrentSetup(exe);
    const auto programEntries = [&] {
        const cRunResult listed = RunInPrefix({"reg", "query", UNINSTALL_KEYS, "/s"}, REG_TIMEOUT);
        return listed.Finished && listed.ExitCode == 0 ? CountProgramEntries(listed.Output) : -1L;
    };

    const cRunResult first = RunInPrefix({older, "/S", "/NOSTART"}, SETUP_TIMEOUT);
    ASSERT_TRUE(first.Finished && first.ExitCode == 0);
    ASSERT_EQ(FileContent(HostPath(INSTALLED_EXE)), FileContent(olderExe));
    EXPECT_EQ(Registry().Read(UNINSTALL_KEY, "DisplayVersion"), StringEntry("0.9.0.0"));

    const cRunResult second = RunInPrefix({setup, "/S", "/NOSTART"}, SETUP_TIMEOUT);
    ASSERT_TRUE(second.Finished && second.ExitCode == 0);
    EXPECT_EQ(FileContent(HostPath(INSTALLED_EXE)), FileContent(exe)) << "the program was not replaced";
    EXPECT_EQ(programEntries(), 1);
    EXPECT_EQ(Registry().Read(UNINSTALL_KEY, "DisplayVersion"), StringEntry(SLH_EXPECTED_VERSION));
    // An engine would be there within this time; it starts in a second.
    EXPECT_FALSE(Windows().WaitUntilPresent(cSlumberholdProcess::Window(ENGINE_TITLE), NO_ENGINE_WAIT))
        << "the engine was started despite /NOSTART";

    // Settings in both hives, as a configurator and an engine leave them;
    // the configurator (no engine runs) is closed by the uninstaller.
    ASSERT_TRUE(Registry().SetDword(SETTINGS_KEY, "LogMode", 0));
    ASSERT_TRUE(Registry().SetDword(USER_SETTINGS_KEY, "RebootInitiated", DosTimeNow()));
    cSlumberholdProcess& configurator = StartSlumberhold({});
    ASSERT_TRUE(configurator.WaitForWindow(CONFIGURATOR_TITLE, WINDOW_TIMEOUT));
    const cRunResult removed = RunInPrefix({UNINSTALLER, "/S", "/REMOVESETTINGS"}, SETUP_TIMEOUT);
    ASSERT_TRUE(removed.Finished && removed.ExitCode == 0);
    ASSERT_TRUE(WaitUntil([&] { return !Registry().ReadKey(UNINSTALL_KEY); }, UNINSTALL_TIMEOUT))
        << "the uninstall entry is still there";

    EXPECT_EQ(configurator.WaitForExit(EXIT_TIMEOUT), 0);
    EXPECT_EQ(programEntries(), 0);
    EXPECT_FALSE(std::filesystem::exists(HostPath(INSTALL_FOLDER)));
    EXPECT_FALSE(std::filesystem::exists(HostPath(SHORTCUT)));
    EXPECT_EQ(Registry().Read(RUN_KEY, "Slumberhold"), std::nullopt);
    for (const char* key : {"HKLM\\Software\\Velderane", "HKCU\\Software\\Velderane"})
        EXPECT_EQ(Registry().ReadKey(key), std::nullopt) << key << " is still there";
}
