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
#include "startup/child_processes.h"
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

int CopyModuleAndRun() {
    char windows[PathBufferSize];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows) return FailToInitialize();
    char copyPath[PathBufferSize];
    CopyBounded(sizeof copyPath, copyPath, JoinPath(windows, "KPinst27.exe"));

    HANDLE copy = CreateFileA(copyPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (copy == INVALID_HANDLE_VALUE) {
        // A copy that is running or write-protected is started as it is.
        const DWORD error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return FailToInitialize();
    } else {
        const int copied = CopyModuleBytes(copy);
        CloseHandle(copy);
        if (!copied) {
            DeleteFileA(copyPath);  // never leave a partial module behind
            return FailToInitialize();
        }
    }

    char arguments[PathBufferSize] = "-I";
    AppendBounded(sizeof arguments, arguments, PackagePath);
    if (!RunProgram(copyPath, arguments, 0)) return FailToInitialize();
    return 1;
}
