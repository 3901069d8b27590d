// DOS date/time values of archive members (date in the high 16 bits, time in the low 16 bits).
#pragma once

#include <stdint.h>

#include "common/file_io.h"

// The file time of a DOS date/time, still in local time; zero when the value is no valid date.
FILETIME DosTimeToFileTime(uint32_t dosDateTime);
