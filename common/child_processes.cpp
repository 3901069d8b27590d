// Starting other programs, and the system restart at the end of a mode.
#include "common/child_processes.h"

#include <string.h>
#include <windows.h>

#include "common/file_system.h"
#include "common/paths.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "common/platform.h"

namespace {

// The path without one pair of enclosing double quotes, which an author may have written around it.
void Unquote(char* path) {
    Trim(path);
    const size_t length = strlen(path);
    if (length >= 2 && path[0] == '"' && path[length - 1] == '"') {
        memmove(path, path + 1, length - 2);
        path[length - 2] = '\0';
    }
}

}  // namespace

int RunProgram(const char* program, const char* arguments, int wait, DWORD* exitCode) {
    constexpr size_t CommandLineSize = 520;
    char commandLine[CommandLineSize];
    char path[PathBufferSize];
    CopyBounded(sizeof path, path, program);
    Unquote(path);
    // QuotePath works within a path buffer; the command line then grows to its own size.
    char quoted[PathBufferSize];
    CopyBounded(sizeof quoted, quoted, FileExists(path) ? path : FileNameOf(path));
    QuotePath(quoted);
    CopyBounded(sizeof commandLine, commandLine, quoted);
    AppendBounded(sizeof commandLine, commandLine, " ");
    AppendBounded(sizeof commandLine, commandLine, arguments);

    char folder[PathBufferSize];
    CopyBounded(sizeof folder, folder, FolderOf(path));
    const char* workingFolder = FolderExists(folder) ? folder : nullptr;

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, workingFolder, &startup,
                        &process))
        return 0;
    ScopedHandle started(process.hProcess), thread(process.hThread);
    if (!wait) return 1;
    WaitForSingleObject(started.get(), INFINITE);
    if (exitCode != nullptr && !GetExitCodeProcess(started.get(), exitCode)) *exitCode = 0;
    return 1;
}

int RestartSystem() {
    if (IsNtPlatform()) {
        ScopedHandle token;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()))
            return 0;
        TOKEN_PRIVILEGES privileges = {};
        LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        SetLastError(0);
        AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
        const DWORD error = GetLastError();
        // ERROR_NOT_ALL_ASSIGNED: the user does not hold the privilege.
        if (error != 0) return 0;
    }
    return ExitWindowsEx(EWX_REBOOT, 0) ? 1 : 0;
}
