// Removing installed files: the rollback of an aborted installation.
#pragma once

#include <windows.h>

// Winds the progress bar back, removes every file and folder installed so far, clears RestartNeeded
// and posts UM_ROLLBACK_DONE.
DWORD WINAPI RollbackWorker(LPVOID);
