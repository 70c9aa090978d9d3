#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <string>

#include "diagnostics/SystemInformation.h"
#include "engine/VistaSuspendEngine.h"
#include "foundation/BuildMoment.h"
#include "foundation/MessageLogger.h"
#include "foundation/Settings.h"
#include "foundation/WindowsVersion.h"
#include "osconfig/OSConfigurationFactory.h"
#include "platform/sim/SimWindows.h"
#include "targets/MediaCenterContract.h"

// Every new log file begins with the summary of the machine. Two fixed
// machines are compared byte for byte with the files in tests/golden, where
// "{build}" stands for the program's build moment.

namespace {

constexpr const char* WINDOWS_KEY = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* LOG_FOLDER = "C:\\Logs";
constexpr const char* LOG_FILE = "C:\\Logs\\SLH Log.txt";
constexpr const char* FIRST_LINE = "The engine's first line";

std::string ReadHostFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The golden file with the build moment put in.
std::string Golden(const std::string& name)
{
    std::string text = ReadHostFile(std::string(SLH_GOLDEN_DIR) + "/" + name);
    const std::string placeholder = "{build}";
    const size_t at = text.find(placeholder);
    if (at != std::string::npos)
        text.replace(at, placeholder.size(), BUILD_MOMENT);
    return text;
}

// The log file's text before the first line the logger wrote, the first
// that begins with a time stamp.
std::string SummaryOf(const std::string& log)
{
    static const std::regex STAMP("^[A-Z][a-z]{2} \\d\\d [A-Z][a-z]{2} \\d{4} \\d\\d:\\d\\d:\\d\\d\\.\\d{3} - ");
    for (size_t start = 0; start < log.size();) {
        if (std::regex_search(log.substr(start, 40), STAMP))
            return log.substr(0, start);
        const size_t end = log.find("\r\n", start);
        start = end == std::string::npos ? log.size() : end + 2;
    }
    return log;
}

class SystemSummary : public ::testing::Test {
protected:
    void SetText(const char* key, const char* name, const std::string& text)
    {
        Sim.Registry().SetString(eHive::LocalMachine, key, name, text);
    }
    void SetBinary(const char* key, const char* name, std::vector<uint8_t> data)
    {
        Sim.Registry().WriteValue(eHive::LocalMachine, key, name, {REGTYPE_BINARY, std::move(data)});
    }

    void SetWindows(uint32_t major, uint32_t minor)
    {
        cOsVersionRecord record;
        record.Major = major;
        record.Minor = minor;
        record.ProductType = 1;
        Sim.System().SetVersionRecord(record);
        Sim.System().SetSystemMetric(SYSTEM_METRIC_MEDIACENTER, 1);
    }

    static cSystemPowerPolicy Policy(ePowerAction power, ePowerAction sleep, ePowerAction idle, uint32_t winLogonFlags)
    {
        cSystemPowerPolicy policy{};
        policy.Revision = 1;
        policy.PowerButton = {power, 3, 0};
        policy.SleepButton = {sleep, 0x40000003, 0x2A};
        policy.Idle = {idle, 1, 0};
        policy.Reserved = 0xBEEF;
        policy.IdleTimeout = 1800;
        policy.IdleSensitivity = 50;
        policy.Spare2[0] = 0x0A;
        policy.Spare2[1] = 0xFF;
        policy.MinSleep = 2;
        policy.MaxSleep = 4;
        policy.ReducedLatencySleep = 2;
        policy.WinLogonFlags = winLogonFlags;
        policy.Spare3 = 0x12345678;
        policy.DozeS4Timeout = 3600;
        policy.VideoTimeout = 600;
        return policy;
    }

    void SetBattery(uint8_t acOnLine, uint8_t batteryPresent)
    {
        std::vector<uint8_t> battery(32, 0);
        battery[0] = acOnLine;
        battery[1] = batteryPresent;
        Sim.PowerPolicy().SetLevel(POWER_INFO_BATTERY_STATE, battery);
    }

