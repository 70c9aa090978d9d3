#include "LogFile.h"

#include <array>
#include <ctime>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace {

const std::array<const char*, 7> DAY_NAMES = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const std::array<const char*, 12> MONTH_NAMES = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int IndexOf(const auto& names, const std::string& name)
{
    for (size_t i = 0; i < names.size(); ++i) {
        if (name == names[i])
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

std::optional<std::chrono::system_clock::time_point> StampTime(const std::string& stamp)
{
    static const std::regex layout(R"(([A-Z][a-z]{2}) (\d{2}) ([A-Z][a-z]{2}) (\d{4}) (\d{2}):(\d{2}):(\d{2})\.(\d{3}))");
    std::smatch part;
    if (!std::regex_match(stamp, part, layout))
        return std::nullopt;
    const int dayIndex = IndexOf(DAY_NAMES, part[1]);
    const int monthIndex = IndexOf(MONTH_NAMES, part[3]);
    if (dayIndex < 0 || monthIndex < 0)
        return std::nullopt;

    using namespace std::chrono;
    const year_month_day date{year(std::stoi(part[4])), month(static_cast<unsigned>(monthIndex + 1)),
                              day(static_cast<unsigned>(std::stoi(part[2])))};
    if (!date.ok() || weekday(sys_days(date)).c_encoding() != static_cast<unsigned>(dayIndex))
        return std::nullopt;
    const int hour = std::stoi(part[5]), minute = std::stoi(part[6]), second = std::stoi(part[7]);
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;

    std::tm local{};
    local.tm_year = std::stoi(part[4]) - 1900;
    local.tm_mon = monthIndex;
    local.tm_mday = std::stoi(part[2]);
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    if (seconds == -1)
        return std::nullopt;
    return system_clock::from_time_t(seconds) + milliseconds(std::stoi(part[8]));
}

cLogLine ParseLogLine(const std::string& line)
{
    cLogLine parsed;
    if (line.compare(0, CONTINUATION_INDENT.size(), CONTINUATION_INDENT) == 0) {
        parsed.Kind = cLogLine::eKind::Continuation;
        parsed.Text = line.substr(CONTINUATION_INDENT.size());
    } else if (line.size() >= STAMP_WIDTH + 3 && line.compare(STAMP_WIDTH, 3, " - ") == 0 &&
               StampTime(line.substr(0, STAMP_WIDTH))) {
        parsed.Kind = cLogLine::eKind::First;
        parsed.Stamp = line.substr(0, STAMP_WIDTH);
        parsed.Text = line.substr(STAMP_WIDTH + 3);
    }
    return parsed;
}

std::optional<cLogContent> ReadLogFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    const std::string content = bytes.str();

    cLogContent log;
    size_t begin = 0;
    while (begin < content.size()) {
        const size_t end = content.find("\r\n", begin);
        if (end == std::string::npos) {
            log.Lines.push_back(content.substr(begin));
            log.CrLfOnly = false;
            break;
        }
        std::string line = content.substr(begin, end - begin);
        if (line.find_first_of("\r\n") != std::string::npos)
            log.CrLfOnly = false;
        log.Lines.push_back(std::move(line));
        begin = end + 2;
    }
    return log;
}

std::optional<cLogContent> WaitForLogFile(const std::string& path,
                                          const std::function<bool(const cLogContent&)>& done,
                                          std::chrono::milliseconds timeout)
{
    constexpr auto POLL_INTERVAL = std::chrono::milliseconds(200);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::optional<cLogContent> log = ReadLogFile(path);
        if (log && done(*log))
            return log;
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(POLL_INTERVAL);
    }
}

std::vector<std::string> LogEntries(const cLogContent& log)
{
    std::vector<std::string> entries;
    for (const std::string& line : log.Lines) {
        const cLogLine parsed = ParseLogLine(line);
        switch (parsed.Kind) {
        case cLogLine::eKind::First:
            entries.push_back(parsed.Text);
            break;
        case cLogLine::eKind::Continuation:
            entries.push_back(ENTRY_INDENT + parsed.Text);
            break;
        case cLogLine::eKind::Malformed:
            entries.push_back(line);
            break;
        }
    }
    return entries;
}
