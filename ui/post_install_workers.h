// The post-install actions: the silent tool, and the finish page with what the user chose on it.
#pragma once

#include <windows.h>

#include <atomic>

// Runs the silent tool when the install information names one, and waits for its end.
void RunSilentTool();

// Waits a second, runs the silent tool when the install information names one, posts UM_TOOL_DONE.
DWORD WINAPI SilentToolWorker(LPVOID);

// Shows the finish page owned by the background window, carries out the chosen actions (neither in a
// silent run) and deletes the end-install information file; posts UM_FINISH_DONE unless FinishAfterRestart is
// set.
DWORD WINAPI FinishWorker(LPVOID);

// Set when FinishWorker runs in the run after a restart, where no background window waits for it.
// Written before the worker starts; read by it.
extern std::atomic<int> FinishAfterRestart;
