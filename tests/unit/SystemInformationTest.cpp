#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diagnostics/SystemInformation.h"
#include "platform/sim/SimWindows.h"
#include "targets/MediaCenterContract.h"

namespace {

constexpr const char* TIME_SERVERS_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\DateTime\\Servers";
constexpr const char* WINLOGON_KEY = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr const char* BIOS_KEY = "HARDWARE\\DESCRIPTION\\System";
constexpr const char* OEM_INFO_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\OemInfo";

// 2026-12-09 02:04:38.120 UTC as Media Center stores it.
constexpr tFileTimeBytes DOWNLOAD_TIME = {0x80, 0x0E, 0x16, 0xA5, 0x81, 0x87, 0xDD, 0x01};

class SystemInformation : public ::testing::Test {
protected:
    void Set(eHive hive, const char* key, const char* name, uint32_t type, std::vector<uint8_t> data)
    {
        Sim.Registry().WriteValue(hive, key, name, {type, std::move(data)});
    }
    void SetText(eHive hive, const char* key, const char* name, const std::string& text)
    {
        Sim.Registry().SetString(hive, key, name, text);
    }
    bool Exists(const char* key, const char* name)
    {
        cRegistryValue value;
        return Sim.Registry().ReadValue(eHive::LocalMachine, key, name, value) == REGRESULT_SUCCESS;
    }

    cSimWindows Sim;
    cSystemInformation Info{Sim.Get()};
};

TEST_F(SystemInformation, GuideDownloadTimesAreReadAsEightBytesOrZerosWhenMissing)
{
    tFileTimeBytes time;
    time.fill(0xEE);
    EXPECT_FALSE(Info.ReadLastGuideDownload(time));
    EXPECT_EQ(time, tFileTimeBytes{});

    Set(eHive::LocalMachine, MC_EPG_KEY, MC_EPG_LAST_TIME_VALUE, REGTYPE_BINARY,
        {DOWNLOAD_TIME.begin(), DOWNLOAD_TIME.end()});
    // A short value is padded with zeros.
    Set(eHive::LocalMachine, MC_EPG_KEY, MC_EPG_NEXT_TIME_VALUE, REGTYPE_BINARY, {1, 2, 3});
    EXPECT_TRUE(Info.ReadLastGuideDownload(time));
    EXPECT_EQ(time, DOWNLOAD_TIME);
    EXPECT_TRUE(Info.ReadNextGuideDownload(time));
    EXPECT_EQ(time, (tFileTimeBytes{1, 2, 3, 0, 0, 0, 0, 0}));
}

TEST_F(SystemInformation, FileTimesAreFormattedInLocalOrStoredTime)
{
    Sim.FileTimes().SetLocalOffsetMinutes(60);
    EXPECT_EQ(Info.FormatFileTime(DOWNLOAD_TIME, false), "Wed 09 Dec 2026 02:04:38.120");
    EXPECT_EQ(Info.FormatFileTime(DOWNLOAD_TIME, true), "Wed 09 Dec 2026 03:04:38.120");
    // Zero would convert to 1 January 1601: the text shows it never gets that far.
    EXPECT_EQ(Info.FormatFileTime(tFileTimeBytes{}, true), "Invalid time/date");
    EXPECT_EQ(Info.FormatFileTime(tFileTimeBytes{}, false), "Invalid time/date");
    // Beyond what Windows converts.
    const tFileTimeBytes huge = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Info.FormatFileTime(huge, false), "Invalid time/date");
}

TEST_F(SystemInformation, BiosVersionJoinsTheStringsOfTheMultiString)
{
    EXPECT_EQ(Info.GetBiosVersion(), "Unknown");
    const struct {
        std::vector<uint8_t> Data;
        const char* Expected;
    } cases[] = {
        {{'A', 0, 'B', 0, 0}, "A|B"},
        {{'A', 'C', 'P', 'I', 0, 'B', 'I', 'O', 'S', ' ', '1', 0, 'v', '2', 0, 0}, "ACPI|BIOS 1|v2"},
        {{'O', 'n', 'e', 0}, "One"},
        {{'A', 0, 'B'}, "A|B"},
        {{0, 'B', 0, 0}, ""},
        {{}, ""},
    };
    for (const auto& c : cases) {
        Set(eHive::LocalMachine, BIOS_KEY, "SystemBiosVersion", REGTYPE_MULTI_SZ, c.Data);
        EXPECT_EQ(Info.GetBiosVersion(), c.Expected);
    }
}

TEST_F(SystemInformation, IdentificationTextsAreUnknownWhenAbsentOrNoText)
{
    EXPECT_EQ(Info.GetAcpiOem(), "Unknown");
    EXPECT_EQ(Info.GetAcpiProduct(), "Unknown");
    EXPECT_EQ(Info.GetBiosDate(), "Unknown");
    SetText(eHive::LocalMachine, OEM_INFO_KEY, "AcpiOem", "VELDRN");
    SetText(eHive::LocalMachine, OEM_INFO_KEY, "AcpiProduct", "HTPC-7");
    SetText(eHive::LocalMachine, BIOS_KEY, "SystemBiosDate", "03/14/10");
    EXPECT_EQ(Info.GetAcpiOem(), "VELDRN");
    EXPECT_EQ(Info.GetAcpiProduct(), "HTPC-7");
    EXPECT_EQ(Info.GetBiosDate(), "03/14/10");
    Sim.Registry().SetDword(eHive::LocalMachine, OEM_INFO_KEY, "AcpiOem", 7);
    EXPECT_EQ(Info.GetAcpiOem(), "Unknown");
}

