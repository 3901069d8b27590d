#include "tests/e2e/machine_picture.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <iterator>

#include "tests/e2e/install_run.h"
#include "tests/support/archive_fixture.h"
#include "tools/ui_driver/ui_driver.h"

namespace e2e {

namespace {

// "key : value = data" for every value under the registry key.
void ListKey(HKEY root, const std::string& name, std::vector<std::string>& lines) {
    HKEY key;
    if (RegOpenKeyExA(root, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    char item[512];
    BYTE data[4096];
    for (DWORD index = 0;; ++index) {
        DWORD itemSize = sizeof item, dataSize = sizeof data, type = 0;
        const LONG read = RegEnumValueA(key, index, item, &itemSize, nullptr, &type, data, &dataSize);
        if (read == ERROR_MORE_DATA) continue;  // not something an installation writes
        if (read != ERROR_SUCCESS) break;
        lines.push_back(name + " : " + item + " = " + std::string(reinterpret_cast<char*>(data), dataSize));
    }
    std::vector<std::string> subkeys;
    for (DWORD index = 0;; ++index) {
        DWORD itemSize = sizeof item;
        if (RegEnumKeyExA(key, index, item, &itemSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subkeys.push_back(item);
    }
    RegCloseKey(key);
    for (const std::string& subkey : subkeys) ListKey(root, name + "\\" + subkey, lines);
}

}  // namespace

std::string ShellFolder(int id) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, id, nullptr, 0, path);
    return path;
}

std::vector<std::string> MachinePicture() {
    std::vector<std::string> lines;
    const auto ListTree = [&lines](const std::string& root, bool deep) {
        ui::ForEachEntry(root, deep, [&lines](const std::string& path, const WIN32_FIND_DATAA& found) {
            lines.push_back(path + " " + std::to_string(found.nFileSizeLow));
        });
    };
    ListTree("C:", false);
    ListTree("C:\\Program Files", true);
    ListTree(WindowsFolder(), false);
    std::erase(lines, WindowsFolder() + "\\KPinst27.exe 262144");
    ListTree(TempFolder(), true);
    // A folder the system does not name would be listed from the root of the current drive.
    for (int folder :
         {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY})
        if (const std::string path = ShellFolder(folder); !path.empty()) ListTree(path, true);
    ListKey(HKEY_LOCAL_MACHINE, "Software", lines);
    ListKey(HKEY_CURRENT_USER, "Software", lines);
    const std::string winIni = testsupport::FileBytes(WindowsFolder() + "\\win.ini");
    for (size_t start = 0; start < winIni.size();) {
        size_t end = winIni.find('\n', start);
        if (end == std::string::npos) end = winIni.size();
        lines.push_back("win.ini: " + winIni.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> Changes(std::vector<std::string> before, std::vector<std::string> after) {
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    std::vector<std::string> gone, added, changes;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(gone));
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    for (const std::string& line : gone) changes.push_back("- " + line);
    for (const std::string& line : added) changes.push_back("+ " + line);
    return changes;
}

}  // namespace e2e
