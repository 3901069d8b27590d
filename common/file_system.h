// Quiet attribute tests, folder creation and removal, exact reads and writes (Win32, ANSI).
#pragma once

#include <windows.h>

// GetFileAttributesA on the path without its trailing backslash, with critical-error dialogs off, so that
// an empty floppy or CD drive shows nothing. INVALID_FILE_ATTRIBUTES when the path does not exist.
DWORD GetAttributesQuiet(const char* path);

// SetFileAttributesA the same way; 1 on success, else 0.
int SetAttributesQuiet(const char* path, DWORD attributes);

// 1 when the path exists and is not a folder / is a folder; else 0.
int FileExists(const char* path);
int FolderExists(const char* path);

// Removes an empty folder. A blank or relative path, or one that is not an existing folder, is left alone
// and gives 1. Otherwise the current folder becomes the Windows folder first (so that it never lies in the
// folder being removed) and the result is RemoveDirectoryA's: 0 when the folder is not empty.
int RemoveFolder(const char* path);

// Creates the missing folders of path one level per call, outer first. CreateFolderPath(path) starts,
// CreateFolderPath(nullptr) continues. Each call returns the folder it has just created, in an own buffer
// valid until the next call, or nullptr when no level is left to create or creating one failed.
// A path is taken as a folder: its last component is created too.
const char* CreateFolderPath(const char* path);

// ReadFile / WriteFile of count bytes: 1 only when the call succeeds and exactly count bytes moved.
int ReadExact(HANDLE file, void* buffer, DWORD count);
int WriteExact(HANDLE file, const void* buffer, DWORD count);

// Creates a new empty file "_kp????.tmp" in the folder of target and opens it for writing (others may
// read); its name goes to temporary, a PathBufferSize buffer. INVALID_HANDLE_VALUE when it cannot, with
// nothing left behind and the reason in GetLastError.
HANDLE CreateFileBeside(const char* target, char* temporary);

// Puts the complete file source in place of target, in the same folder: a replacing move on the NT
// family; the 95 family has none, so there target is deleted first. 1 on success; else 0 with the
// reason in GetLastError.
int MoveFileOver(const char* source, const char* target);

// 1 for the errors of a file that is in use or protected: access denied and sharing violation.
int IsInUseError(DWORD error);

// 1 when the drive the path lies on is removable or a CD-ROM drive, else 0.
int IsRemovableDrive(const char* path);

// Deletes the folder with everything in it: subfolders the same way, files with DeleteFileA (a read-only
// file, and so its folder, stays), then the folder with RemoveFolder. A junction or symbolic link, the
// folder itself included, is removed as a link and never entered: what it points to stays. Errors are
// ignored.
void DeleteFolderTree(const char* folder);
