// Reading packages through the archive reader.
#include "tools/kelpack/package_file.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "archive/format.h"
#include "tools/kelpack/package_writer.h"
#include "tools/kelpack/tool_error.h"

namespace {

// The prompt is process-wide; the tool reads one package at a time.
std::string PromptBase;
std::string MissingVolume;

int ReportMissingVolume(unsigned volume) {
    std::string file = VolumeFile(PromptBase, volume);
    std::error_code error;
    if (std::filesystem::is_regular_file(file, error)) return 0;
    MissingVolume = file;
    return 1;
}

}  // namespace

PackageFile::PackageFile(const std::string& path, uint32_t offset) : path_(path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) throw ToolError(path + ": no such file");
    PromptBase = path;
    MissingVolume.clear();
    SetVolumePrompt(ReportMissingVolume);
    reader_ = OpenArchive(path.c_str(), offset);
    if (reader_ == nullptr)
        throw ToolError(path + ": no package archive at offset " + std::to_string(offset) +
                        " (not a package, or its header is damaged)");
    atEnd_ = reader_->memberCount == 0;
}

PackageFile::~PackageFile() { CloseArchive(reader_); }

void PackageFile::Fail(const std::string& what) {
    broken_ = true;
    if (!MissingVolume.empty()) throw ToolError(path_ + ": volume file missing: " + MissingVolume);
    throw ToolError(path_ + ": " + what);
}

MemberHeader PackageFile::Current() {
    MemberInfo info;
    if (broken_ || atEnd_ || GetMemberInfoOf(reader_, &info) != 1)
        Fail("damaged: member " + std::to_string(reader_->memberIndex + 1) + " has no readable header");
    MemberHeader header;
    header.name.assign(reader_->name, reader_->nameLength);
    header.size = info.uncompressedLeft;
    header.packedSize = reader_->compressedLeft;
    header.crc = reader_->storedCrc;
    header.dosDateTime = reader_->dosDateTime;
    header.versionHigh = reader_->versionHigh;
    header.versionLow = reader_->versionLow;
    return header;
}

void PackageFile::Next() {
    if (broken_) Fail("damaged");
    int result = NextMember(reader_);
    if (result == -2) {
        atEnd_ = true;
    } else if (result != 0) {
        Fail("damaged: member " + std::to_string(reader_->memberIndex + 1) + " cannot be reached");
    }
}

PackageFile::DataResult PackageFile::ReadData(
    const std::function<void(const unsigned char*, uint32_t)>& sink) {
    MemberHeader header = Current();
    if (OpenMemberData(reader_) != 0) Fail("damaged: cannot start " + header.name);
    std::vector<unsigned char> buffer(65536);
    uint64_t produced = 0;
    for (;;) {
        int count = ReadMemberData(reader_, buffer.data(), uint32_t(buffer.size()));
        if (count < 0) {
            broken_ = true;
            if (!MissingVolume.empty()) Fail("");
            return DataResult::Damaged;
        }
        if (count == 0) break;
        produced += uint32_t(count);
        sink(buffer.data(), uint32_t(count));
    }
    bool good = CloseMemberData(reader_) == 0 && produced == header.size;
    return good ? DataResult::Good : DataResult::Damaged;
}
