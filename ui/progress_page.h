// The progress page: starts the file phase and shows how far it has come.
#pragma once

#include <windows.h>

INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The rollback after an aborted file phase, on its own thread: winds the bar back, removes what was
// installed so far (RollBackLoggedItems), clears RestartNeeded and posts UM_ROLLBACK_DONE.
DWORD WINAPI RollbackWorker(LPVOID);
