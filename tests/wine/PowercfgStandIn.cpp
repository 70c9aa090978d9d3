#include "PowercfgStandIn.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr const char* RECORD = "C:\\powercfg.log";
constexpr const char* SCRIPT = "C:\\powercfg.script";
constexpr const char* DELAY = "C:\\powercfg.delay";
constexpr const char* PROGRAM = "C:\\windows\\system32\\powercfg.exe";
constexpr const char* STARTED = "started: ";

}  // namespace

std::vector<std::string> cPowercfgStandIn::Record() const
{
    return TextLines(ReadWholeFile(Prefix.LinuxPath(RECORD)));
}

std::vector<std::string> cPowercfgStandIn::Runs() const
{
    std::vector<std::string> runs;
    for (const std::string& line : Record())
        if (line.starts_with(STARTED))
            runs.push_back(line.substr(std::string(STARTED).size()));
    return runs;
}

void cPowercfgStandIn::ClearRecord() const
{
    std::filesystem::remove(Prefix.LinuxPath(RECORD));
}

void cPowercfgStandIn::SetScript(const std::string& script) const
{
    std::ofstream(Prefix.LinuxPath(SCRIPT), std::ios::binary) << script;
}

void cPowercfgStandIn::SetDelay(int milliseconds) const
{
    std::ofstream(Prefix.LinuxPath(DELAY), std::ios::binary) << milliseconds;
}

void cPowercfgStandIn::Remove() const
{
    std::filesystem::remove(Prefix.LinuxPath(PROGRAM));
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

std::vector<std::string> TextLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}
