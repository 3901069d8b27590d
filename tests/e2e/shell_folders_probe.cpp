// Started by the end-to-end tests under either family of Windows: resolves the shell folders for an
// install information that asks for the all-users profile, and writes the platform family and the
// desktop folder it got to the file named by KP_PROBE_OUT.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "script/path_variables.h"
#include "common/platform.h"
#include "common/process_state.h"
#include "tests/support/archive_fixture.h"

int main() {
    const char* out = std::getenv("KP_PROBE_OUT");
    if (out == nullptr) return 2;
    const std::string info = std::string(out) + ".ini";
    testsupport::SetFileBytes(info, "[Shortcut]\r\nCreateIconsInAllUsersProfile=1\r\n");
    lstrcpynA(InstallInfoFile, info.c_str(), sizeof InstallInfoFile);
    GetWindowsDirectoryA(WinDir, sizeof WinDir);
    ResolveShellFolders();
    testsupport::SetFileBytes(out, std::string(IsNtPlatform() ? "NT" : "95") + "|" + DeskTopDir);
    return 0;
}
