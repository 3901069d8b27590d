// Checking misc entries against the project's misc files.
#include "tools/kelpack/misc_entries.h"

#include <map>

#include "tools/kelpack/project.h"

int EntryNumber(const std::string& text) {
    if (text.empty() || text.size() > 9 || text[0] == '0') return 0;
    int number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::vector<int> CheckMiscEntries(const IniFile& info, const std::string& infoFile, const IniFile& project,
                                  const std::string& projectFile, std::vector<Diagnostic>* diagnostics) {
    auto error = [&](const std::string& file, const std::string& section, const std::string& key,
                     const std::string& message) {
        diagnostics->push_back({Diagnostic::Error, file, KeyName(section, key), message});
    };

    // The run the module will read: MiscFile1, MiscFile2, ... to the first missing number.
    int count = 0;
    while (info.Get(InstallMiscSection, InstallMiscKeyPrefix + std::to_string(count + 1))) ++count;

    const std::string prefix = InstallMiscKeyPrefix;
    for (const IniFile::Entry& entry : info.Entries(InstallMiscSection)) {
        const std::string& key = entry.first;
        bool numbered = key.size() > prefix.size() && EqualsNoCase(key.substr(0, prefix.size()), prefix);
        int number = numbered ? EntryNumber(key.substr(prefix.size())) : 0;
        if (numbered && number == 0) {
            error(infoFile, InstallMiscSection, key,
                  "never read: entries are numbered 1, 2, 3, ... without leading zeros");
        } else if (number > count) {
            error(infoFile, InstallMiscSection, key,
                  "never installed: " + prefix + std::to_string(count + 1) +
                      " is missing, and the list ends at the first missing number");
        }
    }

    std::map<int, std::string> files;
    for (const IniFile::Entry& entry : project.Entries(ProjectMiscSection)) {
        int number = EntryNumber(entry.first);
        if (number == 0) {
            error(projectFile, ProjectMiscSection, entry.first, "misc files are numbered 1, 2, 3, ...");
        } else if (number > count) {
            error(projectFile, ProjectMiscSection, entry.first,
                  "no " + prefix + std::to_string(number) + " entry in " + infoFile +
                      " that installs it (the file would never be installed)");
        } else {
            files[number] = entry.second;
        }
    }

    std::vector<int> numbers;
    for (int number = 1; number <= count; ++number) {
        if (files.count(number) == 0) {
            error(infoFile, InstallMiscSection, prefix + std::to_string(number),
                  "no file for it: add " + std::to_string(number) + "=PATH to [" + ProjectMiscSection +
                      "] in " + projectFile);
        } else {
            numbers.push_back(number);
        }
    }
    return numbers;
}
