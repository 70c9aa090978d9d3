#pragma once
#include <cstdint>
#include <string>

// The extended OS version record (OSVERSIONINFOEX).
struct cOsVersionRecord {
    uint32_t Major = 0;
    uint32_t Minor = 0;
    uint32_t Build = 0;
    uint32_t PlatformId = 0;
    std::string ServicePack;
    uint16_t ServicePackMajor = 0;
    uint16_t ServicePackMinor = 0;
    uint16_t SuiteMask = 0;
    uint8_t ProductType = 0;  // 1 workstation, 2 domain controller, 3 server
};

constexpr int SYSTEM_METRIC_MEDIACENTER = 87;

// Facts about the running Windows.
class cSystemInfo {
public:
    virtual ~cSystemInfo() = default;

    virtual bool GetVersionRecord(cOsVersionRecord& record) = 0;
    virtual int GetSystemMetric(int index) = 0;
    // False when IsWow64Process does not exist on this Windows (looked up at
    // run time); otherwise wow64 holds its answer for the current process.
    virtual bool IsWow64Process(bool& wow64) = 0;
};
