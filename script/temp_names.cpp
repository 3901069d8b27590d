#include "script/temp_names.h"

#include <windows.h>

#include "common/working_files_state.h"
#include "script/path_variables.h"

int MakeTempName(char* buffer) {
    return GetTempFileNameA(GuardedFolder[0] ? GuardedFolder : TempFolder, "_kp", 0, buffer) != 0;
}
