// DOS date/time to file time. Windows has a routine for it; the native tool uses the same arithmetic.
#include "archive/dos_time.h"

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysIn(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return days[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

}  // namespace

int SplitDosDateTime(uint32_t dosDateTime, DosFields* fields) {
    const unsigned date = dosDateTime >> 16, time = dosDateTime & 0xFFFF;
    *fields = {1980 + static_cast<int>(date >> 9), static_cast<int>((date >> 5) & 15),
               static_cast<int>(date & 31),        static_cast<int>(time >> 11),
               static_cast<int>((time >> 5) & 63), static_cast<int>(time & 31) * 2};
    const DosFields& f = *fields;
    return f.month >= 1 && f.month <= 12 && f.day >= 1 && f.day <= DaysIn(f.year, f.month) && f.hour <= 23 &&
           f.minute <= 59 && f.second <= 59;
}

#ifdef _WIN32

FILETIME DosTimeToFileTime(uint32_t dosDateTime) {
    FILETIME time = {0, 0};
    if (!DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16), static_cast<WORD>(dosDateTime), &time))
        time = FILETIME{0, 0};
    return time;
}

#else

namespace {

// Days from 1601-01-01 to the given date of the proleptic Gregorian calendar.
int64_t DaysSince1601(int year, int month, int day) {
    static const int daysBeforeMonth[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const int64_t years = year - 1601;
    int64_t days = years * 365 + years / 4 - years / 100 + years / 400 + daysBeforeMonth[month - 1] + day - 1;
    if (IsLeapYear(year) && month > 2) ++days;
    return days;
}

}  // namespace

FILETIME DosTimeToFileTime(uint32_t dosDateTime) {
    DosFields f;
    if (!SplitDosDateTime(dosDateTime, &f)) return FILETIME{0, 0};
    const int64_t seconds =
        DaysSince1601(f.year, f.month, f.day) * 86400 + f.hour * 3600 + f.minute * 60 + f.second;
    const uint64_t ticks = static_cast<uint64_t>(seconds) * 10000000u;
    return FILETIME{static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)};
}
#endif
