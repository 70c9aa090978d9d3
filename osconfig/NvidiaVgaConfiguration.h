#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

// The NVIDIA display driver's standby mapping of the device power states D3
// and D4 (MapOSD3ToNV, MapOSD4ToNV). The driver keys are found once, at
// construction, in every control set, so the values hold whichever set
// Windows boots from. Reads use the first key, writes go into all; write
// failures are not reported. Main thread only.
class cNvidiaVgaConfiguration {
public:
    explicit cNvidiaVgaConfiguration(cRegistry& registry);
    virtual ~cNvidiaVgaConfiguration();
    cNvidiaVgaConfiguration(const cNvidiaVgaConfiguration&) = delete;
    cNvidiaVgaConfiguration& operator=(const cNvidiaVgaConfiguration&) = delete;

    bool HasNvidiaDriver() const { return !DriverKeys.empty(); }
    // The value in the first driver key; 0 when absent or without a key.
    int32_t GetMapOsd3();
    int32_t GetMapOsd4();
    // 0 ("Disabled") is written as 0, not deleted.
    void SetMapOsd3(int32_t value);
    void SetMapOsd4(int32_t value);
    // Whether either value changed since construction: the driver reads them
    // at boot.
    bool IsNvidiaRebootRequired();
    // Paths below HKEY_LOCAL_MACHINE, in the order found.
    const std::vector<std::string>& GetDriverKeys() const { return DriverKeys; }

private:
    void FindDriverKeys(const std::string& controlSet);
    int32_t ReadFirst(const char* name);
    void WriteAll(const char* name, int32_t value);

    cRegistry& Registry;
    std::vector<std::string> DriverKeys;
    int32_t MapOsd3AtStart = 0;
    int32_t MapOsd4AtStart = 0;
};
