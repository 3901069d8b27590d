// The file phase of the installation: every remaining member of the package installed in order.
#pragma once

#include <windows.h>

// The work of the progress page's worker: installs the source-folder and misc members and logs them;
// 1 done or aborted, 0 failed.
int RunFilePhase();

// The source-folder members into the install folder: 1 done (or aborted), 0 failed. Leaves the reader on
// the first member that is not one of them.
int InstallSourceFolderFiles();
// The misc members as their MiscFile entries say: 1 done (or aborted), 0 failed.
int InstallMiscFiles();
