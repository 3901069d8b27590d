// Reading uninstall information files through the head parser and the archive reader.
#include "tools/kelpack/uninstall_info.h"

#include <filesystem>
#include <fstream>

#include "archive/format.h"
#include "archive/uninstall_info_head.h"
#include "common/strings.h"
#include "tools/kelpack/ini_file.h"
#include "tools/kelpack/member_paths.h"
#include "tools/kelpack/package_file.h"
#include "tools/kelpack/tool_error.h"

using namespace ArchiveFormat;

namespace {

// Up to the head's size from the start of the file.
std::string FileStart(const std::string& path) {
    std::string bytes(UninstallArchiveOffset, '\0');
    std::ifstream file(path, std::ios::binary);
    file.read(bytes.data(), std::streamsize(bytes.size()));
    bytes.resize(size_t(file.gcount()));
    return bytes;
}

void ReadHead(const std::string& path, UninstallInfo* info) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) throw ToolError(path + ": no such file");
    const std::string head = FileStart(path);
    char title[PathBufferSize];
    switch (ParseUninstallHead(reinterpret_cast<const unsigned char*>(head.data()), uint32_t(head.size()),
                               title, &info->language)) {
        case UninstallHeadOk:
            info->title = title;
            return;
        case UninstallHeadTooShort:
            throw ToolError(path + ": not an uninstall information file: " + std::to_string(head.size()) +
                            " bytes, shorter than its " + std::to_string(UninstallArchiveOffset) +
                            "-byte head");
        case UninstallHeadWrongSignature:
            throw ToolError(path + ": not an uninstall information file: it does not start with KPUI0207");
    }
}

// One file, its length the header's total size: a longer header means bytes were lost.
void CheckArchiveShape(const PackageFile& package, UninstallInfo* info) {
    const ArchiveReader& header = package.Header();
    if (header.volumeSize != NotSplit || header.volumeCount != 1)
        throw ToolError(package.Path() + ": damaged: its header gives volumes, but the file stands alone");
    const uint64_t length = std::filesystem::file_size(package.Path());
    if (header.totalSize > length)
        throw ToolError(package.Path() + ": truncated: the header gives " + std::to_string(header.totalSize) +
                        " bytes, the file has " + std::to_string(length));
    if (header.totalSize < length)
        info->warnings.push_back(std::to_string(length - header.totalSize) + " bytes after the archive");
}

// The data of the current member, which must be the one named.
std::string RequiredMember(PackageFile& package, unsigned index, const char* what) {
    const std::string expected = UninstallMemberAt(index);
    if (package.AtEnd()) throw ToolError(package.Path() + ": damaged: no " + what + " (" + expected + ")");
    const MemberHeader member = package.Current();
    if (!EqualsNoCase(member.name, expected))
        throw ToolError(package.Path() + ": damaged: member " + std::to_string(index + 1) + " is '" +
                        PrintableName(member.name) + "', not the " + what + " (" + expected + ")");
    std::string data;
    auto keep = [&](const unsigned char* bytes, uint32_t count) {
        data.append(reinterpret_cast<const char*>(bytes), count);
    };
    if (package.ReadData(keep) != PackageFile::DataResult::Good)
        throw ToolError(package.Path() + ": damaged: the " + what + " (" + expected +
                        ") does not match its size or CRC-32");
    return data;
}

// What follows the file list: a bitmap, and nothing else. Faults here are warnings.
void ReadRest(PackageFile& package, UninstallInfo* info) {
    try {
        package.Next();
        if (package.AtEnd()) return;
        const MemberHeader member = package.Current();
        if (EqualsNoCase(member.name, WizardBitmapMember)) {
            info->bitmap = UninstallInfo::Bitmap::Damaged;
            info->bitmapSize = member.size;
            if (package.ReadData([](const unsigned char*, uint32_t) {}) != PackageFile::DataResult::Good) {
                info->warnings.push_back(
                    "the wizard bitmap (KPWB) does not match its size or CRC-32; "
                    "the uninstaller goes on without it");
                return;
            }
            info->bitmap = UninstallInfo::Bitmap::Good;
            package.Next();
        }
        for (; !package.AtEnd(); package.Next())
            info->warnings.push_back("member '" + PrintableName(package.Current().name) +
                                     "' does not belong in an uninstall information file");
    } catch (const ToolError& e) {
        // A member header after the file list that cannot be read: where the bitmap would be.
        if (info->bitmap == UninstallInfo::Bitmap::None) info->bitmap = UninstallInfo::Bitmap::Damaged;
        std::string what = e.what();  // without the path, which the warning names
        if (what.compare(0, package.Path().size() + 2, package.Path() + ": ") == 0)
            what.erase(0, package.Path().size() + 2);
        info->warnings.push_back(what + " (after the file list; the uninstaller goes on without it)");
    }
}

}  // namespace

bool IsUninstallInfoFile(const std::string& path) {
    const std::string start = FileStart(path);
    return start.size() >= UninstallSignatureSize &&
           start.compare(0, UninstallSignatureSize, UninstallSignature, UninstallSignatureSize) == 0;
}

uint32_t DefaultArchiveOffset(const std::string& path) {
    return IsUninstallInfoFile(path) ? UninstallArchiveOffset : uint32_t(ModuleSize);
}

bool SplitFileList(const std::string& bytes, std::vector<std::string>* paths) {
    for (size_t at = 0; at < bytes.size(); at += 1 + uint8_t(bytes[at])) {
        const size_t length = uint8_t(bytes[at]);
        if (bytes.size() - at - 1 < length) return false;
        paths->push_back(bytes.substr(at + 1, length));
    }
    return true;
}

const char* UninstallMemberAt(unsigned index) {
    static const char* const members[] = {UninstallLogMember, UninstallFileListMember, WizardBitmapMember};
    return index < 3 ? members[index] : nullptr;
}

UninstallInfo ReadUninstallInfo(const std::string& path) {
    UninstallInfo info;
    ReadHead(path, &info);
    if (std::filesystem::file_size(path) < UninstallArchiveOffset + HeaderSize)
        throw ToolError(path + ": truncated: no archive header after the head");
    PackageFile package(path, UninstallArchiveOffset);
    CheckArchiveShape(package, &info);
    info.log = RequiredMember(package, 0, "installation log");
    package.Next();
    if (!SplitFileList(RequiredMember(package, 1, "file list"), &info.files))
        throw ToolError(path + ": damaged: the file list (KPFL) ends inside path " +
                        std::to_string(info.files.size() + 1));
    ReadRest(package, &info);
    return info;
}
