// The ways to uninstall: the entry in the system's list of installed programs and the uninstall
// shortcut, both starting the module copy with -U; and the registry bookkeeping of the uninstaller.
// Every routine here names its entry and RunOnce value by Title and does nothing for a title that is
// blank once blanks and backslashes are trimmed, which would name the list itself or a value without a
// name.
#pragma once

// Chooses UninstallInfoPath in the install folder, logs the uninstall type and registers what
// [Uninstall] asks for. 1 when everything asked for was registered, also when nothing was.
int RegisterUninstall();

// Removes what an earlier installation of the same title may have left: the RunOnce value, and the
// entry (a key without subkeys). Always 1: nothing of it is worth a warning.
int DeleteRunOnceValue();
int DeleteUninstallEntry();

// The entry's list of folders to remove after the next restart: one more folder, or the whole list gone.
void RecordFolderForRestart(const char* folder);
void ClearFolderList();

// Sets the title's RunOnce value: the command the system runs once at its next start. 1 when written.
int SetRunOnceCommand(const char* command);

// After an uninstallation that needs a restart: the -u run is put in RunOnce and the product leaves the
// list of installed programs, its entry keeping only the folder list.
void ScheduleUninstallAfterRestart();
// The -u run: removes the listed folders that are empty by now, then the entry.
void FinishUninstallAfterRestart();
