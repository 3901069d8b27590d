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

// A 32-bit program on 64-bit Windows sees the 32-bit system folder (SysWOW64) under the name of the
// system folder, but the moves arranged for the restart are made by the 64-bit system, which takes that
// name for its own folder: a path there is given by the folder's real name. Other paths stay as they are.
const char* AsTheRestartSeesIt(const char* path, char* buffer) {
    using Wow64Question = BOOL(WINAPI*)(HANDLE, PBOOL);
    using Wow64Folder = UINT(WINAPI*)(LPSTR, UINT);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto isWow64 =
        reinterpret_cast<Wow64Question>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    const auto wow64Folder = reinterpret_cast<Wow64Folder>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "GetSystemWow64DirectoryA")));
    BOOL wow64 = FALSE;
    char system[PathBufferSize], real[PathBufferSize];
    if (isWow64 == nullptr || wow64Folder == nullptr || !isWow64(GetCurrentProcess(), &wow64) || !wow64)
        return path;
    const UINT systemLength = GetSystemDirectoryA(system, sizeof system);
    const UINT realLength = wow64Folder(real, sizeof real);
    if (systemLength == 0 || systemLength >= sizeof system || realLength == 0 || realLength >= sizeof real ||
        CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, systemLength, system, systemLength) !=
            CSTR_EQUAL ||
        (path[systemLength] != '\\' && path[systemLength] != '\0'))
        return path;
    CopyBounded(PathBufferSize, buffer, real);
    AppendBounded(PathBufferSize, buffer, path + systemLength);
    return buffer;
}

}  // namespace

int ReplaceOnRestart(const char* target, const char* source) {
    if (IsNtPlatform()) {
        char realTarget[PathBufferSize], realSource[PathBufferSize];
        return MoveFileExA(AsTheRestartSeesIt(source, realSource), AsTheRestartSeesIt(target, realTarget),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    char ini[PathBufferSize];
    CopyBounded(sizeof ini, ini, WininitFile());
    return WininitReplace(ini, target, source);
}

void DeleteOnRestart(const char* path) {
    int arranged;
    if (IsNtPlatform()) {
        char real[PathBufferSize];
        arranged = MoveFileExA(AsTheRestartSeesIt(path, real), nullptr,
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT);
    } else {
        char ini[PathBufferSize];
        CopyBounded(sizeof ini, ini, WininitFile());
        arranged = WininitDelete(ini, path);
    }
    if (arranged) RestartNeeded = 1;
}
