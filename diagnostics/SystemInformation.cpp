#include "diagnostics/SystemInformation.h"

#include <algorithm>

#include "foundation/DateTimeFormat.h"
#include "targets/MediaCenterContract.h"

namespace {

constexpr const char* UNKNOWN = "Unknown";
constexpr const char* INVALID_TIME = "Invalid time/date";
constexpr const char* STAMP_PATTERN = "ddd dd mmm yyyy hh:mm:ss.zzz";

constexpr const char* OEM_INFO_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\OemInfo";
constexpr const char* BIOS_KEY = "HARDWARE\\DESCRIPTION\\System";
constexpr const char* TIME_SERVERS_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\DateTime\\Servers";
constexpr const char* DESKTOP_KEY = "Control Panel\\Desktop";
constexpr const char* WINLOGON_KEY = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr const char* SHUTWELL_SHORTCUT = "\\Shutwell on Stand-by.lnk";

}  // namespace

cSystemInformation::eRead cSystemInformation::ReadText(eHive hive, const std::string& key, const std::string& name,
                                                       std::string& text)
{
    cRegistryValue value;
    if (Platform.Registry.ReadValue(hive, key, name, value) != REGRESULT_SUCCESS)
        return eRead::Missing;
    if (value.Type != REGTYPE_SZ && value.Type != REGTYPE_EXPAND_SZ)
        return eRead::NotText;
    text.assign(value.Data.begin(), std::find(value.Data.begin(), value.Data.end(), 0));
    return eRead::Ok;
}

// A value of another type tells nothing either.
std::string cSystemInformation::TextOrUnknown(const std::string& key, const std::string& name)
{
    std::string text;
    return ReadText(eHive::LocalMachine, key, name, text) == eRead::Ok ? text : UNKNOWN;
}

bool cSystemInformation::ReadFileTime(const char* name, tFileTimeBytes& time)
{
    time.fill(0);
    cRegistryValue value;
    if (Platform.Registry.ReadValue(eHive::LocalMachine, MC_EPG_KEY, name, value) != REGRESULT_SUCCESS)
        return false;
    std::copy_n(value.Data.begin(), std::min(value.Data.size(), time.size()), time.begin());
    return true;
}

bool cSystemInformation::ReadLastGuideDownload(tFileTimeBytes& time)
{
    return ReadFileTime(MC_EPG_LAST_TIME_VALUE, time);
}

bool cSystemInformation::ReadNextGuideDownload(tFileTimeBytes& time)
{
    return ReadFileTime(MC_EPG_NEXT_TIME_VALUE, time);
}

std::string cSystemInformation::FormatFileTime(const tFileTimeBytes& time, bool toLocal)
{
    uint64_t fileTime = 0;
    for (size_t i = time.size(); i-- > 0;)
        fileTime = fileTime << 8 | time[i];
    if (fileTime == 0)
        return INVALID_TIME;
    if (toLocal && !Platform.FileTimes.FileTimeToLocalFileTime(fileTime, fileTime))
        return INVALID_TIME;
    cLocalTime calendar;
    if (!Platform.FileTimes.FileTimeToSystemTime(fileTime, calendar) || calendar.Year < 1 || calendar.Year > 9999)
        return INVALID_TIME;
    return FormatDateTime(STAMP_PATTERN, calendar, Platform.Locale);
}

std::string cSystemInformation::GetAcpiOem()
{
    return TextOrUnknown(OEM_INFO_KEY, "AcpiOem");
}

std::string cSystemInformation::GetAcpiProduct()
{
    return TextOrUnknown(OEM_INFO_KEY, "AcpiProduct");
}

std::string cSystemInformation::GetBiosDate()
{
    return TextOrUnknown(BIOS_KEY, "SystemBiosDate");
}

std::string cSystemInformation::GetBiosVersion()
{
    cRegistryValue value;
    if (Platform.Registry.ReadValue(eHive::LocalMachine, BIOS_KEY, "SystemBiosVersion", value) != REGRESULT_SUCCESS)
        return UNKNOWN;
    // The zeros between the strings become "|"; the zeros that end the
    // multi-string (after its last character) stay and end the text.
    std::vector<uint8_t>& data = value.Data;
    bool textSeen = false;
    for (size_t i = data.size(); i-- > 1;) {
        if (data[i] != 0)
            textSeen = true;
        else if (textSeen)
            data[i] = '|';
    }
    return std::string(data.begin(), std::find(data.begin(), data.end(), 0));
}

std::string cSystemInformation::ReadTimeServer()
{
    std::string selected;
    switch (ReadText(eHive::LocalMachine, TIME_SERVERS_KEY, "", selected)) {
    case eRead::Missing:
        return "Unknown (1)";
    case eRead::NotText:
        return "Unknown (2)";
    case eRead::Ok:
        break;
    }
    std::string server;
    return ReadText(eHive::LocalMachine, TIME_SERVERS_KEY, selected, server) == eRead::NotText ? "Unknown (3)" : server;
}

bool cSystemInformation::IsScreenSaverActive()
{
    std::string active;
    return ReadText(eHive::CurrentUser, DESKTOP_KEY, "ScreenSaveActive", active) == eRead::Ok && active != "0";
}

bool cSystemInformation::IsShutwellInstalled()
{
    for (int folder : {FOLDER_STARTUP, FOLDER_COMMON_STARTUP}) {
        std::string path;
        if (Platform.Files.GetSpecialFolder(folder, path) && Platform.Files.FileExists(path + SHUTWELL_SHORTCUT))
            return true;
    }
    return false;
}

bool cSystemInformation::IsAutoAdminLogon()
{
    std::string on;
    return ReadText(eHive::LocalMachine, WINLOGON_KEY, "AutoAdminLogon", on) == eRead::Ok && on != "0";
}

std::string cSystemInformation::GetDefaultUserName()
{
    std::string name;
    return ReadText(eHive::LocalMachine, WINLOGON_KEY, "DefaultUserName", name) == eRead::Ok ? name : "";
}

std::string cSystemInformation::GetDefaultPassword()
{
    std::string password;
    return ReadText(eHive::LocalMachine, WINLOGON_KEY, "DefaultPassword", password) == eRead::Ok ? password : "";
}

bool cSystemInformation::WriteWinlogonText(const char* name, const std::string& text)
{
    cRegistryValue value;
    value.Type = REGTYPE_SZ;
    value.Data.assign(text.begin(), text.end());
    value.Data.push_back(0);
    return Platform.Registry.WriteValue(eHive::LocalMachine, WINLOGON_KEY, name, value) == REGRESULT_SUCCESS;
}

bool cSystemInformation::SetAutoAdminLogon(bool on)
{
    return WriteWinlogonText("AutoAdminLogon", on ? "1" : "0");
}

bool cSystemInformation::SetDefaultUserName(const std::string& name)
{
    return WriteWinlogonText("DefaultUserName", name);
}

bool cSystemInformation::SetDefaultPassword(const std::string& password)
{
    if (!password.empty())
        return WriteWinlogonText("DefaultPassword", password);
    // A password that is already gone is what was asked for.
    const long result = Platform.Registry.DeleteValue(eHive::LocalMachine, WINLOGON_KEY, "DefaultPassword");
    return result == REGRESULT_SUCCESS || result == REGRESULT_FILE_NOT_FOUND;
}
