#pragma once
#include "platform/Registry.h"

// The registry through the ANSI registry API. Every call opens the key, does
// one thing and closes it; results are the Win32 error codes of the API.
// Keys are opened in the process's own registry view (a 32-bit program on
// 64-bit Windows sees the 32-bit view, as Windows decides).
class cWin32Registry final : public cRegistry {
public:
    long ReadValue(eHive hive, const std::string& key, const std::string& name, cRegistryValue& value) override;
    long WriteValue(eHive hive, const std::string& key, const std::string& name, const cRegistryValue& value) override;
    long DeleteValue(eHive hive, const std::string& key, const std::string& name) override;
    long CreateKey(eHive hive, const std::string& key) override;
    long DeleteKey(eHive hive, const std::string& key) override;
    bool KeyExists(eHive hive, const std::string& key) override;
    long EnumValueNames(eHive hive, const std::string& key, std::vector<std::string>& names) override;
    long EnumSubkeys(eHive hive, const std::string& key, std::vector<std::string>& names) override;
};
