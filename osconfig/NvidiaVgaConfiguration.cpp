#include "osconfig/NvidiaVgaConfiguration.h"

#include <cstring>

namespace {

constexpr const char* SYSTEM_KEY = "SYSTEM";
// Numbered sets only: "CurrentControlSet" is a link to one of them.
constexpr const char* CONTROL_SET_PREFIX = "ControlSet";
constexpr const char* DISPLAY_CLASS = "\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}";
constexpr const char* VIDEO = "\\Control\\Video";
constexpr const char* DRIVER_SERVICE = "\\Services\\nv";
constexpr const char* PROVIDER_VALUE = "ProviderName";
constexpr const char* PROVIDER_NVIDIA = "NVIDIA";
constexpr const char* SERVICE_VALUE = "Service";
constexpr const char* SERVICE_NVIDIA = "nv";
constexpr const char* DEVICE_PREFIX = "Device";
constexpr const char* MAP_OSD3 = "MapOSD3ToNV";
constexpr const char* MAP_OSD4 = "MapOSD4ToNV";

// A REG_SZ value without its terminating zeros; false when absent or of
// another type.
bool ReadString(cRegistry& registry, const std::string& key, const char* name, std::string& text)
{
    cRegistryValue value;
    if (registry.ReadValue(eHive::LocalMachine, key, name, value) != REGRESULT_SUCCESS || value.Type != REGTYPE_SZ)
        return false;
    text.assign(value.Data.begin(), value.Data.end());
    text.erase(text.find_last_not_of('\0') + 1);
    return true;
}

std::vector<std::string> Subkeys(cRegistry& registry, const std::string& key)
{
    std::vector<std::string> names;
    if (registry.EnumSubkeys(eHive::LocalMachine, key, names) != REGRESULT_SUCCESS)
        names.clear();
    return names;
}

}  // namespace

cNvidiaVgaConfiguration::cNvidiaVgaConfiguration(cRegistry& registry) : Registry(registry)
{
    for (const std::string& set : Subkeys(Registry, SYSTEM_KEY))
        if (set.starts_with(CONTROL_SET_PREFIX))
            FindDriverKeys(std::string(SYSTEM_KEY) + "\\" + set);
    MapOsd3AtStart = GetMapOsd3();
    MapOsd4AtStart = GetMapOsd4();
}

cNvidiaVgaConfiguration::~cNvidiaVgaConfiguration() = default;

// Every comparison is exact: the driver writes these names in this case.
void cNvidiaVgaConfiguration::FindDriverKeys(const std::string& controlSet)
{
    const std::string adapters = controlSet + DISPLAY_CLASS;
    for (const std::string& adapter : Subkeys(Registry, adapters)) {
        std::string provider;
        if (ReadString(Registry, adapters + "\\" + adapter, PROVIDER_VALUE, provider) && provider == PROVIDER_NVIDIA)
            DriverKeys.push_back(adapters + "\\" + adapter + "\\Settings");
    }
    const std::string video = controlSet + VIDEO;
    for (const std::string& device : Subkeys(Registry, video)) {
        std::string service;
        if (ReadString(Registry, video + "\\" + device + "\\Video", SERVICE_VALUE, service) &&
            service == SERVICE_NVIDIA)
            DriverKeys.push_back(video + "\\" + device + "\\0000");
    }
    const std::string driverService = controlSet + DRIVER_SERVICE;
    for (const std::string& device : Subkeys(Registry, driverService))
        if (device.starts_with(DEVICE_PREFIX))
            DriverKeys.push_back(driverService + "\\" + device);
}

int32_t cNvidiaVgaConfiguration::ReadFirst(const char* name)
{
    if (DriverKeys.empty())
        return 0;
    cRegistryValue value;
    int32_t data = 0;
    if (Registry.ReadValue(eHive::LocalMachine, DriverKeys.front(), name, value) != REGRESULT_SUCCESS ||
        value.Type != REGTYPE_DWORD || value.Data.size() != sizeof(data))
        return 0;
    std::memcpy(&data, value.Data.data(), sizeof(data));
    return data;
}

// A key that is gone by now is not created again.
void cNvidiaVgaConfiguration::WriteAll(const char* name, int32_t data)
{
    cRegistryValue value;
    value.Type = REGTYPE_DWORD;
    value.Data.resize(sizeof(data));
    std::memcpy(value.Data.data(), &data, sizeof(data));
    for (const std::string& key : DriverKeys)
        if (Registry.KeyExists(eHive::LocalMachine, key))
            Registry.WriteValue(eHive::LocalMachine, key, name, value);
}

int32_t cNvidiaVgaConfiguration::GetMapOsd3()
{
    return ReadFirst(MAP_OSD3);
}

int32_t cNvidiaVgaConfiguration::GetMapOsd4()
{
    return ReadFirst(MAP_OSD4);
}

void cNvidiaVgaConfiguration::SetMapOsd3(int32_t value)
{
    WriteAll(MAP_OSD3, value);
}

void cNvidiaVgaConfiguration::SetMapOsd4(int32_t value)
{
    WriteAll(MAP_OSD4, value);
}

bool cNvidiaVgaConfiguration::IsNvidiaRebootRequired()
{
    return GetMapOsd3() != MapOsd3AtStart || GetMapOsd4() != MapOsd4AtStart;
}
