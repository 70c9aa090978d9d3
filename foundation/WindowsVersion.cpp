#include "foundation/WindowsVersion.h"

#include <algorithm>

#include "targets/MediaCenterContract.h"

namespace {

constexpr uint8_t PRODUCT_WORKSTATION = 1;
constexpr uint16_t SUITE_HOMESERVER = 0x8000;

}  // namespace

cWindowsVersion::cWindowsVersion(cPlatform& platform) : System(platform.System)
{
    if (!System.GetVersionRecord(Record))
        Record = {};
    VersionCode = DeriveCode(Record);
}

uint32_t cWindowsVersion::DeriveCode(const cOsVersionRecord& r)
{
    uint32_t code = WV_UNKNOWN;
    if (r.Major == 4) {
        code = WV_NT4;
    } else if (r.Major == 5) {
        code = WV_2000;
        if (r.Minor == 1)
            code = WV_XP;
        if (r.Minor == 2)
            code = WV_SERVER2003;
        if (r.SuiteMask & SUITE_HOMESERVER)
            code = WV_HOMESERVER;
    } else if (r.Major == 6) {
        code = WV_VISTA;
        if (r.Minor == 0 && r.ProductType != PRODUCT_WORKSTATION)
            code = WV_SERVER2008;
        if (r.Minor == 1)
            code = r.ProductType != PRODUCT_WORKSTATION ? WV_SERVER2008R2 : WV_WINDOWS7;
    }
    return code;
}

bool cWindowsVersion::IsXpFamily() const
{
    return Record.Major == 5 && Record.Minor != 0;
}

bool cWindowsVersion::IsVista() const
{
    return Record.Major == 6 && Record.Minor == 0 && Record.ProductType == PRODUCT_WORKSTATION;
}

bool cWindowsVersion::IsVistaOrLater() const
{
    return Record.Major >= 6;
}

bool cWindowsVersion::IsWindows7OrLater() const
{
    return (Record.Major > 5 && Record.Minor != 0) || Record.Major > 6;
}

bool cWindowsVersion::IsMediaCenter() const
{
    return System.GetSystemMetric(SYSTEM_METRIC_MEDIACENTER) != 0;
}

bool cWindowsVersion::IsWow64() const
{
    bool wow64 = false;
    return System.IsWow64Process(wow64) && wow64;
}

std::string cWindowsVersion::GetUiFontName() const
{
    if (IsVistaOrLater())
        return "Segoe UI";
    return IsXpFamily() ? "Tahoma" : "MS Sans Serif";
}

std::string cWindowsVersion::GetMediaCenterIdent(cRegistry& registry)
{
    cRegistryValue value;
    if (registry.ReadValue(eHive::LocalMachine, MEDIA_CENTER_KEY, MC_IDENT_VALUE, value) != REGRESULT_SUCCESS ||
        value.Type != REGTYPE_SZ)
        return "0.0";
    return std::string(value.Data.begin(), std::find(value.Data.begin(), value.Data.end(), 0));
}

std::string cWindowsVersion::GetMediaCenterName(cRegistry& registry)
{
    return MediaCenterNameOf(GetMediaCenterIdent(registry));
}

std::string cWindowsVersion::MediaCenterNameOf(const std::string& ident)
{
    // Plain byte-string comparisons, in this order: "10.0" sorts before "2.7".
    if (ident == "0.0")
        return "No Media Center version";
    if (ident < "2.7")
        return "Windows Media Center 2002";
    if (ident == "2.7" || ident == "2.8")
        return "Windows Media Center 2004";
    if (ident == "3.0")
        return "Windows Media Center 2005";
    if (ident == "3.1")
        return "Windows Media Center 2005 + Update Rollup 1";
    if (ident == "4.0")
        return "Windows Media Center 2005 + Update Rollup 2";
    if (ident == "5.0")
        return "Windows Media Center for Windows Vista";
    if (ident == "5.1")
        return "Windows Media Center for Windows Vista + TVPack 2008";
    if (ident == "6.0")
        return "Windows Media Center for Windows 7";
    if (ident > "6.0")
        return "Unknown Media Center version";
    return "";
}
