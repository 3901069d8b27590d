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

struct PathRecord {
    char path[PathBufferSize];
};
int NextFolder(PathRecord* record) { return NextPath(PathKind::Folder, record->path); }
int NextShortcut(PathRecord* record) { return NextPath(PathKind::Shortcut, record->path); }
int NextShellFolder(PathRecord* record) { return NextPath(PathKind::ShellFolder, record->path); }

// Takes the entries of one kind in turn and stops where the driver says so (0); remove gives whether
// the entry counts as a step.
template <typename Record, typename Remove>
int RemoveEach(int (*next)(Record*), const UninstallProgress& progress, Remove remove) {
    Record record;
    while (next(&record)) {
        if (!progress.goOn()) return 0;
        if (remove(record)) progress.itemDone();
    }
    return 1;
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
    return RemoveEach<SourceFileRecord>(NextSourceFile, progress,
                                        [](const SourceFileRecord& file) {
                                            if (!IsAbsolutePath(file.path)) return false;
                                            RemoveSourceFile(file);
                                            return true;
                                        }) &&
           RemoveEach<IniFileRecord>(NextIniFile, progress,
                                     [](const IniFileRecord& ini) {
                                         if (!IsAbsolutePath(ini.path)) return false;
                                         RemoveIniFile(ini);
                                         return true;
                                     }) &&
           // A relative misc entry is passed over, but counted.
           RemoveEach<MiscFileRecord>(NextMiscFile, progress, [](const MiscFileRecord& misc) {
               if (IsAbsolutePath(misc.path)) RemoveMiscFile(misc);
               return true;
           });
}

int RemoveFolders(const UninstallProgress& progress) {
    MakeWindowsFolderCurrent();
    // Newest first: inner folders go before the ones that hold them.
    return RemoveEach<PathRecord>(NextFolder, progress, [](const PathRecord& folder) {
        if (!RemoveFolder(folder.path) && UninstallType != 2) SweepFolder(folder.path);
        return true;
    });
}

int RemoveShortcuts(const UninstallProgress& progress) {
    if (!RemoveEach<PathRecord>(NextShortcut, progress, [](const PathRecord& shortcut) {
            if (!IsAbsolutePath(shortcut.path)) return false;
            DeleteFileForce(shortcut.path);
            return true;
        }))
        return 0;
    MakeWindowsFolderCurrent();
    // Only an empty folder goes: the user may keep shortcuts of their own there.
    return RemoveEach<PathRecord>(NextShellFolder, progress, [](const PathRecord& folder) {
        RemoveFolder(folder.path);
        return true;
    });
}

int RemoveRegistryItems(const UninstallProgress& progress) {
    return RemoveEach<RegistryValueRecord>(NextRegistryValue, progress,
                                           [](const RegistryValueRecord& value) {
                                               RemoveRegistryValue(value);
                                               return true;
                                           }) &&
           RemoveEach<RegistryKeyRecord>(NextRegistryKey, progress, [](const RegistryKeyRecord& key) {
               RemoveRegistrySubKey(key);
               return true;
           });
}

int RemoveIniItems(const UninstallProgress& progress) {
    return RemoveEach<IniKeyRecord>(NextIniKey, progress, [](const IniKeyRecord& key) {
        RemoveIniKey(key);
        return true;
    });
}
