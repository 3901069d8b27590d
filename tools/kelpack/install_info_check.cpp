#include "tools/kelpack/install_info_check.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

using Keys = std::vector<std::pair<std::string, std::vector<std::string>>>;

const Keys Known = {
    {"General",
     {"Title", "Language", "DefInstallFolder", "SpaceNeeded", "ForceInstallFolder",
      "ConfirmOverwriteSourceFolderFile", "NeedRestart", "RequiresAdminPrivilege"}},
    {"Info", {"LicenseInfo", "PreInfo", "PostInfoPath", "AllowCancelPostInfo"}},
    {"Window", {"WizardStamp"}},
    {"Background",
     {"Header", "Footer", "Shadow", "HeaderFont", "FooterFont", "BackgroundColor1", "BackgroundColor2"}},
    {"MiscFile", {"MiscFileN"}},
    {"Shortcut", {"ProgramGroupName", "CreateIconsInAllUsersProfile", "ShortcutN"}},
    {"Registry", {"RegistryN"}},
    {"Ini", {"IniN"}},
    {"Run",
     {"RunAppPath", "RunAppArg", "AllowCancelRunApp", "SilentToolPath", "SilentToolArg", "DeleteSilentTool",
      "HideWizardWindow"}},
    {"Uninstall",
     {"CPLUninstallName", "UninstallShortcutName", "UninstallType", "UninstallSilentToolPath",
      "UninstallSilentToolArg", "DisplayIcon", "DisplayVersion", "Publisher"}},
};

const char* const PathVariables[] = {"WinDrive",       "WinDir",       "WinSysDir",   "ProgramFiles",
                                     "CommonFiles",    "InstallDrive", "InstallDir",  "InstallFileDrive",
                                     "InstallFileDir", "TempDir",      "UserTempDir", "DeskTop",
                                     "StartMenu",      "ProgramMenu",  "StartupMenu", "QuickLaunch",
                                     "SendTo",         "WinIni",       "InstallDate"};
// The first of them stand for folders that an install folder may start with.
constexpr size_t FolderVariables = 11;

// Letters that differ, go missing or come in, letter case aside.
size_t Distance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// ", did you mean X?" for the nearest of candidates within a third of the name's length, else "".
std::string Suggestion(const std::string& name, const std::vector<std::string>& candidates) {
    const std::string* best = nullptr;
    size_t bestDistance = std::max<size_t>(2, name.size() / 3) + 1;
    for (const std::string& candidate : candidates) {
        const size_t distance = Distance(name, candidate);
        if (distance < bestDistance) {
            best = &candidate;
            bestDistance = distance;
        }
    }
    return best ? ", did you mean " + *best + "?" : "";
}

// The number after prefix when key is prefix and digits without a leading zero, else 0.
long NumberAfter(const std::string& key, const std::string& prefix) {
    if (key.size() <= prefix.size() || !EqualsNoCase(key.substr(0, prefix.size()), prefix)) return 0;
    const std::string digits = key.substr(prefix.size());
    if (digits[0] == '0' || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
        return 0;
    return std::stol(digits);
}

// The fields of an entry as the module splits it: at each comma, the last field taking the rest.
std::vector<std::string> SplitEntry(const std::string& entry, size_t fields) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (parts.size() + 1 < fields) {
        const size_t comma = entry.find(',', start);
        if (comma == std::string::npos) break;
        parts.push_back(entry.substr(start, comma - start));
        start = comma + 1;
    }
    parts.push_back(entry.substr(start));
    parts.resize(fields);
    return parts;
}

bool AllOf(const std::string& text, int (*kind)(int)) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [kind](unsigned char c) { return kind(c) != 0; });
}

// The leading number of a field, as the module reads it ("%ld"), or -1 when it has none.
long LeadingNumber(const std::string& field) {
    size_t digits = 0;
    while (digits < field.size() && digits < 9 && std::isdigit(static_cast<unsigned char>(field[digits])))
        ++digits;
    return digits == 0 ? -1 : std::stol(field.substr(0, digits));
}

class Checker {
  public:
    Checker(const IniFile& info, const std::string& file) : info_(info), file_(file) {}

    std::vector<Diagnostic> Run() {
        for (const std::string& section : info_.SectionNames()) CheckSection(section);
        CheckInstallFolder();
        if (info_.Get("Uninstall", "CPLUninstallName") && !info_.Get("General", "Title"))
            Warn("Uninstall", "CPLUninstallName",
                 "an uninstall entry needs [General] Title, which names the product");
        return std::move(diagnostics_);
    }

  private:
    void Warn(const std::string& section, const std::string& key, const std::string& message) {
        diagnostics_.push_back({Diagnostic::Warning, file_,
                                "[" + section + "]" + (key.empty() ? "" : " " + key), message,
                                info_.LineOf(section, key)});
    }

