#include "configurator/ConfiguratorControl.h"

#include <cctype>
#include <cstring>

int32_t cControl::SelectedValue(int32_t none) const
{
    if (ItemIndex < 0 || ItemIndex >= static_cast<int>(Items.size()))
        return none;
    return Items[static_cast<size_t>(ItemIndex)].Value;
}

bool cControl::SelectValue(int32_t value)
{
    for (size_t i = 0; i < Items.size(); ++i) {
        if (Items[i].Value == value) {
            ItemIndex = static_cast<int>(i);
            return true;
        }
    }
    ItemIndex = -1;
    return false;
}

int cControl::IndexOfText(const std::string& text) const
{
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i].Text == text)
            return static_cast<int>(i);
    return -1;
}

namespace {

// Ids below 1000 are left to the window itself (the tab control, menus).
struct cIdRange {
    const char* Prefix;
    uint16_t Base;
};
// Each kind has room for 200 numbers; the longest prefix is listed before
// its shorter look-alikes.
constexpr cIdRange RANGES[] = {
    {"LabeledEdit", 1000}, {"Label", 1200},    {"StaticText", 1400}, {"CheckBox", 1600},
    {"ComboBox", 1800},    {"TrackBar", 2000}, {"RadioGroup", 2200},  {"ListView", 2400},
    {"Button", 2600},      {"Panel", 2800},    {"TabSheet", 3000},    {"Edit", 3200},
    {"UpDown", 3400},      {"Memo", 3600},     {"GroupBox", 3800},    {"Timer", 4000},
};
constexpr uint16_t HASHED_BASE = 8000;
constexpr uint16_t HASHED_SPAN = 20000;

}  // namespace

uint16_t ControlIdFor(const std::string& name)
{
    for (const cIdRange& range : RANGES) {
        const size_t length = std::strlen(range.Prefix);
        if (name.size() <= length || name.compare(0, length, range.Prefix) != 0)
            continue;
        bool digits = name.size() - length <= 3;
        for (size_t i = length; i < name.size() && digits; ++i)
            digits = std::isdigit(static_cast<unsigned char>(name[i])) != 0;
        const int number = digits ? std::stoi(name.substr(length)) : 200;
        if (digits && number < 200)
            return static_cast<uint16_t>(range.Base + number);
    }
    // FNV-1a: the same name gives the same id on every build.
    uint32_t hash = 2166136261u;
    for (unsigned char c : name) {
        hash ^= c;
        hash *= 16777619u;
    }
    return static_cast<uint16_t>(HASHED_BASE + hash % HASHED_SPAN);
}
