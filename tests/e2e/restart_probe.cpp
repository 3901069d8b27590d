// A probe, under either family of Windows; exit code 0 when its step succeeded. "arrange [system]" replaces
// a file in use (in the system folder, redirected for 32 bits in the 64-bit world) at the next restart,
// "check [system]" finds it replaced in the next Wine session (scripts/wine-restart-test.sh).
// "shell-folders" writes the family and the desktop folder got for all users to the file KP_PROBE_OUT.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/platform.h"
#include "common/process_state.h"
#include "files/restart_operations.h"
#include "script/path_variables.h"
#include "tests/support/archive_fixture.h"

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int Arrange(const char* target, const char* replacement) {
    GetWindowsDirectoryA(WinDir, sizeof WinDir);
    testsupport::SetFileBytes(target, "old content");
    testsupport::SetFileBytes(replacement, "new content");
    // In use: open without sharing for writing, as a loaded library would be.
    HANDLE inUse = CreateFileA(target, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const int arranged = ReplaceOnRestart(target, replacement);
    const bool stillOld = testsupport::FileBytes(target) == "old content";
    CloseHandle(inUse);
    std::printf("arrange: family %s, arranged %d, target unchanged %d\n", IsNtPlatform() ? "NT" : "95",
                arranged, stillOld);
    return arranged && stillOld ? 0 : 1;
}

int Check(const char* target, const char* replacement) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string content = testsupport::FileBytes(target);
    const bool sourceGone = !Exists(replacement), bakExists = Exists(std::string(windows) + "\\WININIT.BAK"),
               iniGone = !Exists(std::string(windows) + "\\WININIT.INI");
    std::printf("check: content '%s', source gone %d, WININIT.BAK %d, WININIT.INI gone %d\n", content.c_str(),
                sourceGone, bakExists, iniGone);
    return content == "new content" && sourceGone && (IsNtPlatform() || (bakExists && iniGone)) ? 0 : 1;
}

int ShellFolders() {
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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "shell-folders") == 0) return ShellFolders();
    const bool system = argc == 3 && std::strcmp(argv[2], "system") == 0;
    std::string folder = "C:\\kp-restart";
    if (system) {
        char path[MAX_PATH];
        GetSystemDirectoryA(path, sizeof path);
        folder = path;
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string target = folder + "\\kp-in-use.dll", replacement = folder + "\\_kpnew.tmp";
    if (argc == 2 || system) {
        if (std::strcmp(argv[1], "arrange") == 0) return Arrange(target.c_str(), replacement.c_str());
        if (std::strcmp(argv[1], "check") == 0) return Check(target.c_str(), replacement.c_str());
    }
    std::fprintf(stderr, "usage: restart_probe arrange|check [system] | shell-folders\n");
    return 2;
}
