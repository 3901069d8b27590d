// Command dispatch, the tool's help and version.
#include <ostream>

#include "archive/format.h"
#include "tools/kelpack/commands.h"
#include "tools/kelpack/tool_error.h"

const char* const ToolVersion = "1.0";

const char* const ExitCodeHelp =
    "Exit codes:\n"
    "  0  success (build: the package was written, possibly with warnings; verify: the package is good)\n"
    "  1  failure (build: errors in the project or while writing; list, extract, verify, log: the file is\n"
    "     missing, damaged or has a missing volume)\n"
    "  2  usage error (unknown command or option, missing argument)\n";

namespace {

void PrintHelp(std::ostream& out) {
    out << "Usage: kelpack COMMAND [ARGUMENTS]\n"
           "\n"
           "Builds Kelpack install packages and lists, extracts and verifies them and the uninstall\n"
           "information files that installations leave behind.\n"
           "\n"
           "Commands:\n"
           "  build PROJECT.kpp   package an application as its project file describes\n"
           "  check PROJECT.kpp   the build's checks only: mistakes in the project and install information\n"
           "  list PACKAGE        show the members of a package\n"
           "  extract PACKAGE     write the members of a package into a folder\n"
           "  verify PACKAGE      check volumes, header and every member's CRC-32\n"
           "  log FILE.inf        show an uninstall information file: title, language, log, file list\n"
           "\n"
           "list, extract and verify take an uninstall information file (KPU????.inf) too.\n"
           "\n"
           "Options:\n"
           "  --help      this text; 'kelpack COMMAND --help' explains a command\n"
           "  --version   the tool's version\n"
           "\n"
        << ExitCodeHelp;
}

}  // namespace

int RunKelpack(const CommandArgs& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        PrintHelp(err);
        return ExitUsage;
    }
    const std::string& command = args[0];
    CommandArgs rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        PrintHelp(out);
        return ExitOk;
    }
    if (command == "--version") {
        out << "kelpack " << ToolVersion << " (module size " << ModuleSize << " bytes)\n";
        return ExitOk;
    }
    if (command == "build") return BuildCommand(rest, out, err);
    if (command == "check") return CheckCommand(rest, out, err);
    if (command == "list") return ListCommand(rest, out, err);
    if (command == "extract") return ExtractCommand(rest, out, err);
    if (command == "verify") return VerifyCommand(rest, out, err);
    if (command == "log") return LogCommand(rest, out, err);
    err << "kelpack: unknown command '" << command << "'\nTry 'kelpack --help'.\n";
    return ExitUsage;
}
