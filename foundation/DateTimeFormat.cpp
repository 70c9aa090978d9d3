#include "foundation/DateTimeFormat.h"

#include <cctype>
#include <cstdio>

namespace {

std::string Number(int value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", digits, value);
    return text;
}

}  // namespace

std::string FormatDateTime(const std::string& pattern, const cLocalTime& time, cLocale& locale)
{
    std::string out;
    bool afterHour = false;
    size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '"' || c == '\'') {
            size_t end = pattern.find(c, i + 1);
            if (end == std::string::npos)
                end = pattern.size();
            out += pattern.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        size_t run = 1;
        while (i + run < pattern.size() &&
               std::tolower(static_cast<unsigned char>(pattern[i + run])) == static_cast<unsigned char>(lower))
            ++run;
        switch (lower) {
        case 'd':
            if (run >= 4)
                out += locale.LongDayName(time.DayOfWeek);
            else if (run == 3)
                out += locale.ShortDayName(time.DayOfWeek);
            else
                out += Number(time.Day, static_cast<int>(run));
            afterHour = false;
            break;
        case 'm':
            if (afterHour && run <= 2)
                out += Number(time.Minute, static_cast<int>(run));
            else if (run >= 4)
                out += locale.LongMonthName(time.Month);
            else if (run == 3)
                out += locale.ShortMonthName(time.Month);
            else
                out += Number(time.Month, static_cast<int>(run));
            afterHour = false;
            break;
        case 'y':
            out += run <= 2 ? Number(time.Year % 100, 2) : Number(time.Year, 4);
            afterHour = false;
            break;
        case 'h':
            out += Number(time.Hour, run >= 2 ? 2 : 1);
            afterHour = true;
            break;
        case 'n':
            out += Number(time.Minute, run >= 2 ? 2 : 1);
            afterHour = false;
            break;
        case 's':
            out += Number(time.Second, run >= 2 ? 2 : 1);
            afterHour = false;
            break;
        case 'z':
            out += Number(time.Milliseconds, run >= 3 ? 3 : 1);
            afterHour = false;
            break;
        default:
            out.append(run, c);
            break;
        }
        i += run;
    }
    return out;
}
