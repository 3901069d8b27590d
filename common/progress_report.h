// What the file-phase worker has to show on the progress page: the item it works on and the bytes done
// since the page last looked. The worker reports without waiting for the page, and the page takes the
// reports on a timer. A message sent to the page for every block kept the user-interface thread busy
// with sent messages, which come before painting and input: on a busy machine the page neither painted
// nor saw a click on Abort while a large file was copied.
#pragma once

#include <windows.h>

// Worker side. Each first waits while the abort question holds the worker (WaitWhileWorkerHeld) and
// reports nothing once the abort flag is set. The text is copied, bounded to 259 bytes.
void ReportItem(const char* text);
void ReportProgress(DWORD bytes);

// Page side, on the user-interface thread. 1 with the newest item in buffer (260 bytes) when one was
// reported since the last call, else 0.
int TakeReportedItem(char* buffer);
// The bytes reported since the last call (wrapping like the 32-bit counter it feeds).
DWORD TakeReportedProgress();
// Forgets whatever is pending; called when a file phase starts.
void ClearReports();
