// kelpack list: the members of a package, as a table or as JSON.
#include <cstdio>
#include <ostream>
#include <sstream>

#include "archive/format.h"
#include "common/strings.h"
#include "tools/kelpack/arguments.h"
#include "tools/kelpack/commands.h"
#include "tools/kelpack/dos_time.h"
#include "tools/kelpack/json_text.h"
#include "tools/kelpack/member_paths.h"
#include "tools/kelpack/package_file.h"
#include "tools/kelpack/pe_version.h"
#include "tools/kelpack/run_reporting.h"
#include "tools/kelpack/trailing_data.h"

namespace {

const char* const Help =
    "Usage: kelpack list PACKAGE [--json] [--offset N]\n"
    "\n"
    "Lists the members of a package: size, compressed size, CRC-32, time (local), version, name.\n"
    "Further volumes (PACKAGE.001, ...) are read from beside the package. PACKAGE may be an uninstall\n"
    "information file (KPU????.inf); its archive is read behind its head. What follows a package's\n"
    "archive in its first file is named: a signature (osslsigncode, signtool), or a count of bytes.\n"
    "\n"
    "Options:\n"
    "  --json       one JSON object: the archive header, the bytes after the archive (trailingBytes,\n"
    "               signed) and an array of members; names are 8-bit,\n"
    "               bytes above 127 appear as \\u00XX\n"
    "  --offset N   where the archive starts (default 262144 after the module, 270 for a file that starts\n"
    "               with the uninstall information signature)\n"
    "\n";

std::string Hex(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

std::string JsonOrNull(const std::string& text) { return text == "-" ? "null" : JsonString(text); }

void PrintTable(PackageFile& package, const TrailingData& trailing, std::ostream& out) {
    const ArchiveReader& header = package.Header();
    out << package.Path() << ": " << header.memberCount << " members, " << unsigned(header.volumeCount)
        << (header.volumeCount == 1 ? " volume, " : " volumes, ") << GroupDigits(header.totalSize)
        << " bytes";
    if (trailing.bytes != 0) out << ", followed by " << DescribeTrailingData(trailing);
    out << "\n";
    char line[400];
    std::snprintf(line, sizeof line, "%12s %12s  %-8s  %-19s  %-15s  %s\n", "Size", "Packed", "CRC-32",
                  "Time", "Version", "Name");
    out << line;
    for (; !package.AtEnd(); package.Next()) {
        MemberHeader m = package.Current();
        std::snprintf(line, sizeof line, "%12u %12u  %s  %-19s  %-15s  ", m.size, m.packedSize,
                      Hex(m.crc).c_str(), FormatDosDateTime(m.dosDateTime).c_str(),
                      FormatVersion(m.versionHigh, m.versionLow).c_str());
        out << line << PrintableName(m.name) << "\n";
    }
}

void PrintJson(PackageFile& package, const TrailingData& trailing, std::ostream& out) {
    const ArchiveReader& header = package.Header();
    out << "{\"totalSize\": " << header.totalSize << ", \"volumeSize\": ";
    if (header.volumeSize == ArchiveFormat::NotSplit) {
        out << "null";
    } else {
        out << header.volumeSize;
    }
    out << ", \"volumeCount\": " << unsigned(header.volumeCount) << ", \"trailingBytes\": " << trailing.bytes
        << ", \"signed\": " << (trailing.signature ? "true" : "false")
        << ", \"memberCount\": " << header.memberCount << ", \"members\": [";
    const char* separator = "\n";
    for (; !package.AtEnd(); package.Next()) {
        MemberHeader m = package.Current();
        out << separator << "  {\"name\": " << JsonString(m.name) << ", \"size\": " << m.size
            << ", \"packedSize\": " << m.packedSize << ", \"crc\": \"" << Hex(m.crc)
            << "\", \"dosTime\": " << m.dosDateTime
            << ", \"time\": " << JsonOrNull(FormatDosDateTime(m.dosDateTime))
            << ", \"version\": " << JsonOrNull(FormatVersion(m.versionHigh, m.versionLow)) << "}";
        separator = ",\n";
    }
    out << "\n]}\n";
}

int List(const CommandArgs& commandArgs, std::ostream& out) {
    Arguments args = ParseArguments(commandArgs, {{"json", 0, false}, {"offset", 0, true}});
    if (args.Has("help")) {
        out << Help << ExitCodeHelp;
        return ExitOk;
    }
    if (args.positional.size() != 1) throw UsageError("expects one package file");
    const uint32_t offset = ArchiveOffset(args, args.positional[0]);
    PackageFile package(args.positional[0], offset);
    const TrailingData trailing = TrailingDataOf(package.Path(), offset, package.Header());
    if (args.Has("json")) {
        // Whole or nothing: a damaged package must not leave half a document.
        std::ostringstream json;
        PrintJson(package, trailing, json);
        out << json.str();
    } else {
        PrintTable(package, trailing, out);
    }
    return ExitOk;
}

}  // namespace

int ListCommand(const CommandArgs& args, std::ostream& out, std::ostream& err) {
    return RunReporting("list", err, [&] { return List(args, out); });
}
