// The two halves of the restart test (scripts/wine-restart-test.sh): "arrange" replaces a file that is
// in use at the next restart; after the Wine session has ended and started again, "check" finds the new
// content in place. Exit code 0 when the half succeeded; what it saw goes to standard output.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "files/restart_operations.h"
#include "script/path_variables.h"
#include "common/platform.h"
#include "tests/support/archive_fixture.h"

namespace {

const char* const Target = "C:\\kp-restart\\in-use.dll";
const char* const Replacement = "C:\\kp-restart\\_kpnew.tmp";

int Arrange() {
    GetWindowsDirectoryA(WinDir, sizeof WinDir);
    CreateDirectoryA("C:\\kp-restart", nullptr);
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
    if (argc == 2 && std::strcmp(argv[1], "arrange") == 0) return Arrange();
    if (argc == 2 && std::strcmp(argv[1], "check") == 0) return Check();
    std::fprintf(stderr, "usage: restart_probe arrange|check\n");
    return 2;
}
