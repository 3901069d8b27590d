// The files and empty folders of an application's source folder, as the members "Src\..." name them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct SourceEntry {
    std::string relative;        // backslashes between components; a folder ends with one
    std::filesystem::path path;  // on disk
    bool folder = false;
};

struct SourceScan {
    std::vector<SourceEntry> entries;
    std::vector<std::string> skipped;   // neither file nor folder, or a folder reached through a link
    std::vector<std::string> unusable;  // a name with '\\' or ':', which Windows cannot take
};

// Every regular file below root, and every folder below it that holds nothing at all (a folder with
// content is created by its files). Sorted by relative name, byte by byte, so that a build is
// reproducible. Throws ToolError when root is not a folder or cannot be read.
SourceScan ScanSourceTree(const std::filesystem::path& root);

// Sorts entries by relative name, byte by byte.
void SortSourceEntries(std::vector<SourceEntry>* entries);
