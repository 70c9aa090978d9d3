#include <gtest/gtest.h>

#include "foundation/FileVersion.h"
#include "foundation/WindowsVersion.h"
#include "platform/sim/SimWindows.h"

namespace {

struct cVersionCase {
    uint32_t Major, Minor;
    uint8_t ProductType;
    uint16_t Suite;
    uint32_t Code;
    bool XpFamily, Vista, VistaOrLater, Windows7OrLater;
    const char* Font;
};

TEST(WindowsVersion, CodesAndPredicatesFollowTheVersionRecord)
{
    const cVersionCase cases[] = {
        {4, 0, 1, 0, WV_NT4, false, false, false, false, "MS Sans Serif"},
        {5, 0, 1, 0, WV_2000, false, false, false, false, "MS Sans Serif"},
        {5, 1, 1, 0, WV_XP, true, false, false, false, "Tahoma"},
        {5, 2, 1, 0, WV_SERVER2003, true, false, false, false, "Tahoma"},
        {5, 2, 3, 0x8000, WV_HOMESERVER, true, false, false, false, "Tahoma"},
        {5, 1, 1, 0x8000, WV_HOMESERVER, true, false, false, false, "Tahoma"},
        {6, 0, 1, 0, WV_VISTA, false, true, true, false, "Segoe UI"},
        {6, 0, 3, 0, WV_SERVER2008, false, false, true, false, "Segoe UI"},
        {6, 1, 1, 0, WV_WINDOWS7, false, false, true, true, "Segoe UI"},
        {6, 1, 3, 0, WV_SERVER2008R2, false, false, true, true, "Segoe UI"},
        {6, 2, 1, 0, WV_VISTA, false, false, true, true, "Segoe UI"},
        {10, 0, 1, 0, WV_UNKNOWN, false, false, true, true, "Segoe UI"},
    };
    for (const cVersionCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Major) + "." + std::to_string(c.Minor) + " type " +
                     std::to_string(c.ProductType));
        cSimWindows sim;
        cOsVersionRecord record;
        record.Major = c.Major;
        record.Minor = c.Minor;
        record.ProductType = c.ProductType;
        record.SuiteMask = c.Suite;
        sim.System().SetVersionRecord(record);
        cWindowsVersion version(sim.Get());
        EXPECT_EQ(version.GetVersionCode(), c.Code);
        EXPECT_EQ(version.IsXpFamily(), c.XpFamily);
        EXPECT_EQ(version.IsVista(), c.Vista);
        EXPECT_EQ(version.IsVistaOrLater(), c.VistaOrLater);
        EXPECT_EQ(version.IsWindows7OrLater(), c.Windows7OrLater);
        EXPECT_EQ(version.GetUiFontName(), c.Font);
    }
}

TEST(WindowsVersion, MediaCenterAndWow64ComeFromTheSystem)
{
    cSimWindows sim;
    sim.System().SetSystemMetric(SYSTEM_METRIC_MEDIACENTER, 0);
    sim.System().SetWow64(false, true);  // no IsWow64Process on this Windows
    cWindowsVersion version(sim.Get());
    EXPECT_FALSE(version.IsMediaCenter());
    EXPECT_FALSE(version.IsWow64());
    sim.System().SetSystemMetric(SYSTEM_METRIC_MEDIACENTER, 1);
    sim.System().SetWow64(true, true);
    EXPECT_TRUE(version.IsMediaCenter());
    EXPECT_TRUE(version.IsWow64());
}

TEST(WindowsVersion, MediaCenterNamesCompareIdentifiersBytewise)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0.0", "No Media Center version"},
        {"1.0", "Windows Media Center 2002"},
        {"10.0", "Windows Media Center 2002"},
        {"2.7", "Windows Media Center 2004"},
        {"2.8", "Windows Media Center 2004"},
        {"3.0", "Windows Media Center 2005"},
        {"3.1", "Windows Media Center 2005 + Update Rollup 1"},
        {"4.0", "Windows Media Center 2005 + Update Rollup 2"},
        {"5.0", "Windows Media Center for Windows Vista"},
        {"5.1", "Windows Media Center for Windows Vista + TVPack 2008"},
        {"6.0", "Windows Media Center for Windows 7"},
        {"6.1", "Unknown Media Center version"},
        {"4.5", ""},
        {"5.5", ""},
    };
    for (const auto& [ident, name] : cases)
        EXPECT_EQ(cWindowsVersion::MediaCenterNameOf(ident), name) << ident;

    cSimWindows sim;
    EXPECT_EQ(cWindowsVersion::GetMediaCenterIdent(sim.Registry()), "0.0");
    EXPECT_EQ(cWindowsVersion::GetMediaCenterName(sim.Registry()), "No Media Center version");
    sim.Registry().SetString(eHive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Media Center",
                             "Ident", "5.1");
    EXPECT_EQ(cWindowsVersion::GetMediaCenterIdent(sim.Registry()), "5.1");
}

TEST(FileVersion, TextsFromTheFixedVersionRecord)
{
    cSimWindows sim;
    sim.Versions().SetFileVersion("C:\\x.exe", 0, 9, 5, 0);
    sim.Versions().SetFileVersion("C:\\ehshell.exe", 6, 1, 7600, 16385);
    const cFileVersion small(sim.Versions(), "C:\\x.exe");
    EXPECT_EQ(small.GetFullVersion(), "0.9.5.0");
    EXPECT_EQ(small.GetShortVersion(), "0.9.005");
    const cFileVersion shell(sim.Versions(), "C:\\ehshell.exe");
    EXPECT_EQ(shell.GetFullVersion(), "6.1.7600.16385");
    EXPECT_EQ(shell.GetShortVersion(), "6.1.7600");
    EXPECT_EQ(shell.GetBuild(), 16385);
    const cFileVersion missing(sim.Versions(), "C:\\none.exe");
    EXPECT_EQ(missing.GetFullVersion(), "0.0.0.0");
    EXPECT_EQ(missing.GetShortVersion(), "0.0.0.0");
    EXPECT_EQ(missing.GetMajor(), 0);
}

}  // namespace
