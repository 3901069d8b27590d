// The working files of a run: where they are made, under which names, and their removal.
#pragma once

#include <windows.h>

#include "common/working_files_state.h"
#include "script/temp_names.h"

// The temporary folder: TEMP, else TMP, else the Windows folder, created when missing. 1 when buffer
// (260 bytes) names an existing folder.
int FindTempFolder(char* buffer);
// After FindTempFolder, before the first MakeTempName of a run: on the NT family with administrator
// rights makes GuardedFolder, a new folder "_kp" and eight hexadecimal digits (from seed and a counter)
// in TempFolder, full control for administrators and SYSTEM only, and opens GuardedFolderHandle on it.
// A name that exists in any form is passed over, never used. Elsewhere GuardedFolder stays empty.
// 1 on success or when no folder is needed; 0 when it cannot be made.
int MakeGuardedFolder(DWORD seed);
// Closes GuardedFolderHandle and removes GuardedFolder when it is empty; GuardedFolder is then empty.
void RemoveGuardedFolder();
// Install mode: fills the fixed folder variables, makes the guarded folder, reserves the working files
// and creates WorkFolder, the file list and the copy buffer. 1 on success; 0 after showing the
// initialisation message.
int PrepareInstallWorkFiles();
// Install mode, at every exit after PrepareInstallWorkFiles: removes what it made (not EndInstallFile),
// then the guarded folder unless something is left in it. With a restart pending the end-install
// information stays there under the path written to RunOnce, and so does the folder: the run after the
// restart deletes the file and then removes the folder (FolderOf EndInstallFile, when it is a "_kp"
// folder of administrators and SYSTEM), after checking that it still is one before it reads the file.
void RemoveInstallWorkFiles();
// Uninstall mode, after the uninstall dialog; the guarded folder goes last.
void RemoveUninstallWorkFiles();
// Deletes WININIT.BAK in the Windows folder (the 95 family leaves it after a restart).
void DeleteWininitBak();
