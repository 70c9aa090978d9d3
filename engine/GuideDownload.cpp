#include "engine/GuideDownload.h"

#include <algorithm>

#include "foundation/DateTimeFormat.h"
#include "targets/MediaCenterContract.h"

namespace {

constexpr const char* INVALID_TIME = "Invalid time/date";
constexpr const char* STAMP_PATTERN = "ddd dd mmm yyyy hh:mm:ss.zzz";

}  // namespace

bool ReadLastGuideDownload(cRegistry& registry, tFileTimeBytes& time)
{
    time.fill(0);
    cRegistryValue value;
    if (registry.ReadValue(eHive::LocalMachine, MC_EPG_KEY, MC_EPG_LAST_TIME_VALUE, value) != REGRESULT_SUCCESS)
        return false;
    std::copy_n(value.Data.begin(), std::min(value.Data.size(), time.size()), time.begin());
    return true;
}

std::string FormatFileTime(cPlatform& platform, const tFileTimeBytes& time, bool toLocal)
{
    uint64_t fileTime = 0;
    for (size_t i = time.size(); i-- > 0;)
        fileTime = fileTime << 8 | time[i];
    if (fileTime == 0)
        return INVALID_TIME;
    if (toLocal && !platform.FileTimes.FileTimeToLocalFileTime(fileTime, fileTime))
        return INVALID_TIME;
    cLocalTime calendar;
    if (!platform.FileTimes.FileTimeToSystemTime(fileTime, calendar) || calendar.Year < 1 || calendar.Year > 9999)
        return INVALID_TIME;
    return FormatDateTime(STAMP_PATTERN, calendar, platform.Locale);
}
