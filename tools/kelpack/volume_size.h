// Volume sizes as package authors write them.
#pragma once

#include <cstdint>
#include <string>

// Bytes ("1457664"), kibibytes or mebibytes ("700K", "100M"), or a diskette by its usual name: 1.44M is
// 1,457,664 bytes, 1.2M 1,228,800, 2.88M 2,949,120 (those names count 1,000 KiB to the M).
// Throws UsageError for anything else, for 0 and for sizes that do not fit in 32 bits.
uint32_t ParseVolumeSize(const std::string& text);
