// kelpack log: what an uninstall information file holds — its head, the installation log, the file
// list and whether it carries the wizard bitmap — as text or as JSON.
#include <ostream>
#include <sstream>

#include "common/strings.h"
#include "tools/kelpack/arguments.h"
#include "tools/kelpack/commands.h"
#include "tools/kelpack/ini_file.h"
#include "tools/kelpack/json_text.h"
#include "tools/kelpack/member_paths.h"
#include "tools/kelpack/run_reporting.h"
#include "tools/kelpack/uninstall_info.h"

namespace {

const char* const Help =
    "Usage: kelpack log FILE.inf [--json]\n"
    "\n"
    "Shows an uninstall information file, which an installation leaves in the install folder: the\n"
    "signature, the product title, the language (Korean or English), whether it carries the wizard\n"
    "bitmap and its size, the installation log by section and key as the profile functions read it\n"
    "(the first of duplicate keys, comment lines left out), and the file list, one path a line. Texts are\n"
    "shown as their bytes (code page 949 or the ANSI code page); control characters appear as \\xNN.\n"
    "A damaged wizard bitmap is a warning, as the uninstaller goes on without it; a damaged log or file\n"
    "list, a cut-short file or a wrong signature is a failure, and nothing is printed.\n"
    "\n"
    "Options:\n"
    "  --json   one JSON object: signature, title, language, wizardBitmap (null without one, else\n"
    "           size, null when unreadable, and damaged), log (an array of sections, each with name\n"
    "           and an array of entries with key and value) and files; the texts are 8-bit, so every\n"
    "           byte above 126 and every control character appears as \\u00XX (the Latin-1\n"
    "           character of its value)\n"
    "\n";

const char* LanguageName(int language) { return language == 0 ? "Korean" : "English"; }

std::string BitmapText(const UninstallInfo& info) {
    if (info.bitmap == UninstallInfo::Bitmap::None) return "none";
    if (!info.bitmapSize) return "damaged";
    std::string text = std::string(GroupDigits(*info.bitmapSize)) + " bytes";
    return info.bitmap == UninstallInfo::Bitmap::Damaged ? text + ", damaged" : text;
}

void PrintText(const std::string& path, const UninstallInfo& info, const IniFile& log, std::ostream& out) {
    out << path << ": uninstall information file\n"
        << "Signature: KPUI0207\n"
        << "Title: " << PrintableName(info.title) << "\n"
        << "Language: " << LanguageName(info.language) << "\n"
        << "Wizard bitmap: " << BitmapText(info) << "\n"
        << "Installation log:\n";
    for (const std::string& section : log.SectionNames()) {
        out << "  [" << PrintableName(section) << "]\n";
        for (const IniFile::Entry& entry : log.Entries(section))
            out << "    " << PrintableName(entry.first) << " = " << PrintableName(entry.second) << "\n";
    }
    out << "File list: " << info.files.size() << (info.files.size() == 1 ? " path\n" : " paths\n");
    for (const std::string& file : info.files) out << "  " << PrintableName(file) << "\n";
}

void PrintJson(const UninstallInfo& info, const IniFile& log, std::ostream& out) {
    out << "{\"signature\": \"KPUI0207\", \"title\": " << JsonString(info.title) << ", \"language\": \""
        << LanguageName(info.language) << "\",\n \"wizardBitmap\": ";
    if (info.bitmap == UninstallInfo::Bitmap::None) {
        out << "null";
    } else {
        out << "{\"size\": " << (info.bitmapSize ? std::to_string(*info.bitmapSize) : "null")
            << ", \"damaged\": " << (info.bitmap == UninstallInfo::Bitmap::Damaged ? "true" : "false") << "}";
    }
    out << ",\n \"log\": [";
    const char* separator = "";
    for (const std::string& section : log.SectionNames()) {
        out << separator << "\n  {\"name\": " << JsonString(section) << ", \"entries\": [";
        const char* entrySeparator = "";
        for (const IniFile::Entry& entry : log.Entries(section)) {
            out << entrySeparator << "{\"key\": " << JsonString(entry.first)
                << ", \"value\": " << JsonString(entry.second) << "}";
            entrySeparator = ", ";
        }
        out << "]}";
        separator = ",";
    }
    out << "],\n \"files\": [";
    separator = "";
    for (const std::string& file : info.files) {
        out << separator << "\n  " << JsonString(file);
        separator = ",";
    }
    out << "]}\n";
}

int Log(const CommandArgs& commandArgs, std::ostream& out, std::ostream& err) {
    Arguments args = ParseArguments(commandArgs, {{"json", 0, false}});
    if (args.Has("help")) {
        out << Help << ExitCodeHelp;
        return ExitOk;
    }
    if (args.positional.size() != 1) throw UsageError("expects one uninstall information file");
    const std::string& path = args.positional[0];
    const UninstallInfo info = ReadUninstallInfo(path);
    const IniFile log = IniFile::Parse(info.log);
    // Whole or nothing: the file is read completely before the first line is printed.
    std::ostringstream text;
    if (args.Has("json")) {
        PrintJson(info, log, text);
    } else {
        PrintText(path, info, log, text);
    }
    for (const std::string& warning : info.warnings)
        err << "kelpack: warning: " << path << ": " << warning << "\n";
    out << text.str();
    return ExitOk;
}

}  // namespace

int LogCommand(const CommandArgs& args, std::ostream& out, std::ostream& err) {
    return RunReporting("log", err, [&] { return Log(args, out, err); });
}
