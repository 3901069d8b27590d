// The uninstall worker: runs the uninstall tool, then the five phases, reporting to the uninstall dialog
// (CurrentPage), and ends with the product's entry removed or its clean-up after the restart arranged.
#pragma once

#include <windows.h>

// The sequence itself, on the calling thread: -1 when the tool vetoed it, 0 when it was aborted, 1 when
// it completed (with a restart still needed when RestartNeeded is set).
int RunUninstallation();

// Thread procedure; posts UM_UNINSTALL_DONE to the dialog at its end, with UninstallAbort set when the
// run was aborted or the tool vetoed it.
DWORD WINAPI UninstallWorker(LPVOID);

// The uninstall tool of the log ([UninstallSilentTool] Path and Arg), run and waited for: 0 when it
// exits with a code other than 0, which vetoes the uninstallation; 1 when it allows it, when there is
// none, or when it cannot be started.
int RunUninstallTool();
