// Bootstrap mode: the user ran a package (or the bare module). Tell the bare module and a truncated
// package apart from a real package by the size of the file.
#include <windows.h>

#include "archive/format.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/scoped_handles.h"
#include "startup/modes.h"
#include "common/process_state.h"

namespace {

// Low 32 bits of the file's size; 0 when it cannot be found.
DWORD FileSizeOf(const char* path) {
    WIN32_FIND_DATAA found;
    // Only the entry is wanted: the search ends with this line.
    if (!ScopedFind(FindFirstFileA(path, &found)).valid()) return 0;
    return found.nFileSizeLow;
}

}  // namespace

int RunBootstrapMode() {
    DWORD length = GetModuleFileNameA(nullptr, PackagePath, sizeof PackagePath);
    if (length == 0 || length >= sizeof PackagePath) PackagePath[0] = '\0';

    DWORD size = FileSizeOf(PackagePath);
    if (size == ModuleSize) {
        ShowMessage(nullptr, EnglishText::BareModule, MB_OK | MB_ICONWARNING);
        return 0;
    }
    if (size < ModuleSize) {
        ShowMessage(nullptr, EnglishText::PackageDamaged, MB_OK | MB_ICONERROR);
        return -1;
    }
    return CopyModuleAndRun() ? 0 : -1;
}