TEST_F(SystemInformation, TimeServerFollowsTheSelectedIndex)
{
    EXPECT_EQ(Info.ReadTimeServer(), "Unknown (1)");
    Sim.Registry().SetDword(eHive::LocalMachine, TIME_SERVERS_KEY, "", 2);
    EXPECT_EQ(Info.ReadTimeServer(), "Unknown (2)");

    SetText(eHive::LocalMachine, TIME_SERVERS_KEY, "2", "time.nist.gov");
    Sim.Registry().SetDword(eHive::LocalMachine, TIME_SERVERS_KEY, "3", 3);
    const struct {
        const char* Selected;
        const char* Expected;
    } cases[] = {{"2", "time.nist.gov"}, {"5", ""}, {"3", "Unknown (3)"}};
    for (const auto& c : cases) {
        SetText(eHive::LocalMachine, TIME_SERVERS_KEY, "", c.Selected);
        EXPECT_EQ(Info.ReadTimeServer(), c.Expected) << c.Selected;
    }
}

TEST_F(SystemInformation, ScreenSaverIsActiveForAnyTextButZero)
{
    EXPECT_FALSE(Info.IsScreenSaverActive());
    for (const auto& [text, active] : {std::pair{"1", true}, {"0", false}, {"", true}}) {
        SetText(eHive::CurrentUser, "Control Panel\\Desktop", "ScreenSaveActive", text);
        EXPECT_EQ(Info.IsScreenSaverActive(), active) << text;
    }
    Sim.Registry().SetDword(eHive::CurrentUser, "Control Panel\\Desktop", "ScreenSaveActive", 1);
    EXPECT_FALSE(Info.IsScreenSaverActive());
}

TEST_F(SystemInformation, CompanionShortcutIsFoundInEitherStartupFolder)
{
    const std::string shortcut = "\\Shutwell on Stand-by.lnk";
    for (int folder : {FOLDER_STARTUP, FOLDER_COMMON_STARTUP}) {
        cSimWindows sim;
        cSystemInformation info(sim.Get());
        std::string path;
        ASSERT_TRUE(sim.Files().GetSpecialFolder(folder, path));
        EXPECT_FALSE(info.IsShutwellInstalled());
        ASSERT_TRUE(sim.Files().CreateDirectory("C:\\Shortcuts"));
        sim.Files().SetSpecialFolder(folder, "C:\\Shortcuts");
        ASSERT_TRUE(sim.Files().WriteNewFile("C:\\Shortcuts" + shortcut, "lnk"));
        EXPECT_TRUE(info.IsShutwellInstalled()) << folder;
        // A folder Windows cannot name holds nothing.
        sim.Files().SetSpecialFolder(folder, "");
        EXPECT_FALSE(info.IsShutwellInstalled()) << folder;
    }
}

TEST_F(SystemInformation, AutologonIsOnForAnyTextButZero)
{
    EXPECT_FALSE(Info.IsAutoAdminLogon());
    EXPECT_EQ(Info.GetDefaultUserName(), "");
    EXPECT_EQ(Info.GetDefaultPassword(), "");
    for (const auto& [text, on] : {std::pair{"1", true}, {"0", false}, {"yes", true}, {"", true}}) {
        SetText(eHive::LocalMachine, WINLOGON_KEY, "AutoAdminLogon", text);
        EXPECT_EQ(Info.IsAutoAdminLogon(), on) << text;
    }
}

TEST_F(SystemInformation, AutologonWritersStoreTextsAndAnEmptyPasswordRemovesIt)
{
    EXPECT_TRUE(Info.SetAutoAdminLogon(true));
    std::string text;
    ASSERT_TRUE(Sim.Registry().GetString(eHive::LocalMachine, WINLOGON_KEY, "AutoAdminLogon", text));
    EXPECT_EQ(text, "1");
    EXPECT_TRUE(Info.IsAutoAdminLogon());
    EXPECT_TRUE(Info.SetAutoAdminLogon(false));
    EXPECT_FALSE(Info.IsAutoAdminLogon());

    EXPECT_TRUE(Info.SetDefaultUserName("htpc"));
    EXPECT_TRUE(Info.SetDefaultPassword("secret"));
    EXPECT_EQ(Info.GetDefaultUserName(), "htpc");
    EXPECT_EQ(Info.GetDefaultPassword(), "secret");

    EXPECT_TRUE(Info.SetDefaultPassword(""));
    EXPECT_FALSE(Exists(WINLOGON_KEY, "DefaultPassword"));
    EXPECT_EQ(Info.GetDefaultPassword(), "");
    // Already gone is what was asked for.
    EXPECT_TRUE(Info.SetDefaultPassword(""));
}

TEST_F(SystemInformation, AutologonWritersFailWithoutAdministratorRights)
{
    SetText(eHive::LocalMachine, WINLOGON_KEY, "DefaultPassword", "secret");
    Sim.Registry().SetWriteProtected(eHive::LocalMachine, true);
    EXPECT_FALSE(Info.SetAutoAdminLogon(true));
    EXPECT_FALSE(Info.SetDefaultUserName("htpc"));
    EXPECT_FALSE(Info.SetDefaultPassword("other"));
    EXPECT_FALSE(Info.SetDefaultPassword(""));
    EXPECT_EQ(Info.GetDefaultPassword(), "secret");
}

}  // namespace
