#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class eHive { CurrentUser, LocalMachine };

// Registry value types, numbered as Windows numbers them.
constexpr uint32_t REGTYPE_SZ = 1;
constexpr uint32_t REGTYPE_EXPAND_SZ = 2;
constexpr uint32_t REGTYPE_BINARY = 3;
constexpr uint32_t REGTYPE_DWORD = 4;
constexpr uint32_t REGTYPE_MULTI_SZ = 7;

// Win32 error codes the registry calls return.
constexpr long REGRESULT_SUCCESS = 0;
constexpr long REGRESULT_FILE_NOT_FOUND = 2;
constexpr long REGRESULT_ACCESS_DENIED = 5;

struct cRegistryValue {
    uint32_t Type = 0;
    std::vector<uint8_t> Data;
};

// The registry of the machine. Key paths are relative to the hive's root
// ("Software\\Vendor\\App"). Every call opens the key, does one thing and
// closes it again, so another process sees each write at once. Results are
// Win32 error codes, 0 on success.
class cRegistry {
public:
    virtual ~cRegistry() = default;

    virtual long ReadValue(eHive hive, const std::string& key, const std::string& name, cRegistryValue& value) = 0;
    // Creates the key (and its parents) when it is missing.
    virtual long WriteValue(eHive hive, const std::string& key, const std::string& name, const cRegistryValue& value) = 0;
    // Never creates the key.
    virtual long DeleteValue(eHive hive, const std::string& key, const std::string& name) = 0;
    virtual long CreateKey(eHive hive, const std::string& key) = 0;
    // Deletes a key that has no subkeys.
    virtual long DeleteKey(eHive hive, const std::string& key) = 0;
    virtual bool KeyExists(eHive hive, const std::string& key) = 0;
    virtual long EnumValueNames(eHive hive, const std::string& key, std::vector<std::string>& names) = 0;
    virtual long EnumSubkeys(eHive hive, const std::string& key, std::vector<std::string>& names) = 0;
};
