// File removal for the uninstaller.
#include "files/file_removal.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "common/file_system.h"
#include "common/paths.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "common/uninstall_state.h"
#include "common/wizard_state.h"
#include "common/working_files_state.h"
#include "files/delete_questions.h"
#include "files/restart_operations.h"
#include "items/uninstall_registration.h"

namespace {

// The handled paths, an open-addressing table keyed by the path's hash in lower case.
struct HandledEntry {
    DWORD hash;
    char* path;  // null: free slot
};
HandledEntry* Handled = nullptr;
DWORD HandledSlots = 0;  // a power of two, or 0
DWORD HandledCount = 0;

DWORD HashIgnoringCase(const char* path) {
    DWORD hash = 2166136261u;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(path); *c != '\0'; ++c) {
        const DWORD lower =
            reinterpret_cast<DWORD_PTR>(CharLowerA(reinterpret_cast<LPSTR>(static_cast<DWORD_PTR>(*c)))) &
            0xFF;
        hash = (hash ^ lower) * 16777619u;
    }
    return hash;
}

HandledEntry* FindSlot(HandledEntry* table, DWORD slots, DWORD hash, const char* path) {
    for (DWORD i = hash & (slots - 1);; i = (i + 1) & (slots - 1)) {
        HandledEntry& entry = table[i];
        if (entry.path == nullptr || (entry.hash == hash && lstrcmpiA(entry.path, path) == 0)) return &entry;
    }
}

// Keeps the table at most half full; 0 when memory runs out.
int MakeRoom() {
    if ((HandledCount + 1) * 2 <= HandledSlots) return 1;
    const DWORD slots = HandledSlots == 0 ? 1024 : HandledSlots * 2;
    HandledEntry* table = static_cast<HandledEntry*>(calloc(slots, sizeof(HandledEntry)));
    if (table == nullptr) return 0;
    for (DWORD i = 0; i < HandledSlots; ++i)
        if (Handled[i].path != nullptr)
            *FindSlot(table, slots, Handled[i].hash, Handled[i].path) = Handled[i];
    free(Handled);
    Handled = table;
    HandledSlots = slots;
    return 1;
}

// One record of the list file: the length in one byte, then the path without terminator.
void AppendRecord(const char* path) {
    if (HandledListHandle == INVALID_HANDLE_VALUE) return;
    const size_t length = strlen(path);
    if (length > 255) return;
    unsigned char record[256];
    record[0] = static_cast<unsigned char>(length);
    memcpy(record + 1, path, length);
    SetFilePointer(HandledListHandle, 0, nullptr, FILE_END);
    WriteExact(HandledListHandle, record, static_cast<DWORD>(length + 1));
}

void DeleteOrSchedule(const char* path) {
    if (!DeleteFileForce(path)) DeleteOnRestart(path);
}

int ShouldDeleteUnknown(const char* path) {
    if (UninstallType == 1) return 1;
    if (UninstallType != 0) return 0;
    const int answer = SweepAnswer;
    if (answer == 0) return AskDeleteUnknownFile(path);
    return answer == 1;
}

int IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

}  // namespace

int DeleteFileForce(const char* path) {
    if (!FileExists(path)) return 1;
    const DWORD attributes = GetAttributesQuiet(path);
    SetAttributesQuiet(path, FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path)) return 1;
    SetAttributesQuiet(path, attributes);
    return 0;
}

int CheckHandled(const char* path) {
    const DWORD hash = HashIgnoringCase(path);
    if (HandledSlots != 0 && FindSlot(Handled, HandledSlots, hash, path)->path != nullptr) return 1;
    AppendRecord(path);
    if (MakeRoom()) {
        const size_t size = strlen(path) + 1;
        if (char* copy = static_cast<char*>(malloc(size))) {
            memcpy(copy, path, size);
            *FindSlot(Handled, HandledSlots, hash, path) = HandledEntry{hash, copy};
            ++HandledCount;
        }
    }
    return 0;
}

void ForgetHandledFiles() {
    for (DWORD i = 0; i < HandledSlots; ++i) free(Handled[i].path);
    free(Handled);
    Handled = nullptr;
    HandledSlots = HandledCount = 0;
}

void SweepFolder(const char* folder) {
    // A folder too long for "\*.*" after it cannot be listed; a cut pattern could name something else.
    if (folder == nullptr || strlen(folder) + 4 >= PathBufferSize) return;
    char pattern[PathBufferSize];
    CopyBounded(sizeof pattern, pattern, JoinPath(folder, "*.*"));
    WIN32_FIND_DATAA found;
    // The search ends with this statement: an open search would keep the folder from going.
    if (ScopedFind search(FindFirstFileA(pattern, &found)); search.valid()) {
        do {
            // The abort question holds the sweep too, before its next file.
            WaitWhileWorkerHeld();
            if (UninstallAbort) break;
            if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0) continue;
            if (strlen(folder) + 1 + strlen(found.cFileName) >= PathBufferSize) continue;
            char entry[PathBufferSize];
            CopyBounded(sizeof entry, entry, JoinPath(folder, found.cFileName));
            // A link leads out of the installation: what it points to is not ours to sweep.
            if (IsLink(found.dwFileAttributes)) continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                SweepFolder(entry);
            } else if (!CheckHandled(entry) && ShouldDeleteUnknown(entry)) {
                DeleteOrSchedule(entry);
            }
        } while (FindNextFileA(search.get(), &found));
    }
    if (UninstallAbort) return;
    if (!RemoveFolder(folder) && RestartNeeded) RecordFolderForRestart(folder);
}

void RemoveHelpCompanions(const char* path) {
    for (const char* extension : {".GID", ".FTS"}) {
        char companion[PathBufferSize];
        CopyBounded(sizeof companion, companion, path);
        ReplaceExtension(companion, extension);
        if (FileExists(companion) && !DeleteFileForce(companion) && !CheckHandled(companion))
            DeleteOnRestart(companion);
    }
}
