// Checks of the install information for the mistakes that the module would pass over in silence and
// that then fail on the user's machine: a section or key it does not read (the nearest known name is
// suggested), a numbered entry after a gap (the module stops at the first missing number), a path
// variable that does not exist, an install folder that is missing or relative, an uninstall entry
// without a title, and the malformed fields of numbered entries.
#pragma once

#include <string>
#include <vector>

#include "tools/kelpack/diagnostics.h"
#include "tools/kelpack/ini_file.h"

// Warnings about info, read from file (the name the diagnostics give).
std::vector<Diagnostic> CheckInstallInfo(const IniFile& info, const std::string& file);

// The sections and keys the module reads from the install information; a numbered key such as
// Shortcut1, Shortcut2, ... is given as its prefix followed by "N".
const std::vector<std::pair<std::string, std::vector<std::string>>>& KnownInstallInfoKeys();
