#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"

// Version codes: one per Windows release the program tells apart.
constexpr uint32_t WV_UNKNOWN = 0;
constexpr uint32_t WV_NT4 = 0x2000;
constexpr uint32_t WV_2000 = 0x3000;
constexpr uint32_t WV_XP = 0x4000;
constexpr uint32_t WV_SERVER2003 = 0x5000;  // also XP x64
constexpr uint32_t WV_HOMESERVER = 0x6000;
constexpr uint32_t WV_VISTA = 0x7000;  // also 6.x above 6.1
constexpr uint32_t WV_SERVER2008 = 0x8000;
constexpr uint32_t WV_SERVER2008R2 = 0x10000;
constexpr uint32_t WV_WINDOWS7 = 0x20000;

// Which Windows this is, read once at construction. The predicates are
// computed from the version record itself, not from the code.
class cWindowsVersion {
public:
    explicit cWindowsVersion(cPlatform& platform);

    uint32_t GetVersionCode() const { return VersionCode; }
    bool IsXpFamily() const;
    bool IsVista() const;
    bool IsVistaOrLater() const;
    bool IsWindows7OrLater() const;
    bool IsMediaCenter() const;
    bool IsWow64() const;
    std::string GetUiFontName() const;
    const cOsVersionRecord& GetVersionRecord() const { return Record; }

    // The installed Media Center's version identifier, or "0.0"; read from
    // the registry at every call.
    static std::string GetMediaCenterIdent(cRegistry& registry);
    static std::string GetMediaCenterName(cRegistry& registry);
    // The release name of a Media Center identifier (bytewise comparisons).
    static std::string MediaCenterNameOf(const std::string& ident);

private:
    static uint32_t DeriveCode(const cOsVersionRecord& record);

    cSystemInfo& System;
    cOsVersionRecord Record;
    uint32_t VersionCode = WV_UNKNOWN;
};
