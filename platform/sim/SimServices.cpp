#include "platform/sim/SimServices.h"

#include <algorithm>
#include <cctype>

#include "platform/sim/SimClock.h"

class cSimNamedMutex : public cNamedMutex {
public:
    cSimNamedMutex(cSimSynchronization& owner, std::string name) : Owner(owner), Name(std::move(name)) {}

    eWaitResult Wait(uint32_t milliseconds) override
    {
        cSimSynchronization::cState& state = Owner.State[Name];
        if (state.Abandoned) {
            state.Abandoned = false;
            state.HeldElsewhere = false;
            ++state.OwnCount;
            return eWaitResult::Abandoned;
        }
        if (state.HeldElsewhere) {
            Owner.Clock.Sleep(milliseconds);
            return eWaitResult::Timeout;
        }
        ++state.OwnCount;  // recursive for the owning thread, as on Windows
        return eWaitResult::Signaled;
    }

    bool Release() override
    {
        cSimSynchronization::cState& state = Owner.State[Name];
        if (Owner.ReleaseFails || state.OwnCount == 0)
            return false;
        --state.OwnCount;
        return true;
    }

private:
    cSimSynchronization& Owner;
    std::string Name;
};

std::unique_ptr<cNamedMutex> cSimSynchronization::CreateNamedMutex(const std::string& name)
{
    if (CreationFails)
        return nullptr;
    Created.push_back(name);
    return std::make_unique<cSimNamedMutex>(*this, name);
}

bool cSimSystemErrors::FormatMessage(uint32_t code, std::string& text)
{
    static const std::map<uint32_t, std::string> messages = {
        {0, "The operation completed successfully."},
        {2, "The system cannot find the file specified."},
        {3, "The system cannot find the path specified."},
        {5, "Access is denied."},
        {6, "The handle is invalid."},
        {87, "The parameter is incorrect."},
        {1314, "A required privilege is not held by the client."},
    };
    auto it = messages.find(code);
    if (it == messages.end())
        return false;
    text = it->second + "\r\n";
    return true;
}

namespace {

// The button ids of an MB_* button set, in the box's order.
std::vector<int> ButtonIds(uint32_t style)
{
    switch (style & 0xF) {
    case 1:
        return {1, 2};
    case 2:
        return {3, 4, 5};
    case 3:
        return {6, 7, 2};
    case 4:
        return {6, 7};
    case 5:
        return {4, 2};
    default:
        return {1};
    }
}

}  // namespace

int cSimDialogs::MessageBox(const std::string& text, const std::string& caption, uint32_t style)
{
    return MessageBoxWithButtonTexts(0, text, caption, style, {});
}

int cSimDialogs::MessageBoxWithButtonTexts(WindowHandle owner, const std::string& text, const std::string& caption,
                                           uint32_t style, const std::vector<cButtonText>& buttons)
{
    cSimMessageBox box{text, caption, style, owner, {}};
    for (int id : ButtonIds(style)) {
        std::string shown = Captions[id];
        for (const cButtonText& renamed : buttons) {
            if (renamed.Id == id)
                shown = renamed.Text;
        }
        box.Buttons.push_back({id, shown});
    }
    Boxes.push_back(box);
    if (OnShow)
        OnShow(box);
    return Answer(style);
}

int cSimDialogs::Answer(uint32_t style)
{
    if (!Answers.empty()) {
        int answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    constexpr uint32_t BUTTONS_MASK = 0xF;
    switch (style & BUTTONS_MASK) {
    case 3:  // Yes No Cancel
    case 4:  // Yes No
        return 6;
    case 5:  // Retry Cancel
        return 4;
    default:
        return 1;
    }
}

namespace {
std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}
}  // namespace

bool cSimVersionResources::GetFixedFileVersion(const std::string& path, cFixedFileVersion& version)
{
    auto it = Files.find(Lower(path));
    if (it == Files.end())
        return false;
    version = it->second;
    return true;
}

void cSimVersionResources::SetFileVersion(const std::string& path, uint16_t major, uint16_t minor, uint16_t release,
                                          uint16_t build)
{
    Files[Lower(path)] = {static_cast<uint32_t>(major) << 16 | minor, static_cast<uint32_t>(release) << 16 | build};
}

cSimSystemInfo::cSimSystemInfo()
{
    Record.Major = 6;
    Record.Minor = 1;
    Record.Build = 7601;
    Record.PlatformId = 2;
    Record.ServicePack = "Service Pack 1";
    Record.ServicePackMajor = 1;
    Record.SuiteMask = 0x300;
    Record.ProductType = 1;
    Metrics[87] = 1;
}

bool cSimSystemInfo::GetVersionRecord(cOsVersionRecord& record)
{
    record = Record;
    return true;
}

int cSimSystemInfo::GetSystemMetric(int index)
{
    auto it = Metrics.find(index);
    return it == Metrics.end() ? 0 : it->second;
}

bool cSimSystemInfo::IsWow64Process(bool& wow64)
{
    wow64 = Wow64;
    return HasWow64Function;
}

void cSimSystemInfo::SetWow64(bool hasFunction, bool wow64)
{
    HasWow64Function = hasFunction;
    Wow64 = wow64;
}

namespace {
const char* const LONG_DAYS[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const LONG_MONTHS[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
}  // namespace

std::string cSimLocale::ShortDayName(int dayOfWeek)
{
    return LongDayName(dayOfWeek).substr(0, 3);
}

std::string cSimLocale::LongDayName(int dayOfWeek)
{
    return dayOfWeek >= 0 && dayOfWeek < 7 ? LONG_DAYS[dayOfWeek] : "";
}

std::string cSimLocale::ShortMonthName(int month)
{
    return LongMonthName(month).substr(0, 3);
}

std::string cSimLocale::LongMonthName(int month)
{
    return month >= 1 && month <= 12 ? LONG_MONTHS[month - 1] : "";
}
