// The {Name} path variables of the install information and the shell folders behind some of them.
// Every variable is a 260-byte buffer, empty until it is set; folders carry no trailing backslash except
// a drive root. They live for the whole of install mode.
#pragma once

#include <windows.h>

extern char WinDrive[260];          // {WinDrive}: DriveOf the Windows folder
extern char WinDir[260];            // {WinDir}: the Windows folder
extern char WinSysDir[260];         // {WinSysDir}: the system folder
extern char ProgramFilesDir[260];   // {ProgramFiles}
extern char CommonFilesDir[260];    // {CommonFiles}
extern char InstallDrive[260];      // {InstallDrive}: DriveOf the install folder, once accepted
extern char InstallDir[260];        // {InstallDir}: the install folder (the install folder page)
extern char InstallFileDrive[260];  // {InstallFileDrive}: DriveOf {InstallFileDir}
extern char InstallFileDir[260];    // {InstallFileDir}: the folder of the package file
extern char TempFolder[260];        // {TempDir}: the run's temporary folder
extern char WorkFolder[260];        // {UserTempDir}: the run's own folder inside TempFolder
extern char DeskTopDir[260];        // {DeskTop}
extern char StartMenuDir[260];      // {StartMenu}
extern char ProgramMenuDir[260];    // {ProgramMenu}
extern char StartupMenuDir[260];    // {StartupMenu}
extern char QuickLaunchDir[260];    // {QuickLaunch}
extern char SendToDir[260];         // {SendTo}

// Expands every variable in text (a 260-byte buffer) in place, bounded to 259 characters. Non-zero when
// one of the folder variables {WinDrive} to {UserTempDir} occurred; a blank text is left alone (0).
int ExpandPathVariables(char* text);
// Expands only the six shell-folder variables.
void ExpandShellFolders(char* text);
// One pass replacing token (case-sensitive) by value; never leaves a doubled backslash after a value
// that ends with one. 1 when the token occurred.
int ReplaceToken(char* text, const char* token, const char* value);

// Sets the six shell-folder variables: the all-users folders on the NT family when the install
// information asks for them, the user's otherwise.
void ResolveShellFolders();
void ResolveProgramFiles();
void ResolveCommonFiles();
// The two lookups behind ResolveShellFolders; 1 on success, the folder created when missing.
int GetSpecialFolder(int folderId, char* buffer);
int ReadShellFolderFromRegistry(HKEY root, const char* valueName, char* buffer);
