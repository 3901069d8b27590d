// The file phase of the installation: every remaining member of the package installed in order.
#pragma once

#include <windows.h>

// The worker the progress page starts: installs the source-folder and misc members, logs them, and
// reports UM_FILES_DONE (1 done or aborted, 0 failed) to the current page.
DWORD WINAPI FilePhaseWorker(LPVOID);
