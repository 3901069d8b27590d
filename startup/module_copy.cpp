// The module copy in the Windows folder: every later run (install, uninstall, after a restart) starts it.
#include <stdlib.h>
#include <windows.h>

#include "archive/format.h"
#include "common/file_system.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "common/child_processes.h"
#include "startup/modes.h"
#include "common/process_state.h"

namespace {

// Writes the first ModuleSize bytes of PackagePath to the open copy. 1 on success.
int CopyModuleBytes(HANDLE copy) {
    ScopedFile source(
        CreateFileA(PackagePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!source.valid()) return 0;
    void* image = malloc(ModuleSize);
    const int copied =
        image != nullptr && ReadExact(source.get(), image, ModuleSize) && WriteExact(copy, image, ModuleSize);
    free(image);
    return copied;
}

int FailToInitialize() {
    ShowMessage(nullptr, EnglishText::CantInitialize, MB_OK | MB_ICONERROR);
    return 0;
}

}  // namespace

// Every installed product's uninstall command runs this copy: a failed rewrite must leave it as it was.
int RefreshModuleCopy(const char* copyPath) {
    char written[PathBufferSize];
    int copied;
    {
        ScopedFile copy(CreateFileBeside(copyPath, written));
        // A Windows folder closed to us still holds a copy that can be started.
        if (!copy.valid()) return IsInUseError(GetLastError());
        copied = CopyModuleBytes(copy.get());
    }
    if (copied && MoveFileOver(written, copyPath)) return 1;
    const DWORD error = GetLastError();
    DeleteFileA(written);
    // A copy that is running or write-protected is started as it is.
    return copied && IsInUseError(error);
}

int CopyModuleAndRun(DWORD* exitCode) {
    char windows[PathBufferSize];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows) return FailToInitialize();
    char copyPath[PathBufferSize];
    CopyBounded(sizeof copyPath, copyPath, JoinPath(windows, ModuleCopyName));
    if (!RefreshModuleCopy(copyPath)) return FailToInitialize();

    char arguments[PathBufferSize] = "-I";
    AppendBounded(sizeof arguments, arguments, PackagePath);
    if (!RunProgram(copyPath, arguments, exitCode != nullptr, exitCode)) return FailToInitialize();
    return 1;
}
