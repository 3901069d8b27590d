// Replacing and deleting files at the next restart, by the mechanism of the platform family.
#include "files/restart_operations.h"

#include <windows.h>

#include "common/paths.h"
#include "common/strings.h"
#include "files/wininit.h"
#include "common/platform.h"
#include "common/wizard_state.h"

namespace {

// WININIT.INI lives in the Windows folder, where the system looks for it at start.
const char* WininitFile() {
    char windows[PathBufferSize];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows) windows[0] = '\0';
    return JoinPath(windows, "WININIT.INI");
}

}  // namespace

int ReplaceOnRestart(const char* target, const char* source) {
    if (IsNtPlatform())
        return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT);
    char ini[PathBufferSize];
    CopyBounded(sizeof ini, ini, WininitFile());
    return WininitReplace(ini, target, source);
}

void DeleteOnRestart(const char* path) {
    int arranged;
    if (IsNtPlatform()) {
        arranged = MoveFileExA(path, nullptr, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT);
    } else {
        char ini[PathBufferSize];
        CopyBounded(sizeof ini, ini, WininitFile());
        arranged = WininitDelete(ini, path);
    }
    if (arranged) RestartNeeded = 1;
}
