// The rollback after an aborted file phase: removes what the installation has copied and created so far.
#include <string.h>
#include <windows.h>

#include "common/file_system.h"
#include "common/paths.h"
#include "common/strings.h"
#include "files/file_facts.h"
#include "files/rollback.h"
#include "items/server_registration.h"
#include "script/install_log.h"
#include "script/log_records.h"

namespace {

void RemoveSourceFiles() {
    SourceFileRecord file;
    while (NextSourceFile(&file)) {
        // A replaced file was there before the installation: it stays.
        if (file.replaced || !IsAbsolutePath(file.path)) continue;
        if (FileExists(file.path)) DeleteFileA(file.path);
    }
}

void RemoveMiscFiles() {
    MiscFileRecord misc;
    while (NextMiscFile(&misc)) {
        if (IsBlank(misc.path) || !IsAbsolutePath(misc.path)) continue;
        if (misc.shared) DecrementSharedCount(misc.path);
        // Uninstall mode 2 (keep) is what a file left in place is logged with: it was there before the
        // installation, maybe another product's, and stays as it was, registrations included. A file the
        // package installed new with mode 2 stays too; the log cannot tell the two apart.
        if (misc.uninstallMode == 2 && !misc.replaced) continue;
        if (!FileExists(misc.path)) continue;
        if (misc.server) UnregisterServerFile(misc.path);
        if (misc.typeLibrary) UnregisterTypeLibraryFile(misc.path);
        // A replaced file was someone's before; it stays, only our registrations are undone.
        if (!misc.replaced) DeleteFileA(misc.path);
    }
}

void RemoveFolders() {
    char windows[MAX_PATH];
    if (GetWindowsDirectoryA(windows, sizeof windows) != 0) SetCurrentDirectoryA(windows);
    char folder[PathBufferSize];
    // The log gives folders newest first, so inner folders go before the ones that hold them.
    while (NextPath(PathKind::Folder, folder)) RemoveFolder(folder);
}

}  // namespace

void RollBackLoggedItems() {
    LoadLogCounter("SourceFile");
    LoadLogCounter("MiscFile");
    LoadLogCounter("Folder");
    RewindFileList();
    RemoveSourceFiles();
    RemoveMiscFiles();
    RemoveFolders();
}
