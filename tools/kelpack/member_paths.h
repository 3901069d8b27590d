// Member names as paths below a folder. A name is split at backslashes (and slashes, which Windows takes
// as separators too); a trailing separator marks a folder member.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Why the name cannot be written below a folder without leaving it, or empty when it can: an empty or
// absolute name, a drive or stream colon, a component that is empty or made of dots and spaces only
// (Windows trims trailing dots and spaces, so ". ." is "..").
std::string UnsafeMemberName(std::string_view name);

// folder / the name's components. The name must be safe (UnsafeMemberName).
std::filesystem::path MemberTargetPath(const std::filesystem::path& folder, std::string_view name);

// True when the name stands for a folder (ends with a separator).
bool IsFolderMember(std::string_view name);

// The name as it may be shown on a terminal: control characters (below 32, and 127) as \xNN, so that a
// name cannot carry escape sequences; other bytes as they are.
std::string PrintableName(std::string_view name);
