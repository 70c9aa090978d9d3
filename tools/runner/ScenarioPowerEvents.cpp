#include "tools/runner/ScenarioPowerEvents.h"

#include <cctype>
#include <cstring>
#include <stdexcept>

#include "tools/runner/ScenarioWords.h"

uintptr_t ParsePowerEvent(const std::string& word)
{
    static const std::pair<const char*, uintptr_t> names[] = {
        {"PBT_APMQUERYSUSPEND", PBT_APMQUERYSUSPEND},
        {"PBT_APMQUERYSTANDBY", PBT_APMQUERYSTANDBY},
        {"PBT_APMQUERYSUSPENDFAILED", PBT_APMQUERYSUSPENDFAILED},
        {"PBT_APMQUERYSTANDBYFAILED", PBT_APMQUERYSTANDBYFAILED},
        {"PBT_APMSUSPEND", PBT_APMSUSPEND},
        {"PBT_APMSTANDBY", PBT_APMSTANDBY},
        {"PBT_APMRESUMECRITICAL", PBT_APMRESUMECRITICAL},
        {"PBT_APMRESUMESUSPEND", PBT_APMRESUMESUSPEND},
        {"PBT_APMRESUMESTANDBY", PBT_APMRESUMESTANDBY},
        {"PBT_APMBATTERYLOW", PBT_APMBATTERYLOW},
        {"PBT_APMPOWERSTATUSCHANGE", PBT_APMPOWERSTATUSCHANGE},
        {"PBT_APMOEMEVENT", PBT_APMOEMEVENT},
        {"PBT_APMRESUMEAUTOMATIC", PBT_APMRESUMEAUTOMATIC},
        {"PBT_APMAWAY", PBT_APMAWAY},
        {"PBT_APMAWAYRESUME", PBT_APMAWAYRESUME},
        {"PBT_POWERSETTINGCHANGE", PBT_POWERSETTINGCHANGE},
    };
    for (const auto& [name, code] : names)
        if (word == name)
            return code;
    if (word.empty() || !std::isdigit(static_cast<unsigned char>(word[0])))
        throw std::runtime_error("unknown power event '" + word + "'");
    return ParseNumber(word);
}

eSimWake ParseWake(const std::string& word)
{
    if (word == "automatic")
        return eSimWake::Automatic;
    if (word == "user")
        return eSimWake::User;
    if (word == "unattended")
        return eSimWake::Unattended;
    throw std::runtime_error("a wake is automatic, user or unattended, not '" + word + "'");
}

namespace {

// The value of hexadecimal digits, or throws.
uint32_t HexField(const std::string& text, size_t first, size_t count, const std::string& word)
{
    uint32_t value = 0;
    for (size_t i = first; i < first + count; ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            throw std::runtime_error("bad GUID '" + word + "'");
        value = value * 16 + static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : c - 'a' + 10);
    }
    return value;
}

}  // namespace

cGuid ParseSettingGuid(const std::string& word)
{
    static const std::pair<const char*, cGuid> names[] = {
        {"GUID_SYSTEM_AWAYMODE", GUID_SYSTEM_AWAYMODE},
        {"GUID_MONITOR_POWER_ON", GUID_MONITOR_POWER_ON},
        {"GUID_IDLE_BACKGROUND_TASK", GUID_IDLE_BACKGROUND_TASK},
    };
    for (const auto& [name, guid] : names)
        if (word == name)
            return guid;
    std::string text = word;
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        throw std::runtime_error("bad GUID '" + word + "': a GUID_ name or {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}");
    cGuid guid{};
    guid.Data1 = HexField(text, 0, 8, word);
    guid.Data2 = static_cast<uint16_t>(HexField(text, 9, 4, word));
    guid.Data3 = static_cast<uint16_t>(HexField(text, 14, 4, word));
    for (size_t i = 0; i < 8; ++i) {
        const size_t at = i < 2 ? 19 + 2 * i : 24 + 2 * (i - 2);
        guid.Data4[i] = static_cast<uint8_t>(HexField(text, at, 2, word));
    }
    return guid;
}

cPowerSettingRecord::cPowerSettingRecord(const cGuid& setting, std::optional<uint32_t> value)
    : Bytes(offsetof(cPowerBroadcastSetting, Data) + (value ? sizeof(uint32_t) : 0))
{
    const uint32_t length = value ? sizeof(uint32_t) : 0;
    std::memcpy(Bytes.data(), &setting, sizeof setting);
    std::memcpy(Bytes.data() + offsetof(cPowerBroadcastSetting, DataLength), &length, sizeof length);
    if (value)
        std::memcpy(Bytes.data() + offsetof(cPowerBroadcastSetting, Data), &*value, sizeof *value);
}
