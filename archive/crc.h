// The CRC-32 of member data (zlib's polynomial and conventions), with the carry-less multiply of newer
// processors where the processor and the system offer it: a table-driven CRC cost a tenth of the time
// of reading a package.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The CRC of data continued from crc (0 to start), as zlib's crc32 gives it.
uint32_t UpdateCrc(uint32_t crc, const unsigned char* data, size_t size);
