// The five phases of an uninstallation, each removing its sections' entries of the installation log.
#include "uninstall/uninstall_phases.h"

#include <windows.h>

#include "common/file_system.h"
#include "common/paths.h"
#include "common/strings.h"
#include "common/uninstall_state.h"
#include "files/delete_questions.h"
#include "files/file_facts.h"
#include "files/file_removal.h"
#include "files/restart_operations.h"
#include "items/ini_items.h"
#include "items/registry_items.h"
#include "items/server_registration.h"
#include "items/uninstall_registration.h"
#include "script/install_log.h"
#include "script/log_records.h"
#include "script/settings.h"

namespace {

constexpr const char* CountedSections[] = {"SourceFile",    "MiscFile",       "IniFile",
                                           "Folder",        "Shortcut",       "ShellFolder",
                                           "RegistryValue", "RegistrySubKey", "IniKey"};

int IsHelpFile(const char* path) { return lstrcmpiA(ExtensionOf(path), ".HLP") == 0; }

void DeleteOrSchedule(const char* path) {
    if (!DeleteFileForce(path)) DeleteOnRestart(path);
}

void RemoveSourceFile(const SourceFileRecord& file) {
    // A file that stays in use is deleted at the restart, and only once however often it is named.
    if (!DeleteFileForce(file.path) && !CheckHandled(file.path)) DeleteOnRestart(file.path);
    if (IsHelpFile(file.path)) RemoveHelpCompanions(file.path);
}

void RemoveIniFile(const IniFileRecord& file) {
    // The system may hold the file's newest state in memory only.
    FlushSettings(file.path);
    if (!FileExists(file.path)) return;
    if (file.keep) {
        CheckHandled(file.path);  // it stays, and the folder sweep does not ask about it
    } else {
        DeleteFileForce(file.path);
    }
}

// Mode 1 deletes, mode 0 asks (unless an answer for all was given), any other mode keeps.
int ShouldDeleteMisc(const MiscFileRecord& misc) {
    if (misc.uninstallMode == 1) return 1;
    if (misc.uninstallMode != 0) return 0;
    const int answer = SharedFileAnswer;
    if (answer == 0) return AskDeleteSharedFile(misc.path);
    return answer == 1;
}

void RemoveMiscFile(const MiscFileRecord& misc) {
    // A shared file goes only with its last user.
    const int deletable = misc.shared ? DecrementSharedCount(misc.path) : 1;
    if (FileExists(misc.path)) {
        CheckHandled(misc.path);
        if (deletable && ShouldDeleteMisc(misc)) {
            if (misc.server) UnregisterServerFile(misc.path);
            if (misc.typeLibrary) UnregisterTypeLibraryFile(misc.path);
            DeleteOrSchedule(misc.path);
        }
    }
    if (IsHelpFile(misc.path)) RemoveHelpCompanions(misc.path);
}

void MakeWindowsFolderCurrent() {
    char windows[MAX_PATH];
    if (GetWindowsDirectoryA(windows, sizeof windows) != 0) SetCurrentDirectoryA(windows);
}

}  // namespace

long CountLoggedItems() {
    long total = 0;
    for (const char* section : CountedSections)
        if (LogCounter(section) > 0) total += LogCounter(section);
    return total;
}

int RemoveFiles(const UninstallProgress& progress) {
    SourceFileRecord file;
    while (NextSourceFile(&file)) {
        if (!progress.goOn()) return 0;
        if (!IsAbsolutePath(file.path)) continue;
        RemoveSourceFile(file);
        progress.itemDone();
    }
    IniFileRecord ini;
    while (NextIniFile(&ini)) {
        if (!progress.goOn()) return 0;
        if (!IsAbsolutePath(ini.path)) continue;
        RemoveIniFile(ini);
        progress.itemDone();
    }
    MiscFileRecord misc;
    while (NextMiscFile(&misc)) {
        if (!progress.goOn()) return 0;
        if (IsAbsolutePath(misc.path)) RemoveMiscFile(misc);
        progress.itemDone();
    }
    return 1;
}

int RemoveFolders(const UninstallProgress& progress) {
    MakeWindowsFolderCurrent();
    char folder[PathBufferSize];
    // Newest first: inner folders go before the ones that hold them.
    while (NextPath(PathKind::Folder, folder)) {
        if (!progress.goOn()) return 0;
        if (!RemoveFolder(folder) && UninstallType != 2) SweepFolder(folder);
        progress.itemDone();
    }
    return 1;
}

int RemoveShortcuts(const UninstallProgress& progress) {
    char path[PathBufferSize];
    while (NextPath(PathKind::Shortcut, path)) {
        if (!progress.goOn()) return 0;
        if (!IsAbsolutePath(path)) continue;
        DeleteFileForce(path);
        progress.itemDone();
    }
    MakeWindowsFolderCurrent();
    while (NextPath(PathKind::ShellFolder, path)) {
        if (!progress.goOn()) return 0;
        RemoveFolder(path);  // only an empty folder goes: the user may keep own shortcuts there
        progress.itemDone();
    }
    return 1;
}

int RemoveRegistryItems(const UninstallProgress& progress) {
    RegistryValueRecord value;
    while (NextRegistryValue(&value)) {
        if (!progress.goOn()) return 0;
        RemoveRegistryValue(value);
        progress.itemDone();
    }
    RegistryKeyRecord key;
    while (NextRegistryKey(&key)) {
        if (!progress.goOn()) return 0;
        RemoveRegistrySubKey(key);
        progress.itemDone();
    }
    return 1;
}

int RemoveIniItems(const UninstallProgress& progress) {
    IniKeyRecord key;
    while (NextIniKey(&key)) {
        if (!progress.goOn()) return 0;
        RemoveIniKey(key);
        progress.itemDone();
    }
    return 1;
}