    void CheckSection(const std::string& section) {
        const auto known = std::find_if(Known.begin(), Known.end(), [&](const auto& entry) {
            return EqualsNoCase(entry.first, section);
        });
        if (known == Known.end()) {
            std::vector<std::string> names;
            for (const auto& entry : Known) names.push_back(entry.first);
            Warn(section, "", "the module reads no such section" + Suggestion(section, names));
            return;
        }
        std::vector<long> numbers;
        for (const IniFile::Entry& entry : info_.Entries(section)) {
            const std::string& key = entry.first;
            CheckVariables(section, key, entry.second);
            if (std::any_of(known->second.begin(), known->second.end(),
                            [&](const std::string& name) { return EqualsNoCase(name, key); }))
                continue;
            const std::string* prefix = nullptr;
            for (const std::string& name : known->second)
                if (name.back() == 'N' && NumberAfter(key, name.substr(0, name.size() - 1)) > 0)
                    prefix = &name;
            if (prefix) {
                numbers.push_back(NumberAfter(key, prefix->substr(0, prefix->size() - 1)));
                continue;
            }
            // A numbered key is suggested as its first number.
            std::vector<std::string> names = known->second;
            for (std::string& name : names)
                if (name.back() == 'N') name.back() = '1';
            Warn(section, key,
                 "the module reads no such key in [" + known->first + "]" + Suggestion(key, names));
        }
        CheckNumbering(section, known->second, numbers);
        for (const auto& [key, value] : info_.Entries(section)) CheckEntry(section, key, value);
    }

    // The fields of the numbered entries, split as the module splits them.
    void CheckEntry(const std::string& section, const std::string& key, const std::string& value) {
        const auto flag = [&](const std::string& field, const char* name) {
            if (!field.empty() && field != "0" && field != "1")
                Warn(section, key,
                     std::string("the ") + name + " flag '" + field +
                         "' is neither 0 nor 1: only exactly 1 sets it");
        };
        const auto required = [&](const std::string& field, const char* name) {
            if (field.empty()) Warn(section, key, std::string("the ") + name + " field is empty");
        };
        if (NumberAfter(key, "MiscFile") > 0 && EqualsNoCase(section, "MiscFile")) {
            if (std::count(value.begin(), value.end(), ',') > 5)
                Warn(section, key,
                     "more than 6 fields: target, overwrite mode, uninstall mode, shared, server, type "
                     "library");
            const std::vector<std::string> f = SplitEntry(value, 6);
            required(f[0], "target");
            if (LeadingNumber(f[1]) > 2)
                Warn(section, key,
                     "overwrite mode " + f[1] + " is none of 0, 1, 2: the existing file is kept");
            if (LeadingNumber(f[2]) > 2)
                Warn(section, key, "uninstall mode " + f[2] + " is none of 0, 1, 2: the file is kept");
            flag(f[3], "shared");
            flag(f[4], "server");
            flag(f[5], "type library");
        } else if (NumberAfter(key, "Shortcut") > 0 && EqualsNoCase(section, "Shortcut")) {
            const std::vector<std::string> f = SplitEntry(value, 6);
            required(f[0], "name");
            required(f[1], "target");
            required(f[2], "folder");
        } else if (NumberAfter(key, "Registry") > 0 && EqualsNoCase(section, "Registry")) {
            CheckRegistryItem(section, key, SplitEntry(value, 7), flag);
        } else if (NumberAfter(key, "Ini") > 0 && EqualsNoCase(section, "Ini")) {
            const std::vector<std::string> f = SplitEntry(value, 6);
            flag(f[0], "no-overwrite");
            flag(f[1], "keep");
            required(f[3], "section");
            required(f[4], "key");
        }
    }