    // A Windows 7 Media Center machine on mains with every value the report
    // names.
    void MakeWindows7MediaCenter()
    {
        SetWindows(6, 1);
        SetText(WINDOWS_KEY, "ProductName", "Windows 7 Home Premium");
        SetText(WINDOWS_KEY, "CurrentVersion", "6.1");
        SetText(WINDOWS_KEY, "CurrentBuildNumber", "7601");
        SetText(WINDOWS_KEY, "CSDVersion", "Service Pack 1");
        SetText(WINDOWS_KEY, "RegisteredOwner", "htpc");
        SetText(WINDOWS_KEY, "RegisteredOrganization", "Living Room");
        SetText("SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName", "HTPC");
        SetText("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\OemInfo", "AcpiOem", "VELDRN");
        SetText("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\OemInfo", "AcpiProduct", "HTPC-7");
        SetText("HARDWARE\\DESCRIPTION\\System", "SystemBiosDate", "03/14/10");
        const std::string bios("VELDRN - 1072009\0BIOS Date: 03/14/10\0\0", 39);
        Sim.Registry().WriteValue(eHive::LocalMachine, "HARDWARE\\DESCRIPTION\\System", "SystemBiosVersion",
                                  {REGTYPE_MULTI_SZ, {bios.begin(), bios.end()}});
        SetText(MEDIA_CENTER_KEY, MC_IDENT_VALUE, "6.0");
        // MediaPortal where its installer put it.
        SetText("SOFTWARE\\Team MediaPortal\\MediaPortal", "ApplicationDir", "D:\\Media\\MediaPortal");
        Sim.Versions().SetFileVersion("D:\\Media\\MediaPortal\\MediaPortal.exe", 1, 1, 2, 0);
        // 09 Dec 2026 02:04:38.120 and 10 Dec 2026 03:00:00 UTC; local time is UTC+1.
        SetBinary(MC_EPG_KEY, MC_EPG_LAST_TIME_VALUE, {0x80, 0x0E, 0x16, 0xA5, 0x81, 0x87, 0xDD, 0x01});
        SetBinary(MC_EPG_KEY, MC_EPG_NEXT_TIME_VALUE, {0x00, 0x78, 0x7E, 0x8B, 0x52, 0x88, 0xDD, 0x01});
        Sim.FileTimes().SetLocalOffsetMinutes(60);
        SetText("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\DateTime\\Servers", "", "1");
        SetText("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\DateTime\\Servers", "1", "time.windows.com");
        Sim.Registry().SetString(eHive::CurrentUser, "Control Panel\\Desktop", "ScreenSaveActive", "1");
        std::string commonStartup;
        Sim.Files().GetSpecialFolder(FOLDER_COMMON_STARTUP, commonStartup);
        CreateFolders(commonStartup);
        Sim.Files().WriteNewFile(commonStartup + "\\Shutwell on Stand-by.lnk", "lnk");
        Sim.Versions().SetFileVersion(Sim.Files().GetModuleFileName(), 1, 2, 3, 4);
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "RebootMode", 2);

        cSystemPowerCapabilities capabilities{};
        capabilities.SystemS1 = capabilities.SystemS3 = capabilities.SystemS4 = capabilities.SystemS5 = 1;
        capabilities.SystemS2 = 2;  // only 1 counts
        capabilities.HiberFilePresent = 1;
        capabilities.FullWake = 1;
        capabilities.Spare2[0] = 0xA1;
        capabilities.Spare2[2] = 0xC3;
        capabilities.DiskSpinDown = 1;
        for (uint8_t i = 0; i < 8; ++i)
            capabilities.Spare3[i] = static_cast<uint8_t>(0x10 + i);
        capabilities.AcOnLineWake = 5;
        capabilities.SoftLidWake = 0;
        capabilities.RtcWake = 4;
        capabilities.MinDeviceWakeState = 2;
        capabilities.DefaultLowLatencyWake = 3;
        Sim.PowerPolicy().SetRecord(POWER_INFO_CAPABILITIES, capabilities);
        SetBattery(1, 0);
        Sim.PowerPolicy().SetRecord(POWER_INFO_POLICY_AC,
                                    Policy(ePowerAction::None, ePowerAction::WarmEject, ePowerAction::Sleep, 1));
        Sim.PowerPolicy().SetRecord(POWER_INFO_POLICY_DC, Policy(ePowerAction::ShutdownOff,
                                                                 static_cast<ePowerAction>(9), ePowerAction::None, 3));
    }

