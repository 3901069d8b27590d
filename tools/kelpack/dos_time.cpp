// DOS date/time conversion and file times.
#include "tools/kelpack/dos_time.h"

#include "archive/dos_time.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <utime.h>

#include <cstdio>

namespace {

bool LocalTime(std::time_t moment, std::tm* out) {
#ifdef _WIN32
    return localtime_s(out, &moment) == 0;
#else
    return localtime_r(&moment, out) != nullptr;
#endif
}

}  // namespace

uint32_t DosDateTimeFromTm(const std::tm& local) {
    int year = local.tm_year + 1900;
    if (year < 1980) return (0u << 25 | 1u << 21 | 1u << 16);
    if (year > 2107) return (127u << 25 | 12u << 21 | 31u << 16 | 23u << 11 | 59u << 5 | 29u);
    uint32_t date = uint32_t(year - 1980) << 9 | uint32_t(local.tm_mon + 1) << 5 | uint32_t(local.tm_mday);
    // A leap second (60) is kept within the field.
    int seconds = local.tm_sec > 59 ? 59 : local.tm_sec;
    uint32_t time = uint32_t(local.tm_hour) << 11 | uint32_t(local.tm_min) << 5 | uint32_t(seconds / 2);
    return date << 16 | time;
}

uint32_t DosDateTimeOf(std::time_t moment) {
    std::tm local{};
    if (!LocalTime(moment, &local)) return 0;
    return DosDateTimeFromTm(local);
}

std::time_t TimeOfDosDateTime(uint32_t dosDateTime) {
    DosFields f;
    if (dosDateTime == 0 || !SplitDosDateTime(dosDateTime, &f)) return -1;
    std::tm local{};
    local.tm_year = f.year - 1900;
    local.tm_mon = f.month - 1;
    local.tm_mday = f.day;
    local.tm_hour = f.hour;
    local.tm_min = f.minute;
    local.tm_sec = f.second;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

std::string FormatDosDateTime(uint32_t dosDateTime) {
    if (dosDateTime == 0) return "-";
    DosFields f;
    SplitDosDateTime(dosDateTime, &f);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour,
                  f.minute, f.second);
    return text;
}

std::time_t FileModificationTime(const std::string& path) {
    struct stat facts;
    if (stat(path.c_str(), &facts) != 0) return -1;
    return facts.st_mtime;
}

bool SetFileModificationTime(const std::string& path, std::time_t moment) {
    struct utimbuf times;
    times.actime = moment;
    times.modtime = moment;
    return utime(path.c_str(), &times) == 0;
}
