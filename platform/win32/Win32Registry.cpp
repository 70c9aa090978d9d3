#include "platform/win32/Win32Registry.h"

#include "platform/win32/Win32.h"

namespace {

HKEY RootOf(eHive hive)
{
    return hive == eHive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// An open registry key, closed when the holder goes.
class cKeyHolder {
public:
    cKeyHolder() = default;
    ~cKeyHolder()
    {
        if (Key != nullptr)
            RegCloseKey(Key);
    }
    cKeyHolder(const cKeyHolder&) = delete;
    cKeyHolder& operator=(const cKeyHolder&) = delete;

    // Opens an existing key.
    LONG Open(eHive hive, const std::string& path, REGSAM access)
    {
        return RegOpenKeyExA(RootOf(hive), path.c_str(), 0, access, &Key);
    }

    // Opens the key, creating it and its missing parents.
    LONG Create(eHive hive, const std::string& path, REGSAM access)
    {
        return RegCreateKeyExA(RootOf(hive), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                               &Key, nullptr);
    }

    HKEY Get() const { return Key; }

private:
    HKEY Key = nullptr;
};

// Registry names are limited to 255 characters for keys and 16383 for
// values; the buffers hold the longest name and its terminating zero.
constexpr DWORD MAX_KEY_NAME_BUFFER = 256;
constexpr DWORD MAX_VALUE_NAME_BUFFER = 16384;
// The first try of a value read.
constexpr size_t SMALL_VALUE_BUFFER = 64;

}  // namespace

long cWin32Registry::ReadValue(eHive hive, const std::string& key, const std::string& name, cRegistryValue& value)
{
    cKeyHolder holder;
    LONG result = holder.Open(hive, key, KEY_QUERY_VALUE);
    if (result != ERROR_SUCCESS)
        return result;

    // Every DWORD and most strings fit a small buffer: one query instead of a
    // size query and a read (the settings are read every second). A larger
    // value, or one that grew meanwhile (another process writes it), gives
    // ERROR_MORE_DATA with the size it needs, so try again with that. The
    // buffer is never empty, so the read never degrades into a size query.
    std::vector<uint8_t> data(SMALL_VALUE_BUFFER);
    for (;;) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        result = RegQueryValueExA(holder.Get(), name.c_str(), nullptr, &type, data.data(), &size);
        if (result == ERROR_SUCCESS) {
            data.resize(size);
            value.Type = type;
            value.Data = std::move(data);
            return ERROR_SUCCESS;
        }
        if (result != ERROR_MORE_DATA)
            return result;
        data.resize(size > data.size() ? size : data.size() * 2);
    }
}

long cWin32Registry::WriteValue(eHive hive, const std::string& key, const std::string& name,
                                const cRegistryValue& value)
{
    cKeyHolder holder;
    LONG result = holder.Create(hive, key, KEY_SET_VALUE);
    if (result != ERROR_SUCCESS)
        return result;
    return RegSetValueExA(holder.Get(), name.c_str(), 0, value.Type, value.Data.empty() ? nullptr : value.Data.data(),
                          static_cast<DWORD>(value.Data.size()));
}

long cWin32Registry::DeleteValue(eHive hive, const std::string& key, const std::string& name)
{
    cKeyHolder holder;
    LONG result = holder.Open(hive, key, KEY_SET_VALUE);
    if (result != ERROR_SUCCESS)
        return result;
    return RegDeleteValueA(holder.Get(), name.c_str());
}

long cWin32Registry::CreateKey(eHive hive, const std::string& key)
{
    // The least access that still creates the key: success means the key
    // exists afterwards, also where this user may not write into it.
    cKeyHolder holder;
    return holder.Create(hive, key, KEY_QUERY_VALUE);
}

long cWin32Registry::DeleteKey(eHive hive, const std::string& key)
{
    // Fails on a key that has subkeys (on the NT family).
    return RegDeleteKeyA(RootOf(hive), key.c_str());
}

bool cWin32Registry::KeyExists(eHive hive, const std::string& key)
{
    cKeyHolder holder;
    return holder.Open(hive, key, KEY_QUERY_VALUE) == ERROR_SUCCESS;
}

long cWin32Registry::EnumValueNames(eHive hive, const std::string& key, std::vector<std::string>& names)
{
    names.clear();
    cKeyHolder holder;
    LONG result = holder.Open(hive, key, KEY_QUERY_VALUE);
    if (result != ERROR_SUCCESS)
        return result;

    std::vector<char> buffer(MAX_VALUE_NAME_BUFFER);
    for (DWORD index = 0;; ++index) {
        DWORD length = MAX_VALUE_NAME_BUFFER;
        result = RegEnumValueA(holder.Get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        if (result != ERROR_SUCCESS)
            return result;
        names.emplace_back(buffer.data(), length);
    }
}

long cWin32Registry::EnumSubkeys(eHive hive, const std::string& key, std::vector<std::string>& names)
{
    names.clear();
    cKeyHolder holder;
    LONG result = holder.Open(hive, key, KEY_ENUMERATE_SUB_KEYS);
    if (result != ERROR_SUCCESS)
        return result;

    char buffer[MAX_KEY_NAME_BUFFER];
    for (DWORD index = 0;; ++index) {
        DWORD length = MAX_KEY_NAME_BUFFER;
        result = RegEnumKeyExA(holder.Get(), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        if (result != ERROR_SUCCESS)
            return result;
        names.emplace_back(buffer, length);
    }
}