    template <typename Flag>
    void CheckRegistryItem(const std::string& section, const std::string& key,
                           const std::vector<std::string>& f, const Flag& flag) {
        flag(f[0], "no-overwrite");
        flag(f[1], "keep");
        const long root = LeadingNumber(f[2]);
        if (root < 0 || root > 3)
            Warn(section, key,
                 "root '" + f[2] + "' is none of 0 (HKEY_CLASSES_ROOT) to 3 (HKEY_USERS): the item fails");
        if (f[3].empty()) Warn(section, key, "the key field is empty");
        const long type = LeadingNumber(f[5]);
        if (!f[5].empty() && (type < 1 || type > 3))
            Warn(section, key,
                 "type '" + f[5] + "' is none of 1 (text), 2 (number), 3 (bytes): only the key is made");
        std::string data = f[6];
        data.erase(0, data.find_first_not_of(" \t"));
        data.erase(data.find_last_not_of(" \t") + 1);
        if (type == 2) {
            const bool hex = data.size() > 2 && data[0] == '0' && (data[1] == 'x' || data[1] == 'X') &&
                             data.size() <= 10 && AllOf(data.substr(2), isxdigit);
            const std::string digits =
                !data.empty() && (data[0] == '-' || data[0] == '+') ? data.substr(1) : data;
            const long long most = !data.empty() && data[0] == '-' ? 2147483648LL : 2147483647LL;
            const bool decimal = AllOf(digits, isdigit) && digits.size() <= 10 && std::stoll(digits) <= most;
            if (!hex && !decimal)
                Warn(section, key,
                     "'" + data +
                         "' is no number a DWORD holds as written: write 0x and up to 8 hex digits, or a "
                         "decimal from -2147483648 to 2147483647");
        } else if (type == 3) {
            for (size_t at = data.find_first_not_of(" \t,;"); at != std::string::npos;
                 at = data.find_first_not_of(" \t,;", at)) {
                const size_t end = std::min(data.find_first_of(" \t,;", at), data.size());
                const std::string byte = data.substr(at, end - at);
                if (byte.size() > 2 || !AllOf(byte, isxdigit)) {
                    Warn(section, key, "'" + byte + "' is no byte: write each byte as one or two hex digits");
                    break;
                }
                at = end;
            }
        }
    }

    // The module reads Prefix1, Prefix2, ... up to the first number that is missing.
    void CheckNumbering(const std::string& section, const std::vector<std::string>& names,
                        std::vector<long> numbers) {
        std::sort(numbers.begin(), numbers.end());
        for (size_t i = 0; i < numbers.size(); ++i) {
            if (numbers[i] == long(i) + 1) continue;
            const std::string prefix = *std::find_if(names.begin(), names.end(),
                                                     [](const std::string& n) { return n.back() == 'N'; });
            const std::string stem = prefix.substr(0, prefix.size() - 1);
            Warn(section, stem + std::to_string(numbers[i]),
                 "never read: the module stops at the first missing number, " + stem + std::to_string(i + 1));
            return;
        }
    }

    // {Name} must be a path variable, spelled as the module spells it; {{} and {}} are a brace.
    void CheckVariables(const std::string& section, const std::string& key, const std::string& value) {
        for (size_t open = value.find('{'); open != std::string::npos; open = value.find('{', open + 1)) {
            const size_t close = value.find('}', open + 1);
            if (close == std::string::npos) return;
            const std::string name = value.substr(open + 1, close - open - 1);
            if (name.empty() || name == "{" ||
                !std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isalpha(c); }))
                continue;
            if (std::find(std::begin(PathVariables), std::end(PathVariables), name) !=
                std::end(PathVariables))
                continue;
            std::vector<std::string> names;
            for (const char* variable : PathVariables) names.push_back("{" + std::string(variable) + "}");
            Warn(section, key,
                 "{" + name + "} is no path variable and stays as it is" +
                     Suggestion("{" + name + "}", names));
        }
    }

    void CheckInstallFolder() {
        const std::optional<std::string> folder = info_.Get("General", "DefInstallFolder");
        if (!folder || folder->empty()) {
            Warn("General", "DefInstallFolder",
                 "missing: the install folder page proposes the package's own folder");
            return;
        }
        std::string f = *folder;
        // The registry form: what counts is the default after the ';', used when the value is not there.
        if (f.compare(0, 5, "{Reg:") == 0) {
            const size_t close = f.find('}'), semicolon = f.find(';', close == std::string::npos ? 0 : close);
            if (semicolon == std::string::npos || semicolon + 1 == f.size()) return;
            f = f.substr(semicolon + 1);
        }
        // Only the folder variables make a folder of their own; a shell folder ({DeskTop}, ...) there
        // is taken as relative to the package's folder.
        const bool variable =
            std::any_of(PathVariables, PathVariables + FolderVariables, [&f](const char* name) {
                return f.compare(0, strlen(name) + 2, "{" + std::string(name) + "}") == 0;
            });
        const bool absolute = variable ||
                              (f.size() >= 3 && std::isalpha(static_cast<unsigned char>(f[0])) &&
                               f[1] == ':' && f[2] == '\\') ||
                              f.compare(0, 2, "\\\\") == 0;
        if (!absolute)
            Warn("General", "DefInstallFolder",
                 "'" + f +
                     "' is relative: start it with a drive, a \\\\server\\share or one of the folder "
                     "variables {WinDrive} to {UserTempDir}");
    }

    const IniFile& info_;
    std::string file_;
    std::vector<Diagnostic> diagnostics_;
};

}  // namespace

std::vector<Diagnostic> CheckInstallInfo(const IniFile& info, const std::string& file) {
    return Checker(info, file).Run();
}

const std::vector<std::pair<std::string, std::vector<std::string>>>& KnownInstallInfoKeys() { return Known; }
