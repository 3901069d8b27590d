// Planning a package and checking its project.
#include "tools/kelpack/package_plan.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <system_error>

#include "archive/format.h"
#include "tools/kelpack/dos_time.h"
#include "tools/kelpack/install_info_check.h"
#include "tools/kelpack/member_paths.h"
#include "tools/kelpack/misc_entries.h"
#include "tools/kelpack/pe_version.h"
#include "tools/kelpack/source_tree.h"
#include "tools/kelpack/tool_error.h"

namespace fs = std::filesystem;

namespace {

class Planner {
  public:
    explicit Planner(const Project& project) : project_(project) {}

    PackagePlan Run() {
        ReadSourceDate();
        std::optional<IniFile> info = InstallInfo();
        if (fs::path bitmap = RequiredFile("WizardBitmap", "packages always carry a wizard bitmap");
            !bitmap.empty())
            AddLeading(ArchiveFormat::WizardBitmapMember, bitmap);
        if (info) {
            LeadingText(*info, "LicenseInfo", "License", ArchiveFormat::LicenseMember);
            LeadingText(*info, "PreInfo", "Information", ArchiveFormat::InfoMember);
        }
        SourceMembers();
        if (info) MiscMembers(*info);
        if (info) CheckSpaceNeeded(*info);
        if (info)
            for (Diagnostic& diagnostic : CheckInstallInfo(*info, infoFile_))
                plan_.diagnostics.push_back(std::move(diagnostic));
        for (Diagnostic& diagnostic : plan_.diagnostics)
            if (diagnostic.line == 0) diagnostic.line = LineOf(diagnostic, info ? &*info : nullptr);
        return std::move(plan_);
    }

  private:
    // The line of a diagnostic's "[Section] Key" in the project or the install information; 0 when the
    // key is not there (a missing key) or the file is another one.
    int LineOf(const Diagnostic& diagnostic, const IniFile* info) const {
        const IniFile* file = diagnostic.file == project_.file ? &project_.ini
                              : diagnostic.file == infoFile_   ? info
                                                               : nullptr;
        const size_t close = diagnostic.key.find(']');
        if (file == nullptr || diagnostic.key.empty() || diagnostic.key[0] != '[' ||
            close == std::string::npos)
            return 0;
        const std::string section = diagnostic.key.substr(1, close - 1);
        const std::string key = close + 2 < diagnostic.key.size() ? diagnostic.key.substr(close + 2) : "";
        return key.empty() ? file->LineOf(section) : file->LineOf(section, key);
    }

    void Report(Diagnostic::Kind kind, const std::string& file, const std::string& key,
                const std::string& text) {
        plan_.diagnostics.push_back({kind, file, key, text});
    }
    void ProjectError(const char* key, const std::string& text) {
        Report(Diagnostic::Error, project_.file, KeyName(ProjectSection, key), text);
    }

    // The file a [Package] key names, or an empty path (and an error) when it is missing.
    fs::path RequiredFile(const char* key, const std::string& why) {
        std::optional<std::string> value = project_.Setting(key);
        if (!value) {
            ProjectError(key, "missing: " + why);
            return {};
        }
        fs::path path = project_.Resolve(*value);
        std::error_code error;
        if (!fs::is_regular_file(path, error)) {
            ProjectError(key, "file not found: " + path.string());
            return {};
        }
        return path;
    }

    // SOURCE_DATE_EPOCH, the reproducible-builds convention: no member is dated later than it, so that
    // two checkouts of the same sources, whose files carry each checkout's own time, build the same bytes.
    void ReadSourceDate() {
        const char* text = std::getenv("SOURCE_DATE_EPOCH");
        if (text == nullptr || *text == '\0') return;
        char* end = nullptr;
        errno = 0;
        const long long seconds = std::strtoll(text, &end, 10);
        if (*end != '\0' || errno != 0 || seconds < 0)
            Report(Diagnostic::Error, "environment", "SOURCE_DATE_EPOCH",
                   std::string("'") + text + "' is not a number of seconds since 1970");
        else
            sourceDate_ = static_cast<std::time_t>(seconds);
    }

    std::optional<IniFile> InstallInfo() {
        fs::path path = RequiredFile("InstallInfo", "every package starts with its install information");
        if (path.empty()) return std::nullopt;
        infoFile_ = path.string();
        AddLeading(ArchiveFormat::InstallInfoMember, path);
        try {
            return IniFile::Load(infoFile_);
        } catch (const ToolError& e) {
            ProjectError("InstallInfo", e.what());
            return std::nullopt;
        }
    }

    void AddLeading(const char* name, const fs::path& path) {
        std::error_code error;
        plan_.members.push_back({name, path, uint64_t(fs::file_size(path, error))});
    }

