// Walking the source folder.
#include "tools/kelpack/source_tree.h"

#include <algorithm>

#include "tools/kelpack/tool_error.h"

namespace fs = std::filesystem;

namespace {

std::string RelativeName(const fs::path& root, const fs::path& path) {
    std::string name = path.lexically_relative(root).generic_string();
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

void Walk(const fs::path& root, const fs::path& folder, SourceScan* scan) {
    bool empty = true;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        empty = false;
        std::string name = RelativeName(root, entry.path());
        if (entry.path().filename().string().find_first_of("\\:") != std::string::npos) {
            scan->unusable.push_back(entry.path().string());
        } else if (entry.is_directory() && !entry.is_symlink()) {
            Walk(root, entry.path(), scan);
        } else if (entry.is_regular_file()) {
            scan->entries.push_back({name, entry.path(), false});
        } else {
            scan->skipped.push_back(name);
        }
    }
    if (empty && folder != root) scan->entries.push_back({RelativeName(root, folder) + "\\", folder, true});
}

}  // namespace

void SortSourceEntries(std::vector<SourceEntry>* entries) {
    std::sort(entries->begin(), entries->end(),
              [](const SourceEntry& a, const SourceEntry& b) { return a.relative < b.relative; });
}

SourceScan ScanSourceTree(const fs::path& root) {
    SourceScan scan;
    try {
        if (!fs::is_directory(root)) throw ToolError(root.string() + ": not a folder");
        Walk(root, root, &scan);
    } catch (const fs::filesystem_error& e) {
        throw ToolError(e.what());
    }
    SortSourceEntries(&scan.entries);
    return scan;
}
