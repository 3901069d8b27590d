// An open package (or uninstall information file) for reading: its archive header, its members one after
// the other, and a volume prompt that names a missing volume file instead of asking for a disk.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "archive/archive_reader.h"

struct MemberHeader {
    std::string name;
    uint32_t size = 0, packedSize = 0, crc = 0, dosDateTime = 0;
    uint32_t versionHigh = 0xFFFFFFFF, versionLow = 0xFFFFFFFF;
};

class PackageFile {
  public:
    // Throws ToolError when the file cannot be opened or holds no archive header at offset.
    PackageFile(const std::string& path, uint32_t offset);
    ~PackageFile();
    PackageFile(const PackageFile&) = delete;
    PackageFile& operator=(const PackageFile&) = delete;

    const ArchiveReader& Header() const { return *reader_; }
    const std::string& Path() const { return path_; }

    // True once every member has been passed.
    bool AtEnd() const { return atEnd_; }
    // The current member's header. Throws ToolError when it cannot be read.
    MemberHeader Current();
    // Moves to the next member. Throws ToolError on a damaged archive or a missing volume.
    void Next();

    enum class DataResult { Good, Damaged };
    // Inflates the current member into sink (which may throw to stop); Good when every byte came and the
    // CRC-32 matches. After Damaged from a read error only the destructor is left. Throws ToolError for a
    // missing volume.
    DataResult ReadData(const std::function<void(const unsigned char*, uint32_t)>& sink);

  private:
    [[noreturn]] void Fail(const std::string& what);
    std::string path_;
    ArchiveReader* reader_ = nullptr;
    bool atEnd_ = false;
    bool broken_ = false;  // after a read error the reader may only be closed
};