    // KPLI and KPPI: packed exactly when the module will look for them, which is when its flag is set.
    void LeadingText(const IniFile& info, const char* flag, const char* key, const char* member) {
        if (info.GetBool("Info", flag, false)) {
            std::optional<std::string> value = project_.Setting(key);
            if (!value) {
                Report(
                    Diagnostic::Error, infoFile_, KeyName("Info", flag),
                    std::string("is set, but the project names no file in [") + ProjectSection + "] " + key);
                return;
            }
            if (fs::path path = RequiredFile(key, ""); !path.empty()) AddLeading(member, path);
        } else if (project_.Setting(key)) {
            Report(Diagnostic::Warning, project_.file, KeyName(ProjectSection, key),
                   std::string("not packed: [Info] ") + flag + " is not set in " + infoFile_);
        }
    }

    void AddFileMember(const std::string& name, const fs::path& path, const char* section,
                       const std::string& key) {
        std::error_code error;
        PlannedMember member{name, path, uint64_t(fs::file_size(path, error))};
        if (error || member.size > 0xFFFFFFFFull) {
            Report(Diagnostic::Error, project_.file, KeyName(section, key),
                   path.string() + (error ? ": cannot be read" : ": larger than the format's 4 GiB limit"));
            return;
        }
        std::time_t modified = FileModificationTime(path.string());
        if (sourceDate_ && modified > *sourceDate_) modified = *sourceDate_;
        member.dosDateTime = modified == -1 ? 0 : DosDateTimeOf(modified);
        FileVersion version = ReadFileVersion(path.string());
        member.versionHigh = version.high;
        member.versionLow = version.low;
        plan_.payloadBytes += member.size;
        plan_.members.push_back(std::move(member));
    }

    void SourceMembers() {
        SourceScan scan;
        if (std::optional<std::string> value = project_.Setting("Source")) {
            try {
                scan = ScanSourceTree(project_.Resolve(*value));
            } catch (const ToolError& e) {
                ProjectError("Source", e.what());
            }
            for (const std::string& name : scan.skipped)
                Report(Diagnostic::Warning, project_.file, KeyName(ProjectSection, "Source"),
                       "skipped (not a file or folder): " + name);
            for (const std::string& name : scan.unusable)
                ProjectError("Source", "a name with ':' or '\\' cannot be installed: " + name);
        }
        // Folders the application needs even when empty; git, for one, keeps no empty folders.
        for (const IniFile::Entry& entry : project_.ini.Entries(ProjectFoldersSection)) {
            std::string relative = entry.second;
            std::replace(relative.begin(), relative.end(), '/', '\\');
            while (!relative.empty() && relative.back() == '\\') relative.pop_back();
            if (std::string why = UnsafeMemberName(relative); !why.empty()) {
                Report(Diagnostic::Error, project_.file, KeyName(ProjectFoldersSection, entry.first),
                       "not a folder inside the install folder: " + why);
                continue;
            }
            relative += '\\';
            bool covered = std::any_of(scan.entries.begin(), scan.entries.end(), [&](const SourceEntry& e) {
                return e.relative.compare(0, relative.size(), relative) == 0;
            });
            if (!covered) scan.entries.push_back({relative, {}, true});
        }
        SortSourceEntries(&scan.entries);

        for (const SourceEntry& entry : scan.entries) {
            std::string name = ArchiveFormat::SourcePrefix + entry.relative;
            if (name.size() > ArchiveFormat::MaxNameLength) {
                ProjectError("Source", "member name longer than 255 bytes: " + name);
            } else if (entry.folder) {
                plan_.members.push_back({name, {}, 0});
            } else {
                AddFileMember(name, entry.path, ProjectSection, "Source");
            }
        }
    }

    void MiscMembers(const IniFile& info) {
        for (int number :
             CheckMiscEntries(info, infoFile_, project_.ini, project_.file, &plan_.diagnostics)) {
            std::string key = std::to_string(number);
            std::optional<std::string> value = project_.ini.Get(ProjectMiscSection, key);
            fs::path path = project_.Resolve(value.value_or(""));
            std::error_code error;
            if (!value || value->empty() || !fs::is_regular_file(path, error)) {
                Report(Diagnostic::Error, project_.file, KeyName(ProjectMiscSection, key),
                       "file not found: " + path.string());
                continue;
            }
            AddFileMember("Misc" + key, path, ProjectMiscSection, key);
        }
    }

    // The install folder page compares SpaceNeeded, read as a signed 32-bit number, as unsigned.
    void CheckSpaceNeeded(const IniFile& info) {
        uint32_t stated = uint32_t(info.GetInt("General", "SpaceNeeded", 0));
        if (stated < plan_.payloadBytes)
            Report(Diagnostic::Warning, infoFile_, "[General] SpaceNeeded",
                   std::to_string(stated) + " is below the " + std::to_string(plan_.payloadBytes) +
                       " bytes the application's files take once installed");
    }

    const Project& project_;
    std::string infoFile_;
    std::optional<std::time_t> sourceDate_;
    PackagePlan plan_;
};

}  // namespace

PackagePlan PlanPackage(const Project& project) { return Planner(project).Run(); }
