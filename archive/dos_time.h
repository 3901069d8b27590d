// DOS date/time values of archive members (date in the high 16 bits, time in the low 16 bits).
#pragma once

#include <stdint.h>

#include "common/file_io.h"

// The fields of a DOS date/time as stored (year 1980 to 2107, seconds in steps of two).
struct DosFields {
    int year, month, day, hour, minute, second;
};
// Fills fields from the value; 1 when they name a real date and time, else 0.
int SplitDosDateTime(uint32_t dosDateTime, DosFields* fields);

// The file time of a DOS date/time, still in local time; zero when the value is no valid date.
FILETIME DosTimeToFileTime(uint32_t dosDateTime);
