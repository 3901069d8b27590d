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

namespace {

// Large enough for any counted entry the log reader hands out.
constexpr size_t EntrySize = 1024;

void RemoveSourceFiles() {
    char entry[EntrySize];
    while (NextLogItem("SourceFile", entry)) {
        TrimRight(entry);
        const size_t length = strlen(entry);
        // A trailing "*" marks a file that was there before and was replaced: it stays.
        if (IsBlank(entry) || entry[length - 1] == '*' || !IsAbsolutePath(entry)) continue;
        if (FileExists(entry)) DeleteFileA(entry);
    }
}

int IsOne(const char* field) { return strcmp(field, "1") == 0; }

void RemoveMiscFiles() {
    char entry[EntrySize];
    while (NextLogItem("MiscFile", entry)) {
        if (IsBlank(entry)) continue;
        char path[PathBufferSize], mode[PathBufferSize], shared[PathBufferSize];
        char server[PathBufferSize], typeLibrary[PathBufferSize], replaced[PathBufferSize];
        char* const fields[] = {path, mode, shared, server, typeLibrary, replaced};
        SplitFields(entry, fields, 6);
        Trim(path);
        if (IsBlank(path) || !IsAbsolutePath(path)) continue;
        if (IsOne(shared)) DecrementSharedCount(path);
        if (!FileExists(path)) continue;
        if (IsOne(server)) UnregisterServerFile(path);
        if (IsOne(typeLibrary)) UnregisterTypeLibraryFile(path);
        // A replaced file was someone's before; it stays, only our registrations are undone.
        if (!IsOne(replaced)) DeleteFileA(path);
    }
}

void RemoveFolders() {
    char windows[MAX_PATH];
    if (GetWindowsDirectoryA(windows, sizeof windows) != 0) SetCurrentDirectoryA(windows);
    char entry[EntrySize];
    // The log gives folders newest first, so inner folders go before the ones that hold them.
    while (NextLogItem("Folder", entry)) RemoveFolder(entry);
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
