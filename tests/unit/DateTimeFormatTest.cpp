#include <gtest/gtest.h>

#include "foundation/DateTimeFormat.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimServices.h"

TEST(DateTimeFormat, FormatsTheLogAndTaskListPatterns)
{
    cLocalTime time;
    time.Year = 2026;
    time.Month = 12;
    time.Day = 9;
    time.DayOfWeek = 3;
    time.Hour = 1;
    time.Minute = 45;
    time.Second = 14;
    time.Milliseconds = 123;
    cSimLocale locale;
    EXPECT_EQ(FormatDateTime("ddd dd mmm yyyy hh:mm:ss.zzz", time, locale), "Wed 09 Dec 2026 01:45:14.123");
    EXPECT_EQ(FormatDateTime("yyyymmdd-hhmmsszzz", time, locale), "20261209-014514123");
    EXPECT_EQ(FormatDateTime("dddd d mmmm yy, h:nn", time, locale), "Wednesday 9 December 26, 1:45");
}

TEST(DateTimeFormat, CalendarArithmeticAgreesWithTheWeekdays)
{
    cLocalTime leap = MillisecondsToLocalTime(LocalTimeToMilliseconds({2028, 2, 0, 29, 23, 59, 59, 999}) + 1);
    EXPECT_EQ(leap.Month, 3);
    EXPECT_EQ(leap.Day, 1);
    EXPECT_EQ(leap.DayOfWeek, 3);  // 1 March 2028 is a Wednesday
    EXPECT_EQ(leap.Hour, 0);
}
