// The uninstall entry, the uninstall shortcut, and the uninstaller's registry bookkeeping.
#include <string.h>
#include <windows.h>

#include "common/file_system.h"
#include "common/paths.h"
#include "common/process_state.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "common/wizard_state.h"
#include "items/shortcuts.h"
#include "items/uninstall_registration.h"
#include "script/log_records.h"
#include "script/path_variables.h"
#include "script/settings.h"

namespace {

constexpr char UninstallList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char RunOnceKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char FolderCount[] = "UninstallFolderCount";

// The number of the last folder recorded in this run; an emptied list starts again at 1.
DWORD FoldersRecorded = 0;

// The title's entry key below the list; 0 for a title that would name the list itself.
int EntryKeyName(char* name) {
    if (IsBlankKeyPath(Title)) return 0;
    CopyBounded(PathBufferSize * 2, name, UninstallList);
    AppendBounded(PathBufferSize * 2, name, Title);
    return 1;
}

LONG OpenEntry(REGSAM access, HKEY* key, int create) {
    char name[PathBufferSize * 2];
    if (!EntryKeyName(name)) return ERROR_INVALID_NAME;
    if (!create) return RegOpenKeyExA(HKEY_LOCAL_MACHINE, name, 0, access, key);
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, name, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                           key, nullptr);
}

LONG SetString(HKEY key, const char* name, const char* text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(strlen(text) + 1));
}

int ReadFolderCount(HKEY key, DWORD* count) {
    DWORD type = 0, size = sizeof *count;
    return RegQueryValueExA(key, FolderCount, nullptr, &type, reinterpret_cast<BYTE*>(count), &size) ==
               ERROR_SUCCESS &&
           size == sizeof *count;
}

// The module copy in the Windows folder, quoted or not.
const char* ModuleCopyPath(int quoted) {
    static char path[PathBufferSize];
    CopyBounded(sizeof path, path, JoinPath(WinDir, ModuleCopyName));
    if (quoted) QuotePath(path);
    return path;
}

// A free "KPU????.inf" name in the install folder: the system picks a free .tmp name, which is let go.
int ChooseUninstallInfoPath() {
    char name[MAX_PATH];
    if (GetTempFileNameA(InstallDir, "KPU", 0, name) == 0) return 0;
    DeleteFileA(name);
    ReplaceExtension(name, ".inf");
    CopyBounded(sizeof UninstallInfoPath, UninstallInfoPath, name);
    return 1;
}

LONG SetNumber(HKEY key, const char* name, DWORD number) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

// A value of [Uninstall] copied to the entry when the install information gives it; path variables
// expanded where asked. 1 when it was given.
int CopyOptional(HKEY entry, const char* key, int expand) {
    char value[PathBufferSize];
    if (ReadSetting("Uninstall", key, nullptr, value, sizeof value, InstallInfoFile) == nullptr) return 0;
    if (expand) ExpandPathVariables(value);
    SetString(entry, key, value);
    return 1;
}

// What package managers and the list of installed programs read besides the name and the command.
void DescribeEntry(HKEY entry) {
    char command[PathBufferSize * 3];
    CopyBounded(sizeof command, command, ModuleCopyPath(1));
    AppendBounded(sizeof command, command, " /S /U=\"");
    AppendBounded(sizeof command, command, UninstallInfoPath);
    AppendBounded(sizeof command, command, "\"");
    SetString(entry, "QuietUninstallString", command);
    SetString(entry, "InstallLocation", InstallDir);
    if (!CopyOptional(entry, "DisplayIcon", 1)) SetString(entry, "DisplayIcon", ModuleCopyPath(0));
    CopyOptional(entry, "DisplayVersion", 0);
    CopyOptional(entry, "Publisher", 0);
    const unsigned long long kilobytes = (InstalledBytes + 1023) / 1024;
    SetNumber(entry, "EstimatedSize",
              kilobytes > 0xFFFFFFFFull ? 0xFFFFFFFFul : static_cast<DWORD>(kilobytes));
    SetNumber(entry, "NoModify", 1);
    SetNumber(entry, "NoRepair", 1);
}

int RegisterEntry() {
    char displayName[PathBufferSize];
    ReadSetting("Uninstall", "CPLUninstallName", "", displayName, sizeof displayName, InstallInfoFile);
    ScopedKey entry;
    if (OpenEntry(KEY_SET_VALUE, entry.put(), 1) != ERROR_SUCCESS) return 0;
    // An entry in the list without a command would be worse than none.
    if (SetString(entry.get(), "DisplayName", displayName) != ERROR_SUCCESS) return 0;
    char command[PathBufferSize * 2];
    CopyBounded(sizeof command, command, ModuleCopyPath(1));
    AppendBounded(sizeof command, command, " -U");
    AppendBounded(sizeof command, command, UninstallInfoPath);
    if (SetString(entry.get(), "UninstallString", command) != ERROR_SUCCESS) return 0;
    DescribeEntry(entry.get());
    return 1;
}

