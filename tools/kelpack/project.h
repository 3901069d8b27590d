// A package project: an INI file that names the parts of a package (see docs/packaging.md).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "tools/kelpack/ini_file.h"

constexpr const char* ProjectSection = "Package";
constexpr const char* ProjectMiscSection = "MiscFiles";
constexpr const char* ProjectFoldersSection = "Folders";

struct Project {
    std::string file;              // as named on the command line; diagnostics use it
    std::filesystem::path folder;  // relative paths in the project start here
    IniFile ini;

    // A [Package] value, or nothing when the key is missing or blank.
    std::optional<std::string> Setting(const char* key) const;
    // A path from the project: absolute as it is, relative to the project's folder otherwise;
    // backslashes are separators on every system.
    std::filesystem::path Resolve(const std::string& value) const;
};

// Throws ToolError when the file cannot be read or has no [Package] section.
Project LoadProject(const std::string& path);

// "[Section] Key", the way diagnostics name a key.
std::string KeyName(const std::string& section, const std::string& key);
