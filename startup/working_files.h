// The working files of a run: where they are made, under which names, and their removal.
#pragma once

#include <windows.h>

// Install and uninstall mode (temporary files of the run, names made by MakeTempName):
extern char InstallLogFile[260];  // the installation log, an INI file
extern char FileListFile[260];    // the file list, length-prefixed records
extern HANDLE FileListHandle;     // open on FileListFile for the whole run; INVALID_HANDLE_VALUE when none
extern char EndInstallFile[260];  // the end-install information file; only its name is reserved here

// Uninstall mode only:
extern char HandledListFile[260];      // names already dealt with in this run, length-prefixed records
extern HANDLE HandledListHandle;       // open on HandledListFile; INVALID_HANDLE_VALUE when none
extern char ParkedUninstallInfo[260];  // where the uninstall information file waits meanwhile

// The temporary folder: TEMP, else TMP, else the Windows folder, created when missing. 1 when buffer
// (260 bytes) names an existing folder.
int FindTempFolder(char* buffer);
// A new empty file "_kp????.TMP" in TempFolder, its name in buffer (260 bytes); non-zero on success.
int MakeTempName(char* buffer);
// Install mode: fills the fixed folder variables, reserves the working files and creates WorkFolder,
// the file list and the copy buffer. 1 on success; 0 after showing the initialisation message.
int PrepareInstallWorkFiles();
// Install mode, at every exit after PrepareInstallWorkFiles: removes what it made (not EndInstallFile).
void RemoveInstallWorkFiles();
// Uninstall mode, after the uninstall dialog.
void RemoveUninstallWorkFiles();
// Deletes WININIT.BAK in the Windows folder (the 95 family leaves it after a restart).
void DeleteWininitBak();
