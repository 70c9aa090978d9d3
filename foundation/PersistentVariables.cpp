#include "foundation/PersistentVariables.h"

#include <algorithm>
#include <cstring>

namespace {

cRegistryValue DwordValue(uint32_t data)
{
    cRegistryValue value;
    value.Type = REGTYPE_DWORD;
    value.Data.resize(sizeof data);
    std::memcpy(value.Data.data(), &data, sizeof data);
    return value;
}

// The settings key as the registry calls take it, made once instead of at
// every read.
const std::string& SettingsKey()
{
    static const std::string key = SETTINGS_KEY;
    return key;
}

}  // namespace

cPersistentVariable::cPersistentVariable(cRegistry& registry, std::string name, int hive)
    : Registry(registry), Hive(hive == HIVE_LOCAL_MACHINE ? eHive::LocalMachine : eHive::CurrentUser),
      Name(std::move(name))
{
}

bool cPersistentVariable::Exists() const
{
    cRegistryValue ignored;
    return Registry.ReadValue(Hive, SettingsKey(), Name, ignored) == REGRESULT_SUCCESS;
}

void cPersistentVariable::Delete()
{
    Registry.DeleteValue(Hive, SettingsKey(), Name);
}

void cPersistentVariable::SetEnabled(uint32_t bit, bool enabled)
{
    if (enabled)
        DisableMask &= ~bit;
    else
        DisableMask |= bit;
}

bool cPersistentVariable::Read(uint32_t type, cRegistryValue& value) const
{
    if (Registry.ReadValue(Hive, SettingsKey(), Name, value) != REGRESULT_SUCCESS || value.Type != type)
        return false;
    return type != REGTYPE_DWORD || value.Data.size() == sizeof(uint32_t);
}

bool cPersistentVariable::Write(const cRegistryValue& value)
{
    return Registry.WriteValue(Hive, SettingsKey(), Name, value) == REGRESULT_SUCCESS;
}

cPersistentBool::cPersistentBool(cRegistry& registry, const std::string& name, int hive, bool defaultValue)
    : cPersistentVariable(registry, name, hive)
{
    if (!Exists())
        Set(defaultValue);
}

cPersistentBool::cPersistentBool(cRegistry& registry, const std::string& name, int hive)
    : cPersistentVariable(registry, name, hive)
{
}

bool cPersistentBool::Get() const
{
    if (DisableMask != 0)
        return DISABLED_VALUE;
    cRegistryValue value;
    if (!Read(REGTYPE_DWORD, value))
        return Remembered;
    uint32_t data;
    std::memcpy(&data, value.Data.data(), sizeof data);
    return data != 0;
}

bool cPersistentBool::Set(bool value)
{
    if (DisableMask != 0)
        return false;
    Remembered = value;
    return Write(DwordValue(value ? 1 : 0));
}

cPersistentInteger::cPersistentInteger(cRegistry& registry, const std::string& name, int hive,
                                       int32_t defaultValue)
    : cPersistentVariable(registry, name, hive)
{
    if (!Exists())
        Set(defaultValue);
}

int32_t cPersistentInteger::Get() const
{
    if (DisableMask != 0)
        return DisabledValue;
    cRegistryValue value;
    if (!Read(REGTYPE_DWORD, value))
        return Remembered;
    int32_t data;
    std::memcpy(&data, value.Data.data(), sizeof data);
    return data;
}

bool cPersistentInteger::Set(int32_t value)
{
    Remembered = value;
    return Write(DwordValue(static_cast<uint32_t>(value)));
}

cPersistentAnsiString::cPersistentAnsiString(cRegistry& registry, const std::string& name, int hive,
                                             const std::string& defaultValue)
    : cPersistentVariable(registry, name, hive)
{
    if (!Exists())
        Set(defaultValue);
}

cPersistentAnsiString::cPersistentAnsiString(cRegistry& registry, const std::string& name, int hive)
    : cPersistentVariable(registry, name, hive)
{
}

std::string cPersistentAnsiString::Get() const
{
    cRegistryValue value;
    if (!Read(REGTYPE_SZ, value))
        return Remembered;
    // The stored text may or may not carry its terminating zero.
    return std::string(value.Data.begin(), std::find(value.Data.begin(), value.Data.end(), 0));
}

bool cPersistentAnsiString::Set(const std::string& value)
{
    Remembered = value;
    cRegistryValue stored;
    stored.Type = REGTYPE_SZ;
    stored.Data.assign(value.begin(), value.end());
    stored.Data.push_back(0);
    return Write(stored);
}
