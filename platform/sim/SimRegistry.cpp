#include "platform/sim/SimRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string TrimSlashes(const std::string& key)
{
    size_t first = key.find_first_not_of('\\');
    if (first == std::string::npos)
        return {};
    size_t last = key.find_last_not_of('\\');
    return key.substr(first, last - first + 1);
}

}  // namespace

std::string cSimRegistry::KeyId(eHive hive, const std::string& key)
{
    return (hive == eHive::LocalMachine ? "HKLM\\" : "HKCU\\") + Lower(TrimSlashes(key));
}

cSimRegistry::cKey* cSimRegistry::FindKey(eHive hive, const std::string& key)
{
    auto it = Keys.find(KeyId(hive, key));
    return it == Keys.end() ? nullptr : &it->second;
}

cSimRegistry::cKey& cSimRegistry::CreateKeyPath(eHive hive, const std::string& key)
{
    const std::string path = TrimSlashes(key);
    // Parents exist whenever a child does, as in the real registry.
    for (size_t pos = path.find('\\'); pos != std::string::npos; pos = path.find('\\', pos + 1)) {
        cKey& parent = Keys[KeyId(hive, path.substr(0, pos))];
        if (parent.Path.empty())
            parent.Path = path.substr(0, pos);
    }
    cKey& created = Keys[KeyId(hive, path)];
    if (created.Path.empty())
        created.Path = path;
    return created;
}

void cSimRegistry::SetWriteProtected(eHive hive, bool isProtected)
{
    (hive == eHive::LocalMachine ? WriteProtectedHklm : WriteProtectedHkcu) = isProtected;
}

long cSimRegistry::ReadValue(eHive hive, const std::string& key, const std::string& name, cRegistryValue& value)
{
    cKey* found = FindKey(hive, key);
    if (!found)
        return REGRESULT_FILE_NOT_FOUND;
    auto it = found->Values.find(Lower(name));
    if (it == found->Values.end())
        return REGRESULT_FILE_NOT_FOUND;
    value = it->second.Data;
    return REGRESULT_SUCCESS;
}

long cSimRegistry::WriteValue(eHive hive, const std::string& key, const std::string& name,
                              const cRegistryValue& value)
{
    if (hive == eHive::LocalMachine ? WriteProtectedHklm : WriteProtectedHkcu)
        return REGRESULT_ACCESS_DENIED;
    cKey& target = CreateKeyPath(hive, key);
    cValue& stored = target.Values[Lower(name)];
    if (stored.Name.empty())
        stored.Name = name;
    stored.Data = value;
    return REGRESULT_SUCCESS;
}

long cSimRegistry::DeleteValue(eHive hive, const std::string& key, const std::string& name)
{
    if (hive == eHive::LocalMachine ? WriteProtectedHklm : WriteProtectedHkcu)
        return REGRESULT_ACCESS_DENIED;
    cKey* found = FindKey(hive, key);
    if (!found || found->Values.erase(Lower(name)) == 0)
        return REGRESULT_FILE_NOT_FOUND;
    return REGRESULT_SUCCESS;
}

long cSimRegistry::CreateKey(eHive hive, const std::string& key)
{
    if (hive == eHive::LocalMachine ? WriteProtectedHklm : WriteProtectedHkcu)
        return REGRESULT_ACCESS_DENIED;
    CreateKeyPath(hive, key);
    return REGRESULT_SUCCESS;
}

long cSimRegistry::DeleteKey(eHive hive, const std::string& key)
{
    if (hive == eHive::LocalMachine ? WriteProtectedHklm : WriteProtectedHkcu)
        return REGRESULT_ACCESS_DENIED;
    std::vector<std::string> children;
    EnumSubkeys(hive, key, children);
    if (!children.empty())
        return REGRESULT_ACCESS_DENIED;
    return Keys.erase(KeyId(hive, key)) ? REGRESULT_SUCCESS : REGRESULT_FILE_NOT_FOUND;
}

bool cSimRegistry::KeyExists(eHive hive, const std::string& key)
{
    return FindKey(hive, key) != nullptr;
}

long cSimRegistry::EnumValueNames(eHive hive, const std::string& key, std::vector<std::string>& names)
{
    names.clear();
    cKey* found = FindKey(hive, key);
    if (!found)
        return REGRESULT_FILE_NOT_FOUND;
    for (const auto& [lower, value] : found->Values)
        names.push_back(value.Name);
    return REGRESULT_SUCCESS;
}

long cSimRegistry::EnumSubkeys(eHive hive, const std::string& key, std::vector<std::string>& names)
{
    names.clear();
    cKey* found = FindKey(hive, key);
    if (!found)
        return REGRESULT_FILE_NOT_FOUND;
    const std::string prefix = KeyId(hive, key) + "\\";
    for (auto it = Keys.lower_bound(prefix); it != Keys.end() && it->first.compare(0, prefix.size(), prefix) == 0;
         ++it) {
        const std::string rest = it->first.substr(prefix.size());
        if (rest.find('\\') == std::string::npos)
            names.push_back(it->second.Path.substr(it->second.Path.size() - rest.size()));
    }
    return REGRESULT_SUCCESS;
}

void cSimRegistry::SetDword(eHive hive, const std::string& key, const std::string& name, uint32_t data)
{
    cRegistryValue value;
    value.Type = REGTYPE_DWORD;
    value.Data.resize(4);
    std::memcpy(value.Data.data(), &data, 4);
    WriteValue(hive, key, name, value);
}

void cSimRegistry::SetString(eHive hive, const std::string& key, const std::string& name, const std::string& data)
{
    cRegistryValue value;
    value.Type = REGTYPE_SZ;
    value.Data.assign(data.begin(), data.end());
    value.Data.push_back(0);
    WriteValue(hive, key, name, value);
}

bool cSimRegistry::GetDword(eHive hive, const std::string& key, const std::string& name, uint32_t& data)
{
    cRegistryValue value;
    if (ReadValue(hive, key, name, value) != REGRESULT_SUCCESS || value.Type != REGTYPE_DWORD ||
        value.Data.size() != 4)
        return false;
    std::memcpy(&data, value.Data.data(), 4);
    return true;
}

bool cSimRegistry::GetString(eHive hive, const std::string& key, const std::string& name, std::string& data)
{
    cRegistryValue value;
    if (ReadValue(hive, key, name, value) != REGRESULT_SUCCESS || value.Type != REGTYPE_SZ)
        return false;
    data.assign(value.Data.begin(), std::find(value.Data.begin(), value.Data.end(), 0));
    return true;
}
