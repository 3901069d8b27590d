// File-system routines on ANSI paths: quiet attributes, existence, folder removal and creation, exact I/O.
#include "common/file_system.h"

#include <string.h>

#include "common/paths.h"
#include "common/platform.h"
#include "common/scoped_handles.h"
#include "common/strings.h"

DWORD GetAttributesQuiet(const char* path) {
    char copy[PathBufferSize];
    CopyBounded(sizeof copy, copy, path);
    StripTrailingBackslash(copy);
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    DWORD attributes = GetFileAttributesA(copy);
    SetErrorMode(previousMode);
    return attributes;
}

int SetAttributesQuiet(const char* path, DWORD attributes) {
    char copy[PathBufferSize];
    CopyBounded(sizeof copy, copy, path);
    StripTrailingBackslash(copy);
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    BOOL done = SetFileAttributesA(copy, attributes);
    SetErrorMode(previousMode);
    return done ? 1 : 0;
}

int FileExists(const char* path) {
    DWORD attributes = GetAttributesQuiet(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int FolderExists(const char* path) {
    DWORD attributes = GetAttributesQuiet(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int RemoveFolder(const char* path) {
    if (IsBlank(path) || !IsAbsolutePath(path) || !FolderExists(path)) return 1;
    char folder[PathBufferSize];
    CopyBounded(sizeof folder, folder, path);
    Trim(folder);
    // A process cannot remove the folder it stands in.
    char windowsFolder[PathBufferSize];
    UINT length = GetWindowsDirectoryA(windowsFolder, sizeof windowsFolder);
    if (length > 0 && length < sizeof windowsFolder) SetCurrentDirectoryA(windowsFolder);
    return RemoveDirectoryA(folder) ? 1 : 0;
}

const char* CreateFolderPath(const char* path) {
    static char buffer[PathBufferSize];
    // Where the next level starts, or null when the enumeration is over.
    static char* position = nullptr;
    // The backslash cut off to return the last created folder, or null.
    static char* cut = nullptr;

    if (path != nullptr) {
        CopyBounded(sizeof buffer, buffer, path);
        AppendBackslash(buffer);
        char* p = buffer;
        if (buffer[0] != '\0' && buffer[1] == ':') {
            FixDriveRoot(buffer);
            p = buffer + 2;
            while (*p == '\\') ++p;
        } else if (buffer[0] == '\\' && buffer[1] == '\\') {
            while (*p == '\\') ++p;
            while (*p != '\0' && *p != '\\') ++p;  // server
            while (*p == '\\') ++p;
            FixDriveRootBounded(sizeof buffer - (p - buffer), p);
            while (*p != '\0' && *p != '\\') ++p;  // share
            while (*p == '\\') ++p;
        }
        position = p;
        cut = nullptr;
    } else if (cut != nullptr) {
        *cut = '\\';
        position = cut + 1;
        cut = nullptr;
    }

    while (position != nullptr) {
        char* end = strchr(position, '\\');
        if (end == nullptr) break;
        if (end == position) {
            // An empty level (a leading or doubled backslash) names no folder.
            position = end + 1;
            continue;
        }
        *end = '\0';
        if (FolderExists(buffer)) {
            *end = '\\';
            position = end + 1;
            continue;
        }
        if (!CreateDirectoryA(buffer, nullptr)) break;
        cut = end;
        return buffer;
    }
    position = nullptr;
    return nullptr;
}

int ReadExact(HANDLE file, void* buffer, DWORD count) {
    DWORD done = 0;
    return ReadFile(file, buffer, count, &done, nullptr) && done == count ? 1 : 0;
}

int WriteExact(HANDLE file, const void* buffer, DWORD count) {
    DWORD done = 0;
    return WriteFile(file, buffer, count, &done, nullptr) && done == count ? 1 : 0;
}

HANDLE CreateFileBeside(const char* target, char* temporary) {
    if (GetTempFileNameA(FolderOf(target), "_kp", 0, temporary) == 0) return INVALID_HANDLE_VALUE;
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        DeleteFileA(temporary);
        SetLastError(error);
    }
    return file;
}

// Chosen by family, never by trying: the 95 family's MoveFileExA is a stub that fails.
int MoveFileOver(const char* source, const char* target) {
    if (IsNtPlatform()) return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING) ? 1 : 0;
    if (!DeleteFileA(target) && GetLastError() != ERROR_FILE_NOT_FOUND) return 0;
    return MoveFileA(source, target) ? 1 : 0;
}

int IsInUseError(DWORD error) { return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION; }

int IsRemovableDrive(const char* path) {
    char root[PathBufferSize];
    CopyBounded(sizeof root, root, DriveOf(path));
    AppendBounded(sizeof root, root, "\\");
    const UINT type = GetDriveTypeA(root);
    return type == DRIVE_REMOVABLE || type == DRIVE_CDROM;
}

namespace {

// A junction or a symbolic link: removed as the link it is, never entered, so that an elevated run
// cannot be steered into deleting the tree a link points to.
bool RemovedAsLink(const char* path, DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveDirectoryA(path);
    else
        DeleteFileA(path);
    return true;
}

}  // namespace

void DeleteFolderTree(const char* folder) {
    if (folder != nullptr && RemovedAsLink(folder, GetFileAttributesA(folder))) return;
    // A folder too long for "\*" after it cannot be listed; a cut pattern could name something else.
    if (folder == nullptr || strlen(folder) + 2 >= PathBufferSize) {
        RemoveFolder(folder);
        return;
    }
    char pattern[PathBufferSize];
    CopyBounded(sizeof pattern, pattern, JoinPath(folder, "*"));
    WIN32_FIND_DATAA found;
    // The search ends with this statement: an open search would keep the folder from going.
    if (ScopedFind search(FindFirstFileA(pattern, &found)); search.valid()) {
        do {
            if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0) continue;
            // An entry whose full path does not fit would be cut into another name: leave it.
            if (strlen(folder) + 1 + strlen(found.cFileName) >= PathBufferSize) continue;
            char entry[PathBufferSize];
            CopyBounded(sizeof entry, entry, JoinPath(folder, found.cFileName));
            if (RemovedAsLink(entry, found.dwFileAttributes)) continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteFolderTree(entry);
            } else {
                DeleteFileA(entry);
            }
        } while (FindNextFileA(search.get(), &found));
    }
    RemoveFolder(folder);
}
