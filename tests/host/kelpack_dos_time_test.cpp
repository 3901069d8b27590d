// DOS date/time values of the packaging tool: packing, range limits, formatting, round trips.
#include "tools/kelpack/dos_time.h"

#include <gtest/gtest.h>

namespace {

std::tm Tm(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(DosTimeTest, PacksDateHighAndTimeLowWithTwoSecondSteps) {
    uint32_t value = DosDateTimeFromTm(Tm(2024, 3, 15, 13, 45, 31));
    EXPECT_EQ(value >> 16, (44u << 9) | (3u << 5) | 15u);
    EXPECT_EQ(value & 0xFFFF, (13u << 11) | (45u << 5) | 15u);
    EXPECT_EQ(FormatDosDateTime(value), "2024-03-15 13:45:30");
    EXPECT_EQ(FormatDosDateTime(0), "-");
}

TEST(DosTimeTest, ClampsToTheFormatsYears) {
    EXPECT_EQ(FormatDosDateTime(DosDateTimeFromTm(Tm(1970, 1, 1, 0, 0, 0))), "1980-01-01 00:00:00");
    EXPECT_EQ(FormatDosDateTime(DosDateTimeFromTm(Tm(2200, 6, 1, 0, 0, 0))), "2107-12-31 23:59:58");
}

TEST(DosTimeTest, LocalTimeRoundTrip) {
    std::tm local = Tm(2019, 7, 4, 9, 30, 42);
    local.tm_isdst = -1;
    std::time_t moment = std::mktime(&local);
    EXPECT_EQ(TimeOfDosDateTime(DosDateTimeOf(moment)), moment);
    EXPECT_EQ(TimeOfDosDateTime(DosDateTimeOf(moment + 1)), moment);  // odd seconds round down
    EXPECT_EQ(TimeOfDosDateTime(0), -1);
}

}  // namespace
