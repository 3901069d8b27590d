// The two halves of the restart test (scripts/wine-restart-test.sh): "arrange" replaces a file that is
// in use at the next restart; after the Wine session has ended and started again, "check" finds the new
// content in place. Exit code 0 when the half succeeded; what it saw goes to standard output. With
// "system" the file is in the system folder, which a 32-bit program in the 64-bit world sees redirected.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "files/restart_operations.h"
#include "script/path_variables.h"
#include "common/platform.h"
#include "tests/support/archive_fixture.h"

namespace {

std::string Folder = "C:\\kp-restart";
std::string TargetPath, ReplacementPath;
const char* Target = nullptr;
const char* Replacement = nullptr;

int Arrange() {
    GetWindowsDirectoryA(WinDir, sizeof WinDir);
    CreateDirectoryA(Folder.c_str(), nullptr);
    testsupport::SetFileBytes(Target, "old content");
    testsupport::SetFileBytes(Replacement, "new content");
    // In use: open without sharing for writing, as a loaded library would be.
    HANDLE inUse = CreateFileA(Target, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const int arranged = ReplaceOnRestart(Target, Replacement);
    const bool stillOld = testsupport::FileBytes(Target) == "old content";
    CloseHandle(inUse);
    std::printf("arrange: family %s, arranged %d, target unchanged %d\n", IsNtPlatform() ? "NT" : "95",
                arranged, stillOld);
    return arranged && stillOld ? 0 : 1;
}

int Check() {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string content = testsupport::FileBytes(Target);
    const bool replaced = content == "new content";
    const bool sourceGone = GetFileAttributesA(Replacement) == INVALID_FILE_ATTRIBUTES;
    const bool bakExists =
        GetFileAttributesA((std::string(windows) + "\\WININIT.BAK").c_str()) != INVALID_FILE_ATTRIBUTES;
    const bool iniGone =
        GetFileAttributesA((std::string(windows) + "\\WININIT.INI").c_str()) == INVALID_FILE_ATTRIBUTES;
    std::printf("check: content '%s', source gone %d, WININIT.BAK %d, WININIT.INI gone %d\n", content.c_str(),
                sourceGone, bakExists, iniGone);
    const bool family95 = !IsNtPlatform();
    return replaced && sourceGone && (!family95 || (bakExists && iniGone)) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[2], "system") == 0) {
        char system[MAX_PATH];
        GetSystemDirectoryA(system, sizeof system);
        Folder = system;
    }
    TargetPath = Folder + "\\kp-in-use.dll";
    ReplacementPath = Folder + "\\_kpnew.tmp";
    Target = TargetPath.c_str();
    Replacement = ReplacementPath.c_str();
    const bool known = argc == 2 || (argc == 3 && std::strcmp(argv[2], "system") == 0);
    if (known && std::strcmp(argv[1], "arrange") == 0) return Arrange();
    if (known && std::strcmp(argv[1], "check") == 0) return Check();
    std::fprintf(stderr, "usage: restart_probe arrange|check [system]\n");
    return 2;
}
