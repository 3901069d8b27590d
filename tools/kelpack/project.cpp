// Loading a package project.
#include "tools/kelpack/project.h"

#include <algorithm>

#include "tools/kelpack/tool_error.h"

std::optional<std::string> Project::Setting(const char* key) const {
    std::optional<std::string> value = ini.Get(ProjectSection, key);
    if (!value || value->find_first_not_of(" \t") == std::string::npos) return std::nullopt;
    return value;
}

std::filesystem::path Project::Resolve(const std::string& value) const {
    std::string portable = value;
#ifndef _WIN32
    std::replace(portable.begin(), portable.end(), '\\', '/');
#endif
    std::filesystem::path path(portable);
    return path.is_absolute() ? path : folder / path;
}

Project LoadProject(const std::string& path) {
    Project project{path, std::filesystem::path(path).parent_path(), IniFile::Load(path)};
    if (!project.ini.HasSection(ProjectSection))
        throw ToolError(path + ": not a package project: it has no [" + ProjectSection + "] section");
    return project;
}

std::string KeyName(const std::string& section, const std::string& key) { return "[" + section + "] " + key; }
