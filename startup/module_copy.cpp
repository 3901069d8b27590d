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

DWORD U32At(const unsigned char* at) { return at[0] | at[1] << 8 | at[2] << 16 | DWORD(at[3]) << 24; }

void SetU32At(unsigned char* at, DWORD value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> 8 * i);
}

// A signed package's header names the signature, which follows the archive. The copy ends with the
// module: it becomes the unsigned image again, without the certificate table and with the checksum of
// its own bytes, instead of a file whose signature is broken.
void Unsign(unsigned char* image) {
    const DWORD header = U32At(image + 0x3C);
    if (header > ModuleSize - 256 || U32At(image + header) != 0x00004550) return;
    unsigned char* optional = image + header + 24;
    // A 32-bit image with the certificate entry among its data directories, pointing past the module.
    if ((optional[0] | optional[1] << 8) != 0x10B || U32At(optional + 92) <= 4 ||
        U32At(optional + 128) < ModuleSize)
        return;
    SetU32At(optional + 128, 0);
    SetU32At(optional + 132, 0);
    SetU32At(optional + 64, 0);
    DWORD sum = 0;
    for (DWORD i = 0; i < ModuleSize; i += 2) {
        sum += image[i] | image[i + 1] << 8;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    SetU32At(optional + 64, sum + ModuleSize);
}

// Writes the first ModuleSize bytes of PackagePath to the open copy. 1 on success.
int CopyModuleBytes(HANDLE copy) {
    ScopedFile source(
        CreateFileA(PackagePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!source.valid()) return 0;
    unsigned char* image = static_cast<unsigned char*>(malloc(ModuleSize));
    const int read = image != nullptr && ReadExact(source.get(), image, ModuleSize);
    if (read) Unsign(image);
    const int copied = read && WriteExact(copy, image, ModuleSize);
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
