// kelpack build: check a project, then write its package.
#include <filesystem>
#include <ostream>

#ifdef _WIN32
#include <windows.h>
#endif

#include "archive/format.h"
#include "common/strings.h"
#include "tools/kelpack/arguments.h"
#include "tools/kelpack/commands.h"
#include "tools/kelpack/package_plan.h"
#include "tools/kelpack/package_writer.h"
#include "tools/kelpack/progress.h"
#include "tools/kelpack/run_reporting.h"
#include "tools/kelpack/volume_size.h"

namespace fs = std::filesystem;

namespace {

const char* const Help =
    "Usage: kelpack build PROJECT.kpp [-o OUTPUT] [--module PATH] [--volume-size SIZE] [--quiet]\n"
    "                     [--strict] [--json]\n"
    "\n"
    "Checks the package project and writes the package: the install module followed by the archive of\n"
    "the install information, wizard bitmap, license, information, the source folder and the misc files.\n"
    "Nothing is written when the project has errors; a failed build leaves no partial files.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUTPUT    the package file (default: [Package] Output, else PROJECT.exe beside it)\n"
    "  --module PATH          the install module, exactly 262,144 bytes (default: [Package] Module,\n"
    "                         else KPinst27.exe beside the kelpack program)\n"
    "  --volume-size SIZE     split into volumes of SIZE bytes: a number, with K or M (1024-based), or\n"
    "                         1.44M, 1.2M, 2.88M for diskettes; volumes are OUTPUT with the extension\n"
    "                         .001, .002, ... (default: [Package] VolumeSize, else one file)\n"
    "  -q, --quiet            no progress on stderr\n"
    "  --strict               warnings are errors: nothing is written when there is one\n"
    "  --json                 problems as JSON lines on stderr (see kelpack check --help)\n"
    "\n";

fs::path ToolFolder() {
#ifdef _WIN32
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return length == 0 || length >= sizeof path ? fs::path() : fs::path(path).parent_path();
#else
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error).parent_path();
#endif
}

uint32_t VolumeSizeOf(const Arguments& args, const Project& project) {
    if (std::optional<std::string> size = args.Value("volume-size")) return ParseVolumeSize(*size);
    std::optional<std::string> size = project.Setting("VolumeSize");
    if (!size) return ArchiveFormat::NotSplit;
    try {
        return ParseVolumeSize(*size);
    } catch (const UsageError& e) {
        throw ToolError(FormatDiagnostic(
            {Diagnostic::Error, project.file, KeyName(ProjectSection, "VolumeSize"), e.what()}));
    }
}

WriteSettings SettingsOf(const Arguments& args, const Project& project) {
    WriteSettings settings;
    if (std::optional<std::string> output = args.Value("output")) {
        settings.output = *output;
    } else if (std::optional<std::string> output = project.Setting("Output")) {
        settings.output = project.Resolve(*output);
    } else {
        settings.output = project.folder / fs::path(project.file).filename().replace_extension(".exe");
    }
    if (std::optional<std::string> module = args.Value("module")) {
        settings.module = *module;
    } else if (std::optional<std::string> module = project.Setting("Module")) {
        settings.module = project.Resolve(*module);
    } else {
        settings.module = ToolFolder() / "KPinst27.exe";
    }
    settings.volumeSize = VolumeSizeOf(args, project);
    return settings;
}

int Build(const CommandArgs& commandArgs, std::ostream& out, std::ostream& err) {
    Arguments args = ParseArguments(commandArgs, {{"output", 'o', true},
                                                  {"module", 0, true},
                                                  {"volume-size", 0, true},
                                                  {"quiet", 'q', false},
                                                  {"strict", 0, false},
                                                  {"json", 0, false}});
    if (args.Has("help")) {
        out << Help << ExitCodeHelp;
        return ExitOk;
    }
    if (args.positional.size() != 1) throw UsageError("expects one project file");
    Project project = LoadProject(args.positional[0]);
    WriteSettings settings = SettingsOf(args, project);

    PackagePlan plan = PlanPackage(project);
    if (ReportDiagnostics(plan.diagnostics, args.Has("strict"), args.Has("json"), err)) {
        err << "kelpack: " << project.file << ": no package written\n";
        return ExitFailed;
    }

    uint64_t totalBytes = 0;
    for (const PlannedMember& member : plan.members) totalBytes += member.size;
    Progress progress(err, Progress::StyleForStderr(args.Has("quiet")), totalBytes);
    unsigned volumes = WritePackage(plan, settings, progress);
    out << settings.output.string() << ": " << plan.members.size() << " members, "
        << GroupDigits((unsigned long)plan.payloadBytes) << " bytes of files, " << volumes
        << (volumes == 1 ? " volume\n" : " volumes\n");
    return ExitOk;
}

}  // namespace

int BuildCommand(const CommandArgs& args, std::ostream& out, std::ostream& err) {
    return RunReporting("build", err, [&] { return Build(args, out, err); });
}
