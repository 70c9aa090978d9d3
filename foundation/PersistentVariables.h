#pragma once
#include <cstdint>
#include <string>

#include "foundation/Settings.h"
#include "platform/Registry.h"

// One registry value of the settings key. Nothing is cached: every read and
// every write goes to the registry, so an engine and a configurator process
// see each other's changes at their next read.
//
// The disable mask is a set of independent reasons (one bit each, owned by
// whoever knows the reason) for which the setting is switched off.
class cPersistentVariable {
public:
    cPersistentVariable(cRegistry& registry, std::string name, int hive);
    virtual ~cPersistentVariable() = default;

    bool Exists() const;
    void Delete();
    void SetEnabled(uint32_t bit, bool enabled);
    bool IsEnabled() const { return DisableMask == 0; }
    const std::string& GetName() const { return Name; }

protected:
    // The stored value when it exists and has the expected type. A value of
    // another type reads as absent.
    bool Read(uint32_t type, cRegistryValue& value) const;
    bool Write(const cRegistryValue& value);

    cRegistry& Registry;
    const eHive Hive;
    const std::string Name;
    uint32_t DisableMask = 0;
};

class cPersistentBool : public cPersistentVariable {
public:
    cPersistentBool(cRegistry& registry, const std::string& name, int hive, bool defaultValue);
    cPersistentBool(cRegistry& registry, const std::string& name, int hive);

    bool Get() const;
    bool Set(bool value);
    operator bool() const { return Get(); }
    cPersistentBool& operator=(bool value)
    {
        Set(value);
        return *this;
    }

private:
    bool Remembered = false;
    static constexpr bool DISABLED_VALUE = false;
};

class cPersistentInteger : public cPersistentVariable {
public:
    cPersistentInteger(cRegistry& registry, const std::string& name, int hive, int32_t defaultValue);

    int32_t Get() const;
    // Writes even while disabled: the value then takes effect once enabled.
    bool Set(int32_t value);
    void SetDisabledValue(int32_t value) { DisabledValue = value; }
    operator int32_t() const { return Get(); }
    cPersistentInteger& operator=(int32_t value)
    {
        Set(value);
        return *this;
    }

private:
    int32_t Remembered = 0;
    int32_t DisabledValue = 0;
};

// The disable mask has no effect on strings.
class cPersistentAnsiString : public cPersistentVariable {
public:
    cPersistentAnsiString(cRegistry& registry, const std::string& name, int hive, const std::string& defaultValue);
    cPersistentAnsiString(cRegistry& registry, const std::string& name, int hive);

    std::string Get() const;
    bool Set(const std::string& value);
    operator std::string() const { return Get(); }
    cPersistentAnsiString& operator=(const std::string& value)
    {
        Set(value);
        return *this;
    }

private:
    std::string Remembered;
};
