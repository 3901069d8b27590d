// Command-line arguments of the tool's commands: positional arguments and options, "--name VALUE",
// "--name=VALUE" or "-x VALUE".
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct OptionRule {
    const char* name;  // without the dashes
    char shortName;    // 0 for none
    bool takesValue;
};

struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // flags map to ""

    bool Has(const std::string& name) const { return options.count(name) != 0; }
    std::optional<std::string> Value(const std::string& name) const;
};

// Throws UsageError for an unknown option or a missing value. "--help" is always known.
Arguments ParseArguments(const std::vector<std::string>& args, const std::vector<OptionRule>& rules);

// A decimal archive offset (0 to 4 GiB - 1); throws UsageError otherwise.
uint32_t ParseOffset(const std::string& text);

// Where the archive of the file at path starts: the --offset option, else behind the head of an
// uninstall information file, else behind the module.
uint32_t ArchiveOffset(const Arguments& args, const std::string& path);
