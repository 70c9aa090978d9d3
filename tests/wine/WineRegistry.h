#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "Wine.h"

// A registry value as `reg query` prints it: the type name ("REG_DWORD")
// and the data text ("0x1" for a DWORD, the string itself for REG_SZ).
struct cRegistryEntry {
    std::string Type;
    std::string Data;

    bool operator==(const cRegistryEntry&) const = default;
};
std::ostream& operator<<(std::ostream& out, const cRegistryEntry& entry);

cRegistryEntry DwordEntry(uint32_t value);

// The registry of a Wine prefix, through Wine's own reg.exe, which goes
// through the same wineserver as the program under test. Keys are full
// names such as "HKLM\Software\Velderane\Slumberhold".
class cWineRegistry {
public:
    explicit cWineRegistry(const cWine& wine);

    bool SetDword(const std::string& key, const std::string& name, uint32_t value) const;
    bool SetString(const std::string& key, const std::string& name, const std::string& value) const;
    // Every value of the key by name; nothing when reg.exe fails (also when
    // the key does not exist).
    std::optional<std::map<std::string, cRegistryEntry>> ReadKey(const std::string& key) const;
    std::optional<cRegistryEntry> Read(const std::string& key, const std::string& name) const;

private:
    bool Add(const std::string& key, const std::string& name, const std::string& type,
             const std::string& data) const;

    const cWine& Wine;
};

// The values listed in the output of `reg query KEY` (the values of KEY
// itself; subkey lines are skipped).
std::map<std::string, cRegistryEntry> ParseRegQuery(const std::string& output);
