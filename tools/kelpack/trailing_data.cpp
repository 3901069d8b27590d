#include "tools/kelpack/trailing_data.h"

#include <filesystem>

#include "archive/format.h"
#include "tools/kelpack/pe_version.h"

TrailingData ReadTrailingData(const std::string& path, uint64_t fileSize, uint64_t archiveEnd) {
    TrailingData trailing;
    if (fileSize <= archiveEnd) return trailing;
    trailing.bytes = fileSize - archiveEnd;
    if (auto table = ReadCertificateTable(path))
        trailing.signature = table->offset >= archiveEnd && table->offset - archiveEnd < 8 &&
                             uint64_t(table->offset) + table->size == fileSize;
    return trailing;
}

TrailingData TrailingDataOf(const std::string& path, uint32_t archiveOffset, const ArchiveReader& header) {
    std::error_code error;
    const uint64_t size = std::filesystem::file_size(path, error);
    if (error || archiveOffset == ArchiveFormat::UninstallArchiveOffset) return {};
    return ReadTrailingData(
        path, size, header.volumeSize == ArchiveFormat::NotSplit ? header.totalSize : header.volumeSize);
}

std::string DescribeTrailingData(const TrailingData& trailing) {
    if (trailing.bytes == 0) return "";
    if (trailing.signature)
        return "an Authenticode signature (PE certificate table) of " + std::to_string(trailing.bytes) +
               " bytes";
    return std::to_string(trailing.bytes) + " bytes that are not part of the archive";
}
