// State of an uninstall run that the uninstall dialog, its worker and the file questions share.
#pragma once

#include <atomic>

// Set when the user aborts the uninstallation (the dialog's button or a file question's Abort) or the
// uninstall tool vetoes it. Read by the worker before every step and by the folder sweep before every
// entry; once set, nothing more is removed.
extern std::atomic<int> UninstallAbort;

// [General] UninstallType of the installation log, loaded by the worker: what happens to a logged folder
// that is not empty. 0 sweep it and ask about each unknown file, 1 sweep it deleting them, 2 leave it.
extern int UninstallType;

// Answers for all later questions of one kind: 0 ask, 1 delete all, -1 keep all. Set by the "No more
// confirmation." box of the shared-file and the unknown-file question, on the worker's thread.
extern std::atomic<int> SharedFileAnswer;
extern std::atomic<int> SweepAnswer;
