// Definitions of the working-file names and the file list handle of a run.
#include "startup/working_files.h"

char InstallLogFile[260] = "";
char FileListFile[260] = "";
HANDLE FileListHandle = INVALID_HANDLE_VALUE;
char EndInstallFile[260] = "";
