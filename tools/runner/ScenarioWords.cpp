#include "tools/runner/ScenarioWords.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

#include "targets/MediaCenterContract.h"

tWords SplitWords(const std::string& line)
{
    tWords words;
    size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        if (line[i] == '#')
            break;
        std::string word;
        if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos)
                throw std::runtime_error("unclosed quote");
            word = "\"" + line.substr(i + 1, end - i - 1);  // a leading quote marks text
            i = end + 1;
        } else {
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
                word += line[i++];
        }
        words.push_back(word);
    }
    return words;
}

bool IsText(const std::string& word)
{
    return !word.empty() && word[0] == '"';
}

std::string Unquote(const std::string& word)
{
    return IsText(word) ? word.substr(1) : word;
}

uint64_t ParseDuration(const std::string& text)
{
    uint64_t total = 0;
    size_t i = 0;
    if (text.empty())
        throw std::runtime_error("empty duration");
    while (i < text.size()) {
        size_t digits = i;
        while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])))
            ++digits;
        if (digits == i)
            throw std::runtime_error("bad duration '" + text + "'");
        const uint64_t amount = std::stoull(text.substr(i, digits - i));
        size_t unitEnd = digits;
        while (unitEnd < text.size() && std::isalpha(static_cast<unsigned char>(text[unitEnd])))
            ++unitEnd;
        const std::string unit = text.substr(digits, unitEnd - digits);
        if (unit == "ms")
            total += amount;
        else if (unit == "s" || unit.empty())
            total += amount * 1000;
        else if (unit == "m")
            total += amount * 60000;
        else if (unit == "h")
            total += amount * 3600000;
        else
            throw std::runtime_error("bad duration unit '" + unit + "'");
        i = unitEnd;
    }
    return total;
}

// "hh:mm:ss" or "hh:mm:ss.zzz" as milliseconds since midnight.
int64_t ParseTimeOfDay(const std::string& text)
{
    unsigned hour = 0, minute = 0, second = 0, milliseconds = 0;
    const int fields = std::sscanf(text.c_str(), "%u:%u:%u.%u", &hour, &minute, &second, &milliseconds);
    if (fields < 2 || hour > 23 || minute > 59 || second > 59)
        throw std::runtime_error("bad time '" + text + "'");
    return ((hour * 60 + minute) * 60 + second) * 1000LL + milliseconds;
}

eHive ParseHive(const std::string& word)
{
    if (word == "HKLM")
        return eHive::LocalMachine;
    if (word == "HKCU")
        return eHive::CurrentUser;
    throw std::runtime_error("unknown hive '" + word + "'");
}

bool ParseYesNo(const std::string& word)
{
    if (word == "yes")
        return true;
    if (word == "no")
        return false;
    throw std::runtime_error("expected yes or no, not '" + word + "'");
}

void RequireArguments(const tWords& words, size_t count)
{
    if (words.size() < count + 1)
        throw std::runtime_error(words[0] + " needs " + std::to_string(count) + " arguments");
}

cOptions ParseOptions(const tWords& words, size_t first,
                      const std::vector<std::string>& names, const std::vector<std::string>& flags)
{
    cOptions options;
    for (size_t i = first; i < words.size(); ++i) {
        const std::string word = Unquote(words[i]);
        const size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        if (equals == std::string::npos && std::find(flags.begin(), flags.end(), word) != flags.end())
            options.Flags.push_back(word);
        else if (equals != std::string::npos && std::find(names.begin(), names.end(), name) != names.end())
            options.Values[name] = word.substr(equals + 1);
        else
            throw std::runtime_error("unknown option '" + word + "'");
    }
    return options;
}

bool HasFlag(const cOptions& options, const std::string& flag)
{
    return std::find(options.Flags.begin(), options.Flags.end(), flag) != options.Flags.end();
}

uint32_t ParseNumber(const std::string& text)
{
    size_t end = 0;
    unsigned long long value = 0;
    try {
        value = std::stoull(text, &end, 0);
    } catch (const std::exception&) {
        end = 0;
    }
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])) || end != text.size() ||
        value > 0xFFFFFFFFull)
        throw std::runtime_error("bad number '" + text + "'");
    return static_cast<uint32_t>(value);
}

// The number that names a recording or a session.
int ParseIdentity(const std::string& text)
{
    const uint32_t number = ParseNumber(text);
    if (number == 0 || number > 0x7FFFFFFF)
        throw std::runtime_error("recordings and sessions are numbered from 1, not '" + text + "'");
    return static_cast<int>(number);
}

uint32_t ParseMcState(const std::string& word)
{
    static const std::pair<const char*, uint32_t> names[] = {
        {"none", MCSA_STATE_NONE},   {"stopped", MCSA_STATE_STOPPED}, {"playing", MCSA_STATE_PLAYING},
        {"paused", MCSA_STATE_PAUSED}, {"ended", MCSA_STATE_ENDED},   {"menu", MCSA_STATE_MENU},
        {"closing", MCSA_STATE_CLOSING},
    };
    std::string lower;
    for (char c : word)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& [name, state] : names)
        if (lower == name)
            return state;
    if (!word.empty() && std::isdigit(static_cast<unsigned char>(word[0])))
        return ParseNumber(word);
    throw std::runtime_error("unknown Media Center state '" + word + "'");
}

uint32_t ParseSeconds(const std::string& text)
{
    return static_cast<uint32_t>(ParseDuration(text) / 1000);
}

bool ParseOnOff(const std::string& word)
{
    if (word == "on")
        return true;
    if (word == "off")
        return false;
    throw std::runtime_error("expected on or off, not '" + word + "'");
}

// Execution-state flags another program may hold (ES_*).
uint32_t ParseHolderFlag(const std::string& word)
{
    if (word == "system")
        return 0x00000001;  // ES_SYSTEM_REQUIRED
    if (word == "display")
        return 0x00000002;  // ES_DISPLAY_REQUIRED
    if (word == "away")
        return 0x00000040;  // ES_AWAYMODE_REQUIRED
    throw std::runtime_error("a holder holds system, display or away, not '" + word + "'");
}


std::string ShownText(const std::string& text)
{
    std::string shown;
    for (char c : text)
        shown += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return shown;
}
