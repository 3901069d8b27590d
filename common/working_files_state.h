// The names of a run's working files and the handles open on them. Start-up names and opens them
// before any worker runs (PrepareInstallWorkFiles, the uninstall preparation) and removes them at the
// end of the mode; the log, the file phase, the registration and the pages read them on any thread.
#pragma once

#include <windows.h>

// Install and uninstall mode (temporary files of the run, names made by MakeTempName):
// On the NT family with administrator rights the working files live in a folder of their own inside the
// temporary folder, made anew for the run, that only administrators and SYSTEM may change: the user's
// other programs can write the temporary folder. Empty when the run works in the temporary folder.
extern char GuardedFolder[260];
// Open on GuardedFolder, without delete sharing, so that nobody can rename it and put another folder in
// its place while the run uses it; INVALID_HANDLE_VALUE when none.
extern HANDLE GuardedFolderHandle;
extern char InstallLogFile[260];  // the installation log, an INI file
extern char FileListFile[260];    // the file list, length-prefixed records
extern HANDLE FileListHandle;     // open on FileListFile for the whole run; INVALID_HANDLE_VALUE when none
extern char EndInstallFile[260];  // the end-install information file; only its name is reserved here

// Uninstall mode only:
extern char HandledListFile[260];      // names already dealt with in this run, length-prefixed records
extern HANDLE HandledListHandle;       // open on HandledListFile; INVALID_HANDLE_VALUE when none
extern char ParkedUninstallInfo[260];  // where the uninstall information file waits meanwhile
