// The uninstallation proper: the installation log replayed section by section, newest entries first
// (source files in logging order), in the five phases the uninstall dialog shows.
#pragma once

// How a phase talks to whoever drives it. goOn is asked after each entry is taken and before it is
// removed: 0 stops the phase (the user aborted). itemDone follows each counted entry.
struct UninstallProgress {
    int (*goOn)();
    void (*itemDone)();
};

// Each returns 0 when it stopped at goOn, else 1. The log's counters are loaded and the file list is at
// its start before RemoveFiles.
int RemoveFiles(const UninstallProgress& progress);      // source files, INI files, misc files
int RemoveFolders(const UninstallProgress& progress);    // logged folders, swept when not empty
int RemoveShortcuts(const UninstallProgress& progress);  // shortcut files, then their shell folders
int RemoveRegistryItems(const UninstallProgress& progress);
int RemoveIniItems(const UninstallProgress& progress);

// The sum of the nine counters: the progress bar's total.
long CountLoggedItems();
