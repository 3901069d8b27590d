// Bootstrap mode: the user ran a package (or the bare module). Tell the bare module and a truncated
// package apart from a real package by the size of the file.
#include <windows.h>

#include "archive/format.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/process_state.h"
#include "common/scoped_handles.h"
#include "common/unattended_switches.h"
#include "startup/modes.h"

namespace {

// Low 32 bits of the file's size; 0 when it cannot be found.
DWORD FileSizeOf(const char* path) {
    WIN32_FIND_DATAA found;
    // Only the entry is wanted: the search ends with this line.
    if (!ScopedFind(FindFirstFileA(path, &found)).valid()) return 0;
    return found.nFileSizeLow;
}

}  // namespace

int FindOwnPackage() {
    DWORD length = GetModuleFileNameA(nullptr, PackagePath, sizeof PackagePath);
    if (length == 0 || length >= sizeof PackagePath) PackagePath[0] = '\0';
    DWORD size = FileSizeOf(PackagePath);
    if (size == ModuleSize) return 0;
    return size < ModuleSize ? -1 : 1;
}

int RunBootstrapMode(const char* commandLine) {
    UnattendedSwitches switches;
    char problem[260];
    if (ReadUnattendedSwitches(commandLine, &switches, problem) != SwitchesRead::NotSilent)
        return RunUnattended(commandLine);

    switch (FindOwnPackage()) {
        case 0:
            ShowMessage(nullptr, EnglishText::BareModule, MB_OK | MB_ICONWARNING);
            return 0;
        case -1:
            ShowMessage(nullptr, EnglishText::PackageDamaged, MB_OK | MB_ICONERROR);
            return -1;
        default:
            return CopyModuleAndRun() ? 0 : -1;
    }
}
