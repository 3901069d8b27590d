// The file version of a Windows executable or DLL, read from its version resource by parsing the PE
// image directly, so that the tool gives the same answer on every system it runs on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct FileVersion {
    uint32_t high = 0xFFFFFFFF;  // dwFileVersionMS: major << 16 | minor
    uint32_t low = 0xFFFFFFFF;   // dwFileVersionLS: build << 16 | revision
    bool Known() const { return high != 0xFFFFFFFF && low != 0xFFFFFFFF; }
};

// The version in the file's VS_FIXEDFILEINFO; the "no version" pair for files that are not PE images,
// images without a version resource, and damaged or truncated images. Never throws for bad content.
FileVersion ReadFileVersion(const std::string& path);

// "a.b.c.d", or "-" without a version (either half 0xFFFFFFFF, as the module compares versions).
std::string FormatVersion(uint32_t high, uint32_t low);

// The certificate table of a signed image (an Authenticode signature): where it starts in the file and
// its size, as the image's security directory gives them. Nothing for an unsigned image or no PE image.
struct CertificateTable {
    uint32_t offset = 0, size = 0;
};
std::optional<CertificateTable> ReadCertificateTable(const std::string& path);
