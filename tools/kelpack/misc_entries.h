// The correspondence of the install information's "MiscFile%d" entries and the project's misc files.
// The module reads MiscFile1, MiscFile2, ... up to the first missing number and takes member MiscN for
// entry N, so both lists must run 1..N without a gap and name the same numbers.
#pragma once

#include <string>
#include <vector>

#include "tools/kelpack/diagnostics.h"
#include "tools/kelpack/ini_file.h"

constexpr const char* InstallMiscSection = "MiscFile";
constexpr const char* InstallMiscKeyPrefix = "MiscFile";

// A positive decimal number without sign or leading zeros, as "%d" writes it; 0 for anything else.
int EntryNumber(const std::string& text);

// The numbers 1..N of the misc members to pack (those both lists agree on). Problems go to diagnostics.
std::vector<int> CheckMiscEntries(const IniFile& info, const std::string& infoFile, const IniFile& project,
                                  const std::string& projectFile, std::vector<Diagnostic>* diagnostics);