    void CreateFolders(const std::string& path)
    {
        for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
            Sim.Files().CreateDirectory(path.substr(0, at));
        Sim.Files().CreateDirectory(path);
    }

    void StartEngine()
    {
        Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "LogMode", 1);
        SetText(SETTINGS_KEY, "LogPath", LOG_FOLDER);
        Logger = std::make_unique<cMessageLogger>(Sim.Get(), "SLH Log.txt");
        Version = std::make_unique<cWindowsVersion>(Sim.Get());
        OSConfiguration = CreateOSConfiguration(Sim.Get(), *Version);
        if (Version->IsVistaOrLater())
            Engine = std::make_unique<cVistaSuspendEngine>(Sim.Get(), *Version, Information, *OSConfiguration, false,
                                                           0x10010, *Logger);
        else
            Engine = std::make_unique<cMcePowerManager>(Sim.Get(), *Version, Information, *OSConfiguration, false,
                                                        *Logger);
    }

    std::string Log()
    {
        std::string text;
        Sim.Files().ReadWholeFile(LOG_FILE, text);
        return text;
    }

    // The summary at the head of the log against the golden file; on a
    // difference the summary is kept in the build folder for comparison.
    void ExpectGolden(const std::string& name)
    {
        const std::string summary = SummaryOf(Log());
        const std::string expected = Golden(name);
        if (summary != expected) {
            std::filesystem::create_directories(SLH_GOLDEN_ACTUAL_DIR);
            std::ofstream(std::string(SLH_GOLDEN_ACTUAL_DIR) + "/" + name, std::ios::binary) << summary;
            ADD_FAILURE() << "the summary differs from tests/golden/" << name << "; it is in "
                          << SLH_GOLDEN_ACTUAL_DIR;
        }
    }

    cSimWindows Sim;
    cSystemInformation Information{Sim.Get()};
    std::unique_ptr<cMessageLogger> Logger;
    std::unique_ptr<cWindowsVersion> Version;
    std::unique_ptr<cOSConfiguration> OSConfiguration;
    std::unique_ptr<cMcePowerManager> Engine;
};

TEST_F(SystemSummary, Windows7MediaCenterMachine)
{
    MakeWindows7MediaCenter();
    StartEngine();
    Logger->WriteLine(FIRST_LINE);
    ExpectGolden("windows7-media-center.txt");
    // The lines follow the summary; the Vista engine's own construction
    // line is the first of them.
    const std::string log = Log();
    EXPECT_NE(log.find(" - cSuspendInitiator - UseLegacyCall_", SummaryOf(log).size()), std::string::npos);
    EXPECT_NE(log.find(FIRST_LINE), std::string::npos);
}

