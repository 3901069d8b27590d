// The working files of a run: where they are made, under which names, and their removal.
#pragma once

#include <windows.h>

#include "common/working_files_state.h"

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
