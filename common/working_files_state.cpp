// Definitions of the working-file names and the handles open on them.
#include "common/working_files_state.h"

char GuardedFolder[260] = "";
HANDLE GuardedFolderHandle = INVALID_HANDLE_VALUE;
char InstallLogFile[260] = "";
char FileListFile[260] = "";
HANDLE FileListHandle = INVALID_HANDLE_VALUE;
char EndInstallFile[260] = "";
char HandledListFile[260] = "";
HANDLE HandledListHandle = INVALID_HANDLE_VALUE;
char ParkedUninstallInfo[260] = "";
