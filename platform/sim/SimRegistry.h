#pragma once
#include <map>
#include <string>

#include "platform/Registry.h"

// An in-memory registry with both hives. Key and value names compare without
// regard to case, as on Windows; the spelling of the first write is kept.
class cSimRegistry : public cRegistry {
public:
    long ReadValue(eHive hive, const std::string& key, const std::string& name, cRegistryValue& value) override;
    long WriteValue(eHive hive, const std::string& key, const std::string& name, const cRegistryValue& value) override;
    long DeleteValue(eHive hive, const std::string& key, const std::string& name) override;
    long CreateKey(eHive hive, const std::string& key) override;
    long DeleteKey(eHive hive, const std::string& key) override;
    bool KeyExists(eHive hive, const std::string& key) override;
    long EnumValueNames(eHive hive, const std::string& key, std::vector<std::string>& names) override;
    long EnumSubkeys(eHive hive, const std::string& key, std::vector<std::string>& names) override;

    // A user without administrator rights: every write to the hive is refused.
    void SetWriteProtected(eHive hive, bool isProtected);

    // Conveniences for tests and scenarios.
    void SetDword(eHive hive, const std::string& key, const std::string& name, uint32_t data);
    void SetString(eHive hive, const std::string& key, const std::string& name, const std::string& data);
    bool GetDword(eHive hive, const std::string& key, const std::string& name, uint32_t& data);
    bool GetString(eHive hive, const std::string& key, const std::string& name, std::string& data);

private:
    struct cValue {
        std::string Name;
        cRegistryValue Data;
    };
    struct cKey {
        std::string Path;
        std::map<std::string, cValue> Values;  // by lower-case name
    };

    static std::string KeyId(eHive hive, const std::string& key);
    cKey* FindKey(eHive hive, const std::string& key);
    cKey& CreateKeyPath(eHive hive, const std::string& key);

    std::map<std::string, cKey> Keys;  // by KeyId
    bool WriteProtectedHklm = false;
    bool WriteProtectedHkcu = false;
};
