// What the Windows tests share: headers, fixtures, helpers for files, folders, the registry, delayed moves.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "common/process_state.h"
#include "common/progress_report.h"
#include "common/wizard_state.h"
#include "script/install_log.h"
#include "script/settings.h"
#include "startup/working_files.h"
#include "tests/support/archive_fixture.h"
#include "tests/support/server_fixture.h"
#include "tests/support/win_fixture.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

using testsupport::Exists;
using testsupport::FileBytes;
using testsupport::LoggedEntries;
using testsupport::SetFileBytes;
using Strings = std::vector<std::string>;

namespace wintest {

constexpr char SessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
using testsupport::SharedDlls;
constexpr char RunOnce[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// A string value (name null: the key's default), or "(none)" when it or its key is missing.
inline std::string RegText(HKEY root, const std::string& key, const char* name) {
    char data[1024];
    DWORD size = sizeof data;
    return RegGetValueA(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) == ERROR_SUCCESS
               ? data
               : "(none)";
}

inline bool KeyExists(HKEY root, const std::string& key) {
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

// The stored count of a shared file, -1 when there is none.
inline long SharedCount(const std::string& path) {
    DWORD count = 0, size = sizeof count;
    return RegGetValueA(HKEY_LOCAL_MACHINE, SharedDlls, path.c_str(), RRF_RT_REG_DWORD, nullptr, &count,
                        &size)
               ? -1
               : static_cast<long>(count);
}

// A setting of the file as ReadSetting gives it, or "(none)" when the key is missing.
inline std::string Setting(const char* file, const char* section, const char* key) {
    char value[1024];
    return ReadSetting(section, key, nullptr, value, sizeof value, file) ? value : "(none)";
}

// Restores an environment variable when it goes out of scope.
struct SavedVariable {
    explicit SavedVariable(const char* name) : name(name) {
        present = GetEnvironmentVariableA(name, value, sizeof value) > 0;
    }
    ~SavedVariable() { SetEnvironmentVariableA(name, present ? value : nullptr); }
    const char* name;
    char value[MAX_PATH] = "";
    bool present = false;
};

inline std::string WindowsFolder() {
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, sizeof folder);
    return folder;
}

inline std::string Lower(std::string text) {
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The system's delayed moves as "|source|destination|" pairs, in lower case, without "\??\" and "!".
inline std::string PendingMoves() {
    static char data[65536];
    DWORD size = sizeof data - 2;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, SessionManager, "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ,
                     nullptr, data, &size) != ERROR_SUCCESS)
        size = 0;
    std::string moves = "|";
    for (DWORD at = 0; at < size; ++at) moves += data[at] == '\0' ? '|' : data[at] == '!' ? '\0' : data[at];
    std::erase(moves, '\0');
    for (size_t at; (at = moves.find("\\??\\")) != std::string::npos;) moves.erase(at, 4);
    return Lower(moves);
}

// Names in folder that match pattern, "." and ".." left out, sorted.
inline std::vector<std::string> Entries(const std::string& folder, const char* pattern = "*") {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Whether the file's last-write time, in local time, is expected.
inline bool WrittenAt(const std::string& path, const FILETIME& expected) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    FILETIME local = {};
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
           FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) && CompareFileTime(&local, &expected) == 0;
}

}  // namespace wintest
