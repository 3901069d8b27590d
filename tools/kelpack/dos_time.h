// DOS date/time values as members carry them: the date in the high 16 bits, the time in the low 16 bits,
// local time, two-second resolution, years 1980 to 2107.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// The DOS value of a broken-down local time; earlier dates give 1980-01-01 00:00:00, later ones the last
// value the format holds. Odd seconds round down.
uint32_t DosDateTimeFromTm(const std::tm& local);
// The DOS value of a moment, in this machine's local time.
uint32_t DosDateTimeOf(std::time_t moment);
// The moment a DOS value stands for in local time; -1 for 0 (no time) or an impossible value.
std::time_t TimeOfDosDateTime(uint32_t dosDateTime);
// "YYYY-MM-DD HH:MM:SS", or "-" for 0.
std::string FormatDosDateTime(uint32_t dosDateTime);

// Last modification time of a file, or -1 when it cannot be read.
std::time_t FileModificationTime(const std::string& path);
// Sets a file's modification (and access) time; false on failure.
bool SetFileModificationTime(const std::string& path, std::time_t moment);
