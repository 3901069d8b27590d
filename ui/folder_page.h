// The install folder page: where the application goes, and the space it needs.
#pragma once

#include <windows.h>

INT_PTR CALLBACK FolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// [General] SpaceNeeded as the install folder page read it; the total of the progress bar.
extern DWORD SpaceNeeded;

// The folder logic behind the page, apart from its controls.

// The checks of Install on the folder in InstallDir, in their order, each with its message owned by
// owner: made absolute, not remote, on a drive that exists (a removable one only when confirmed), created
// (asked first when typed), with room for SpaceNeeded. 1 when it exists, normalised in InstallDir.
int CheckInstallFolder(HWND owner, int typed);

// 1 when text, after leading blanks, opens with "{", blanks, "Reg" (case-sensitive), blanks and ":".
int IsRegForm(const char* text);

// Splits {Reg:root,key,value}subfolder;default into five PathBufferSize buffers, all cleared first: root
// and value trimmed, key and subfolder also without backslashes at their ends, default trimmed and without
// a trailing backslash unless a drive root. 1 when every separator was found; the fields after a missing
// one stay empty.
int ParseRegForm(const char* text, char* root, char* key, char* valueName, char* subfolder,
                 char* defaultFolder);

// The root a registry form names: 0 HKEY_CLASSES_ROOT to 3 HKEY_USERS; null for any other number.
HKEY RegFormRoot(const char* root);

// Free bytes from the drive's geometry: the cluster size in 32 bits times the free clusters in 64 bits,
// 0xFFFFFFFF when that reaches 4 GB.
DWORD CapFreeBytes(DWORD sectorsPerCluster, DWORD bytesPerSector, DWORD freeClusters);

// Free bytes on the drive of path, capped as CapFreeBytes does; 0 when they cannot be read.
DWORD DiskFreeBytes(const char* path);

// In place: trims, and removes a trailing backslash unless the folder is a drive root.
void NormaliseFolder(char* folder);

// The folder [General] DefInstallFolder proposes (setting as read) into folder, and the part of it that
// Browse appends to a chosen folder into defaultSubfolder; both PathBufferSize buffers.
void ProposeInstallFolder(const char* setting, char* folder, char* defaultSubfolder);

// Creates the missing levels of folder, outer first, logging each one made as a Folder item so that the
// rollback and the uninstaller remove it.
void CreateLoggedFolders(const char* folder);