// Without ProductName the Windows lines go, whatever else exists; the machine
// runs on its battery, a sleep state was applied (the administrator policy
// is no longer the default one), one power level cannot be read, and Media
// Center has never downloaded a guide.
TEST_F(SystemSummary, XpMediaCenterMachineOnBattery)
{
    SetWindows(5, 1);
    SetText(WINDOWS_KEY, "CurrentVersion", "5.1");
    SetText(WINDOWS_KEY, "CurrentBuildNumber", "2600");
    SetText(WINDOWS_KEY, "CSDVersion", "Service Pack 3");
    SetText(WINDOWS_KEY, "RegisteredOwner", "htpc");
    SetText(WINDOWS_KEY, "RegisteredOrganization", "Living Room");
    SetText(MEDIA_CENTER_KEY, MC_IDENT_VALUE, "3.0");
    SetBinary(MC_EPG_KEY, MC_EPG_NEXT_TIME_VALUE, {0x00, 0x78, 0x7E, 0x8B, 0x52, 0x88, 0xDD, 0x01});
    Sim.Registry().SetString(eHive::CurrentUser, "Control Panel\\Desktop", "ScreenSaveActive", "0");
    Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "RebootMode", 7);
    Sim.Versions().SetFileVersion(Sim.Files().GetModuleFileName(), 1, 2, 3, 4);
    SetBattery(0, 1);
    Sim.PowerPolicy().SetReadStatus(POWER_INFO_CAPABILITIES, POWER_STATUS_NOT_IMPLEMENTED);

    StartEngine();
    ASSERT_TRUE(OSConfiguration->ApplySleepState(4));
    const size_t boxesBefore = Sim.Dialogs().Shown().size();
    cSystemPowerPolicy ac = Policy(ePowerAction::Sleep, ePowerAction::ShutdownOff, ePowerAction::Hibernate, 0);
    ac.VideoTimeout = 0xFFFFFFFF;
    Sim.PowerPolicy().SetRecord(POWER_INFO_POLICY_AC, ac);
    Sim.PowerPolicy().SetRecord(POWER_INFO_POLICY_DC,
                                Policy(ePowerAction::ShutdownReset, ePowerAction::Reserved, ePowerAction::Shutdown, 1));

    Logger->WriteLine(FIRST_LINE);
    ExpectGolden("xp-media-center.txt");
    // The capabilities' read failure was shown, once.
    ASSERT_EQ(Sim.Dialogs().Shown().size(), boxesBefore + 1);
    EXPECT_EQ(Sim.Dialogs().Shown().back().Text, "Reading PowerInformation failed, unknown error.");
    EXPECT_EQ(Log().substr(SummaryOf(Log()).size()).find(FIRST_LINE), 31u);
}

TEST_F(SystemSummary, EveryNewLogFileBeginsWithASummaryAndOnlyThen)
{
    StartEngine();
    Logger->WriteLine("one");
    Logger->WriteLine("two");
    const std::string first = Log();
    ASSERT_EQ(first.rfind("\r\nThis file is generated by the Slumberhold.\r\n", 0), 0u);
    EXPECT_EQ(first.find("This file is generated", 10), std::string::npos);

    // Deleted while the engine runs: the next line begins a new file.
    ASSERT_TRUE(Sim.Files().DeleteFile(LOG_FILE));
    Logger->WriteLine("three");
    const std::string second = Log();
    ASSERT_EQ(second.rfind("\r\nThis file is generated by the Slumberhold.\r\n", 0), 0u);
    EXPECT_EQ(second.find(" - one"), std::string::npos);
    EXPECT_NE(second.find(" - three"), std::string::npos);

    // Without the engine a new file begins with its line.
    Engine.reset();
    ASSERT_TRUE(Sim.Files().DeleteFile(LOG_FILE));
    Logger->WriteLine("four");
    EXPECT_EQ(Log().find("This file is generated"), std::string::npos);
    EXPECT_NE(Log().find(" - four"), std::string::npos);
}

TEST_F(SystemSummary, NothingIsWrittenWhileLoggingIsOff)
{
    StartEngine();
    Sim.Registry().SetDword(eHive::LocalMachine, SETTINGS_KEY, "LogMode", 0);
    Sim.Files().DeleteFile(LOG_FILE);
    Logger->WriteLine("unlogged");
    Engine->WriteSystemSummary(LOG_FILE);
    EXPECT_FALSE(Sim.Files().FileExists(LOG_FILE));
}

}  // namespace
