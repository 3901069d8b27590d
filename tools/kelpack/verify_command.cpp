// kelpack verify: volumes present and of the right sizes, header consistent, every member's CRC-32.
#include <filesystem>
#include <ostream>
#include <vector>

#include "archive/format.h"
#include "tools/kelpack/arguments.h"
#include "tools/kelpack/commands.h"
#include "tools/kelpack/ini_file.h"
#include "tools/kelpack/package_file.h"
#include "tools/kelpack/package_writer.h"
#include "tools/kelpack/run_reporting.h"
#include "tools/kelpack/trailing_data.h"
#include "tools/kelpack/uninstall_info.h"

namespace fs = std::filesystem;

namespace {

const char* const Help =
    "Usage: kelpack verify PACKAGE [--offset N]\n"
    "\n"
    "Checks that every volume file is present with the size the header gives, that the header's total\n"
    "size is the sum of its parts, that a package starts with its install information, and that every\n"
    "member inflates to its size and CRC-32. A package's first file may go on after its archive: a\n"
    "signature (osslsigncode, signtool) is named as such, other bytes are counted.\n"
    "PACKAGE may be an uninstall information file (KPU????.inf): its archive must be a single file as\n"
    "long as the header's total size and hold the installation log (KPUI), the file list (KPFL) and,\n"
    "when there is one, the wizard bitmap (KPWB), in this order.\n"
    "\n"
    "Options:\n"
    "  --offset N   where the archive starts (default 262144 after the module, 270 for a file that starts\n"
    "               with the uninstall information signature)\n"
    "\n";

// Volume k holds the volume size, the last one the rest of the total size. The first file of a package
// may go on past its share of the archive (a signature); what follows is given in trailing.
void CheckVolumes(const PackageFile& package, bool uninstall, TrailingData* trailing,
                  std::vector<std::string>* problems) {
    const ArchiveReader& header = package.Header();
    bool split = header.volumeSize != ArchiveFormat::NotSplit;
    if (!split && header.volumeCount != 1) problems->push_back("header: several volumes but no volume size");
    uint64_t before = split ? uint64_t(header.volumeSize) * (header.volumeCount - 1) : 0;
    if (before >= header.totalSize && header.volumeCount > 1)
        problems->push_back("header: more volumes than the total size fills");
    for (unsigned volume = 0; volume < header.volumeCount; ++volume) {
        std::string file = VolumeFile(package.Path(), volume);
        std::error_code error;
        uint64_t size = fs::file_size(file, error);
        uint64_t expected = volume + 1 < header.volumeCount ? header.volumeSize : header.totalSize - before;
        if (error) {
            problems->push_back("volume file missing: " + file);
        } else if (volume == 0 && !uninstall && size > expected) {
            *trailing = ReadTrailingData(file, size, expected);
        } else if (size != expected) {
            problems->push_back(file + ": " + std::to_string(size) + " bytes, the header expects " +
                                std::to_string(expected));
        }
    }
}

// An uninstall information file holds its log, its file list and perhaps the wizard bitmap, in this order.
void CheckUninstallMember(unsigned index, const std::string& name, std::vector<std::string>* problems) {
    const char* expected = UninstallMemberAt(index);
    if (expected == nullptr) {
        problems->push_back("member " + name + " does not belong in an uninstall information file");
    } else if (!EqualsNoCase(name, expected)) {
        problems->push_back("member " + std::to_string(index + 1) + " is " + name + ", not " + expected);
    }
}

void CheckMembers(PackageFile& package, uint32_t offset, bool uninstall, std::vector<std::string>* problems) {
    uint64_t total = uint64_t(offset) + ArchiveFormat::HeaderSize;
    unsigned index = 0;
    for (; !package.AtEnd(); package.Next(), ++index) {
        MemberHeader member = package.Current();
        if (index == 0 && offset == ModuleSize &&
            !EqualsNoCase(member.name, ArchiveFormat::InstallInfoMember))
            problems->push_back("first member is " + member.name + ", not the install information (KPII)");
        if (uninstall) CheckUninstallMember(index, member.name, problems);
        total += ArchiveFormat::MemberHeaderSize + member.name.size() + member.packedSize;
        // The file list is checked down to its records: the uninstaller walks them.
        const bool fileList = uninstall && index == 1;
        std::string data;
        auto keep = [&](const unsigned char* bytes, uint32_t count) {
            if (fileList) data.append(reinterpret_cast<const char*>(bytes), count);
        };
        if (package.ReadData(keep) != PackageFile::DataResult::Good) {
            problems->push_back("member " + member.name + ": data damaged (size or CRC-32 mismatch)");
        } else if (std::vector<std::string> paths; fileList && !SplitFileList(data, &paths)) {
            problems->push_back("file list: path " + std::to_string(paths.size() + 1) + " runs past its end");
        }
    }
    if (uninstall && index < 2)
        problems->push_back("no " + std::string(index == 0 ? "installation log (KPUI)" : "file list (KPFL)"));
    if (total != package.Header().totalSize)
        problems->push_back("header: total size " + std::to_string(package.Header().totalSize) +
                            ", the members add up to " + std::to_string(total));
}

int Verify(const CommandArgs& commandArgs, std::ostream& out, std::ostream& err) {
    Arguments args = ParseArguments(commandArgs, {{"offset", 0, true}});
    if (args.Has("help")) {
        out << Help << ExitCodeHelp;
        return ExitOk;
    }
    if (args.positional.size() != 1) throw UsageError("expects one package file");
    uint32_t offset = ArchiveOffset(args, args.positional[0]);

    PackageFile package(args.positional[0], offset);
    const bool uninstall =
        offset == ArchiveFormat::UninstallArchiveOffset && IsUninstallInfoFile(args.positional[0]);
    std::vector<std::string> problems;
    if (uninstall && package.Header().volumeSize != ArchiveFormat::NotSplit)
        problems.push_back("header: volumes in an uninstall information file, which is a single file");
    TrailingData trailing;
    CheckVolumes(package, uninstall, &trailing, &problems);
    if (problems.empty()) {
        try {
            CheckMembers(package, offset, uninstall, &problems);
        } catch (const ToolError& e) {
            problems.push_back(e.what());
        }
    }
    for (const std::string& problem : problems) err << package.Path() << ": " << problem << "\n";
    if (!problems.empty()) {
        out << package.Path() << ": DAMAGED\n";
        return ExitFailed;
    }
    out << package.Path() << ": OK (" << package.Header().memberCount << " members, "
        << unsigned(package.Header().volumeCount)
        << (package.Header().volumeCount == 1 ? " volume" : " volumes");
    if (trailing.bytes != 0) out << "; followed by " << DescribeTrailingData(trailing);
    out << ")\n";
    return ExitOk;
}

}  // namespace

int VerifyCommand(const CommandArgs& args, std::ostream& out, std::ostream& err) {
    return RunReporting("verify", err, [&] { return Verify(args, out, err); });
}
