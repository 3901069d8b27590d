#include "bench/bench_support.h"

#include <windows.h>

#include <vector>

#include "tools/ui_driver/ui_driver.h"

double Now() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

Tally Count(const std::string& folder, const std::string& skip) {
    Tally tally;
    ui::ForEachEntry(folder, true, [&tally, &skip](const std::string&, const WIN32_FIND_DATAA& found) {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            lstrcmpiA(found.cFileName, skip.c_str()) == 0)
            return;
        ++tally.files;
        tally.bytes += (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    });
    return tally;
}

void RemoveTree(const std::string& folder) {
    std::vector<std::string> folders{folder};
    ui::ForEachEntry(folder, true, [&folders](const std::string& path, const WIN32_FIND_DATAA& found) {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            folders.push_back(path);
        else
            DeleteFileA(path.c_str());
    });
    for (auto at = folders.rbegin(); at != folders.rend(); ++at) RemoveDirectoryA(at->c_str());
}
