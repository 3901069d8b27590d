// Removing what an installation left: single files, the handled-file list of an uninstall run, the
// sweep of a logged folder that is not empty, and the index files the help system makes.
#pragma once

// Deletes the file whatever its attributes. 1 when it is gone, also when it never existed or the path
// names a folder (which stays); 0 when it could not be deleted, its attributes put back.
int DeleteFileForce(const char* path);

// 1 when the path (in any case) was already dealt with in this run; otherwise it is added to the
// handled-file list (HandledListHandle, when open) and 0 is returned. An index in memory answers, so
// the cost does not grow with the list.
int CheckHandled(const char* path);
// Empties the index; the next uninstall run starts with an empty list file too.
void ForgetHandledFiles();

// A logged folder that could not be removed: its files that are not on the handled-file list are
// deleted, asked about or kept as UninstallType and SweepAnswer say (deleted at the restart when in
// use), sub-folders alike, then the folder is removed; one that stays while a restart is pending is
// recorded for removal after it. A linked folder is never entered. Stops at UninstallAbort.
void SweepFolder(const char* folder);

// For a help file: deletes the .GID and .FTS files beside it, at the restart when they are in use.
void RemoveHelpCompanions(const char* path);
