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

namespace fs = std::filesystem;

namespace {

const char* const Help =
    "Usage: kelpack verify PACKAGE [--offset N]\n"
    "\n"
    "Checks that every volume file is present with the size the header gives, that the header's total\n"
    "size is the sum of its parts, that a package starts with its install information, and that every\n"
    "member inflates to its size and CRC-32.\n"
    "\n"
    "Options:\n"
    "  --offset N   where the archive starts (default 262144; 270 for an uninstall information file)\n"
    "\n";

// Volume k holds the volume size, the last one the rest of the total size.
void CheckVolumes(const PackageFile& package, std::vector<std::string>* problems) {
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
        } else if (size != expected) {
            problems->push_back(file + ": " + std::to_string(size) + " bytes, the header expects " +
                                std::to_string(expected));
        }
    }
}

void CheckMembers(PackageFile& package, uint32_t offset, std::vector<std::string>* problems) {
    uint64_t total = uint64_t(offset) + ArchiveFormat::HeaderSize;
    for (unsigned index = 0; !package.AtEnd(); package.Next(), ++index) {
        MemberHeader member = package.Current();
        if (index == 0 && offset == ModuleSize &&
            !EqualsNoCase(member.name, ArchiveFormat::InstallInfoMember))
            problems->push_back("first member is " + member.name + ", not the install information (KPII)");
        total += ArchiveFormat::MemberHeaderSize + member.name.size() + member.packedSize;
        if (package.ReadData([](const unsigned char*, uint32_t) {}) != PackageFile::DataResult::Good) {
            problems->push_back("member " + member.name + ": data damaged (size or CRC-32 mismatch)");
        }
    }
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
    uint32_t offset = ArchiveOffset(args);

    PackageFile package(args.positional[0], offset);
    std::vector<std::string> problems;
    CheckVolumes(package, &problems);
    if (problems.empty()) {
        try {
            CheckMembers(package, offset, &problems);
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
        << (package.Header().volumeCount == 1 ? " volume)\n" : " volumes)\n");
    return ExitOk;
}

}  // namespace

int VerifyCommand(const CommandArgs& args, std::ostream& out, std::ostream& err) {
    return RunReporting("verify", err, [&] { return Verify(args, out, err); });
}
