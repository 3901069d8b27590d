// kelpack extract: the members of a package as files and folders below a folder.
#include <filesystem>
#include <fstream>
#include <ostream>

#include "archive/format.h"
#include "tools/kelpack/arguments.h"
#include "tools/kelpack/commands.h"
#include "tools/kelpack/dos_time.h"
#include "tools/kelpack/member_paths.h"
#include "tools/kelpack/package_file.h"
#include "tools/kelpack/run_reporting.h"

namespace fs = std::filesystem;

namespace {

const char* const Help =
    "Usage: kelpack extract PACKAGE [-C FOLDER] [--force] [--offset N]\n"
    "\n"
    "Writes every member below FOLDER (default: the current folder) with its time: Src\\a\\b.txt becomes\n"
    "FOLDER/Src/a/b.txt, a folder member a folder, KPII, KPWB, Misc1 ... files of those names. Every\n"
    "CRC-32 is checked. Refused before anything is written: a member name that would leave FOLDER\n"
    "(absolute, drive letter, '..' or empty components), a symbolic link below FOLDER on the way to a\n"
    "member (nothing is written through a link, even with --force), and a file that exists already\n"
    "(unless --force). PACKAGE may be an uninstall information file (KPU????.inf): its KPUI, KPFL and\n"
    "KPWB become files of those names.\n"
    "\n"
    "Options:\n"
    "  -C, --folder FOLDER   where to write\n"
    "  -f, --force           replace existing files\n"
    "  --offset N            where the archive starts (default 262144 after the module, 270 for a file\n"
    "                        that starts with the uninstall information signature)\n"
    "\n";

// A symbolic link at or above the target, up to (not including) the folder the user named.
bool LinkOnTheWay(const fs::path& folder, const fs::path& target) {
    for (fs::path place = target; !place.empty() && place != folder; place = place.parent_path()) {
        std::error_code error;
        if (fs::is_symlink(fs::symlink_status(place, error))) return true;
        if (place == place.parent_path()) break;
    }
    return false;
}

// Every member is checked before the first file is written, so that a refused package writes nothing.
void CheckTargets(const std::string& path, uint32_t offset, const fs::path& folder, bool force) {
    PackageFile package(path, offset);
    for (; !package.AtEnd(); package.Next()) {
        const std::string name = package.Current().name;
        const std::string shown = "member '" + PrintableName(name) + "'";
        if (std::string why = UnsafeMemberName(name); !why.empty())
            throw ToolError(path + ": refused: " + shown + " would be written outside the folder (" + why +
                            ")");
        const fs::path target = MemberTargetPath(folder, name);
        if (LinkOnTheWay(folder, target))
            throw ToolError(path + ": refused: " + shown + " would be written through a symbolic link");
        std::error_code error;
        if (!force && !IsFolderMember(name) && fs::exists(fs::symlink_status(target, error)))
            throw ToolError(target.string() + ": exists already (--force replaces it)");
    }
}

void ExtractFile(PackageFile& package, const MemberHeader& member, const fs::path& target) {
    fs::create_directories(target.parent_path());
    // A new file in place of the old one: whatever stood there is not written into.
    std::error_code error;
    fs::remove(target, error);
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    if (!file) throw ToolError(target.string() + ": cannot be created");
    PackageFile::DataResult result = package.ReadData([&](const unsigned char* data, uint32_t count) {
        if (!file.write(reinterpret_cast<const char*>(data), count))
            throw ToolError(target.string() + ": write error");
    });
    file.close();
    if (result != PackageFile::DataResult::Good) {
        std::error_code error;
        fs::remove(target, error);
        throw ToolError(package.Path() + ": damaged: member " + PrintableName(member.name) +
                        " does not match its CRC-32");
    }
    if (!file) throw ToolError(target.string() + ": write error");
    std::time_t time = TimeOfDosDateTime(member.dosDateTime);
    if (time != -1) SetFileModificationTime(target.string(), time);
}

int Extract(const CommandArgs& commandArgs, std::ostream& out) {
    Arguments args =
        ParseArguments(commandArgs, {{"folder", 'C', true}, {"force", 'f', false}, {"offset", 0, true}});
    if (args.Has("help")) {
        out << Help << ExitCodeHelp;
        return ExitOk;
    }
    if (args.positional.size() != 1) throw UsageError("expects one package file");
    uint32_t offset = ArchiveOffset(args, args.positional[0]);
    fs::path folder = args.Value("folder").value_or(".");
    if (!folder.has_filename() && folder.has_relative_path()) folder = folder.parent_path();  // "x/" is "x"

    CheckTargets(args.positional[0], offset, folder, args.Has("force"));
    PackageFile package(args.positional[0], offset);
    unsigned count = 0;
    for (; !package.AtEnd(); package.Next(), ++count) {
        MemberHeader member = package.Current();
        fs::path target = MemberTargetPath(folder, member.name);
        if (IsFolderMember(member.name)) {
            fs::create_directories(target);
        } else {
            ExtractFile(package, member, target);
        }
    }
    out << package.Path() << ": " << count << " members extracted to " << folder.string() << "\n";
    return ExitOk;
}

}  // namespace

int ExtractCommand(const CommandArgs& args, std::ostream& out, std::ostream& err) {
    return RunReporting("extract", err, [&] { return Extract(args, out); });
}
