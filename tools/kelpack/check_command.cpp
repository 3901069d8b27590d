// kelpack check: the build's checks of a project, and nothing written.
#include <ostream>

#include "tools/kelpack/arguments.h"
#include "tools/kelpack/commands.h"
#include "tools/kelpack/package_plan.h"
#include "tools/kelpack/run_reporting.h"

namespace {

const char* const Help =
    "Usage: kelpack check PROJECT.kpp [--strict] [--json]\n"
    "\n"
    "Checks the package project as kelpack build does, and writes nothing: the project's files, the misc\n"
    "entries against their files, and the install information for what the module would pass over in\n"
    "silence: sections and keys it does not read (with the nearest known name), numbered entries after\n"
    "a gap, path variables that do not exist, a DefInstallFolder that is missing or relative, an\n"
    "uninstall entry without a title, and malformed fields of the numbered entries (flags, modes,\n"
    "registry roots, types, numbers and bytes, empty required fields). Each problem names the file, the\n"
    "line, the key and what is wrong.\n"
    "\n"
    "Options:\n"
    "  --strict   warnings are errors\n"
    "  --json     one JSON object a line on stderr: file, line (null for none), key, severity\n"
    "             (\"warning\" or \"error\"), message\n"
    "\n"
    "Exit codes: 0 no errors (warnings allowed unless --strict), 1 errors, 2 usage error.\n";

int Check(const CommandArgs& commandArgs, std::ostream& out, std::ostream& err) {
    Arguments args = ParseArguments(commandArgs, {{"strict", 0, false}, {"json", 0, false}});
    if (args.Has("help")) {
        out << Help;
        return ExitOk;
    }
    if (args.positional.size() != 1) throw UsageError("expects one project file");
    const Project project = LoadProject(args.positional[0]);
    const PackagePlan plan = PlanPackage(project);
    if (ReportDiagnostics(plan.diagnostics, args.Has("strict"), args.Has("json"), err)) return ExitFailed;
    if (!args.Has("json"))
        out << project.file << ": " << (plan.diagnostics.empty() ? "no problems\n" : "no errors\n");
    return ExitOk;
}

}  // namespace

int CheckCommand(const CommandArgs& args, std::ostream& out, std::ostream& err) {
    return RunReporting("check", err, [&] { return Check(args, out, err); });
}
