// What follows the archive in a package's first file. Signing a package (osslsigncode, signtool) appends
// the signature, the PE certificate table, after everything else; the module reads only its archive, so
// the package still installs, and verify and list say what the extra bytes are.
#pragma once

#include <cstdint>
#include <string>

#include "archive/archive_reader.h"

struct TrailingData {
    uint64_t bytes = 0;      // after the archive's end
    bool signature = false;  // the image's certificate table, padded to 8 bytes from the archive's end
};

TrailingData ReadTrailingData(const std::string& path, uint64_t fileSize, uint64_t archiveEnd);
// The same for a package's first file, whose share of the archive the header gives; nothing for an
// uninstall information file (archiveOffset 270), which is never signed.
TrailingData TrailingDataOf(const std::string& path, uint32_t archiveOffset, const ArchiveReader& header);

// "an Authenticode signature (PE certificate table) of N bytes" or "N bytes that are not part of the
// archive"; empty when nothing follows.
std::string DescribeTrailingData(const TrailingData& trailing);
