#include "WineRegistry.h"

#include <cstdio>
#include <sstream>

namespace {

constexpr auto REG_TIMEOUT = std::chrono::seconds(30);
// reg.exe separates the columns of a value line with four blanks.
const std::string COLUMN = "    ";

}  // namespace

std::ostream& operator<<(std::ostream& out, const cRegistryEntry& entry)
{
    return out << entry.Type << " " << entry.Data;
}

cRegistryEntry DwordEntry(uint32_t value)
{
    char data[16];
    std::snprintf(data, sizeof data, "0x%x", value);
    return {"REG_DWORD", data};
}

cWineRegistry::cWineRegistry(const cWine& wine) : Wine(wine)
{
}

bool cWineRegistry::Add(const std::string& key, const std::string& name, const std::string& type,
                        const std::string& data) const
{
    // A loaded machine now and then makes reg.exe fail once; a second and a
    // third try tell a passing hiccup from a real failure.
    constexpr int ATTEMPTS = 3;
    for (int attempt = 1; attempt <= ATTEMPTS; ++attempt) {
        const cRunResult result =
            Wine.Run({"reg", "add", key, "/v", name, "/t", type, "/d", data, "/f"}, REG_TIMEOUT);
        if (result.Finished && result.ExitCode == 0)
            return true;
        std::fprintf(stderr, "reg add %s /v %s failed (try %d, %s, exit %d): %s\n", key.c_str(), name.c_str(),
                     attempt, result.Finished ? "finished" : "timed out", result.ExitCode, result.Output.c_str());
    }
    return false;
}

bool cWineRegistry::SetDword(const std::string& key, const std::string& name, uint32_t value) const
{
    return Add(key, name, "REG_DWORD", std::to_string(value));
}

bool cWineRegistry::SetString(const std::string& key, const std::string& name, const std::string& value) const
{
    return Add(key, name, "REG_SZ", value);
}

std::optional<std::map<std::string, cRegistryEntry>> cWineRegistry::ReadKey(const std::string& key) const
{
    const cRunResult result = Wine.Run({"reg", "query", key}, REG_TIMEOUT);
    if (!result.Finished || result.ExitCode != 0)
        return std::nullopt;
    return ParseRegQuery(result.Output);
}

std::optional<cRegistryEntry> cWineRegistry::Read(const std::string& key, const std::string& name) const
{
    const std::optional<std::map<std::string, cRegistryEntry>> values = ReadKey(key);
    if (!values)
        return std::nullopt;
    const auto found = values->find(name);
    if (found == values->end())
        return std::nullopt;
    return found->second;
}

std::map<std::string, cRegistryEntry> ParseRegQuery(const std::string& output)
{
    // A value line: four blanks, name, four blanks, type, four blanks, data
    // (the data may be empty and may itself contain blanks).
    std::map<std::string, cRegistryEntry> values;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, COLUMN.size(), COLUMN) != 0)
            continue;
        const size_t typeStart = line.find(COLUMN + "REG_", COLUMN.size());
        if (typeStart == std::string::npos)
            continue;
        const std::string name = line.substr(COLUMN.size(), typeStart - COLUMN.size());
        const size_t typeBegin = typeStart + COLUMN.size();
        const size_t typeEnd = line.find(COLUMN, typeBegin);
        cRegistryEntry entry;
        entry.Type = line.substr(typeBegin, typeEnd == std::string::npos ? std::string::npos : typeEnd - typeBegin);
        if (typeEnd != std::string::npos)
            entry.Data = line.substr(typeEnd + COLUMN.size());
        values[name] = entry;
    }
    return values;
}
