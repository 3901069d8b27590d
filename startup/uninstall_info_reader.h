// Turning the uninstall information file back into the working files of an uninstall run.
#pragma once

// After the head of UninstallInfoPath was checked: reserves the uninstall run's working files, extracts
// the installation log and the file list, loads the wizard bitmap (a damaged one only warns) and the
// log's counters, and opens the file list and the handled-file list. 1 when the uninstallation can go
// on; 0 after the initialisation or the damaged-file message, with nothing of the run left behind.
int ReadUninstallInfo();
