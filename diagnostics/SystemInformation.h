#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "platform/Platform.h"

// A FILETIME as Media Center stores it in the registry: 8 bytes, little-endian.
using tFileTimeBytes = std::array<uint8_t, 8>;

// Small readers of Windows settings for the summary report, the engine and
// the configurator, and the writers of the autologon values. Keeps nothing:
// every call goes to the registry or the file system anew. Absent or
// unreadable values give the replacement results named below; nothing is
// shown or logged. Created by the start-up, used on the main thread.
class cSystemInformation {
public:
    explicit cSystemInformation(cPlatform& platform) : Platform(platform) {}

    // Media Center's last and next guide download. Missing: all zeros and
    // false. Shorter data is padded with zeros, longer data is cut.
    bool ReadLastGuideDownload(tFileTimeBytes& time);
    bool ReadNextGuideDownload(tFileTimeBytes& time);
    // "ddd dd mmm yyyy hh:mm:ss.zzz", optionally converted from UTC to local
    // time first; "Invalid time/date" for all zeros or a time the system
    // cannot convert.
    std::string FormatFileTime(const tFileTimeBytes& time, bool toLocal);

    // OEM and BIOS identification; "Unknown" when absent. The BIOS version
    // is a multi-string, its strings joined with "|".
    std::string GetAcpiOem();
    std::string GetAcpiProduct();
    std::string GetBiosDate();
    std::string GetBiosVersion();

    // The selected time server; "Unknown (1)" without a selection,
    // "Unknown (2)" when the selection is not a text, "Unknown (3)" when the
    // selected entry is not a text, empty when it does not exist.
    std::string ReadTimeServer();
    bool IsScreenSaverActive();
    // The companion's start-up shortcut, in the user's or the all-users
    // start-up folder.
    bool IsShutwellInstalled();

    // Windows autologon. Any AutoAdminLogon text but "0" means on.
    bool IsAutoAdminLogon();
    std::string GetDefaultUserName();
    std::string GetDefaultPassword();
    // False when the value could not be written (no rights).
    bool SetAutoAdminLogon(bool on);
    bool SetDefaultUserName(const std::string& name);
    // An empty password removes the value.
    bool SetDefaultPassword(const std::string& password);

private:
    enum class eRead { Ok, Missing, NotText };
    eRead ReadText(eHive hive, const std::string& key, const std::string& name, std::string& text);
    std::string TextOrUnknown(const std::string& key, const std::string& name);
    bool ReadFileTime(const char* name, tFileTimeBytes& time);
    bool WriteWinlogonText(const char* name, const std::string& text);

    cPlatform& Platform;
};