int PlaceUninstallShortcut() {
    char value[PathBufferSize * 2], folder[PathBufferSize], name[PathBufferSize];
    ReadSetting("Uninstall", "UninstallShortcutName", "", value, sizeof value, InstallInfoFile);
    NextField(folder, value);
    NextField(name, nullptr);
    char arguments[PathBufferSize];
    CopyBounded(sizeof arguments, arguments, "-U");
    AppendBounded(sizeof arguments, arguments, UninstallInfoPath);
    return PlaceShortcut(folder, name, ModuleCopyPath(0), arguments, "", ModuleCopyPath(0), 1);
}

}  // namespace

int RegisterUninstall() {
    const int entry = SettingExists("Uninstall", "CPLUninstallName", InstallInfoFile);
    const int shortcut = SettingExists("Uninstall", "UninstallShortcutName", InstallInfoFile);
    if (!entry && !shortcut) return 1;
    int result = ChooseUninstallInfoPath();
    LogUninstallType(ReadIntSetting("Uninstall", "UninstallType", 0, InstallInfoFile));
    if (entry && (!result || !RegisterEntry())) result = 0;
    if (shortcut && (!result || !PlaceUninstallShortcut())) result = 0;
    return result;
}

int DeleteRunOnceValue() {
    if (IsBlankKeyPath(Title)) return 1;
    ScopedKey runOnce;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunOnceKey, 0, KEY_SET_VALUE, runOnce.put()) == ERROR_SUCCESS)
        RegDeleteValueA(runOnce.get(), Title);
    return 1;
}

int DeleteUninstallEntry() {
    char name[PathBufferSize * 2];
    if (EntryKeyName(name)) RegDeleteKeyA(HKEY_LOCAL_MACHINE, name);
    return 1;
}

void RecordFolderForRestart(const char* folder) {
    ScopedKey entry;
    if (OpenEntry(KEY_SET_VALUE, entry.put(), 1) != ERROR_SUCCESS) return;
    ++FoldersRecorded;
    char name[16];
    wsprintfA(name, "%lu", FoldersRecorded);
    SetString(entry.get(), name, folder);
    RegSetValueExA(entry.get(), FolderCount, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&FoldersRecorded),
                   sizeof FoldersRecorded);
}

void ClearFolderList() {
    FoldersRecorded = 0;
    ScopedKey entry;
    DWORD count = 0;
    if (OpenEntry(KEY_SET_VALUE | KEY_QUERY_VALUE, entry.put(), 0) != ERROR_SUCCESS ||
        !ReadFolderCount(entry.get(), &count))
        return;
    for (DWORD number = 1; number <= count; ++number) {
        char name[16];
        wsprintfA(name, "%lu", number);
        RegDeleteValueA(entry.get(), name);
    }
    RegDeleteValueA(entry.get(), FolderCount);
}

int SetRunOnceCommand(const char* command) {
    if (IsBlankKeyPath(Title)) return 0;
    ScopedKey runOnce;
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, RunOnceKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                           nullptr, runOnce.put(), nullptr) == ERROR_SUCCESS &&
           SetString(runOnce.get(), Title, command) == ERROR_SUCCESS;
}

void ScheduleUninstallAfterRestart() {
    if (IsBlankKeyPath(Title)) return;
    char command[PathBufferSize * 2];
    CopyBounded(sizeof command, command, ModuleCopyPath(1));
    AppendBounded(sizeof command, command, " -u");
    AppendBounded(sizeof command, command, Title);
    SetRunOnceCommand(command);
    ScopedKey entry;
    if (OpenEntry(KEY_SET_VALUE, entry.put(), 0) != ERROR_SUCCESS) return;
    // Out of the list, and out of reach of a package manager's second removal.
    static const char* const listed[] = {"DisplayName", "UninstallString", "QuietUninstallString"};
    for (const char* name : listed) RegDeleteValueA(entry.get(), name);
}

void FinishUninstallAfterRestart() {
    ScopedKey entry;
    DWORD count = 0;
    if (OpenEntry(KEY_QUERY_VALUE, entry.put(), 0) == ERROR_SUCCESS && ReadFolderCount(entry.get(), &count)) {
        for (DWORD number = 1; number <= count; ++number) {
            char name[16], folder[PathBufferSize];
            wsprintfA(name, "%lu", number);
            if (ReadRegistryString(entry.get(), name, folder, sizeof folder)) RemoveFolder(folder);
        }
    }
    entry.reset();
    DeleteUninstallEntry();
}
