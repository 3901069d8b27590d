// The working files of install and uninstall mode, and the temporary folder they live in.
#include "startup/working_files.h"

#include "script/leading_members.h"
#include "common/file_system.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/strings.h"
#include "script/path_variables.h"
#include "script/settings.h"
#include "common/process_state.h"

namespace {

// A candidate for the temporary folder: usable when it exists or can be made with its parents.
int UsableFolder(char* folder) {
    StripTrailingBackslash(folder);
    if (IsBlank(folder)) return 0;
    if (FolderExists(folder)) return 1;
    if (CreateFolderPath(folder) != nullptr) {
        while (CreateFolderPath(nullptr) != nullptr) {
        }
    }
    return FolderExists(folder);
}

int FailToInitialize() {
    ShowMessage(nullptr, EnglishText::CantInitialize, MB_OK | MB_ICONERROR);
    return 0;
}

void CloseAndDelete(HANDLE* handle, const char* path) {
    if (*handle != INVALID_HANDLE_VALUE) CloseHandle(*handle);
    *handle = INVALID_HANDLE_VALUE;
    DeleteFileA(path);
}

}  // namespace

int FindTempFolder(char* buffer) {
    for (const char* variable : {"TEMP", "TMP"}) {
        DWORD length = GetEnvironmentVariableA(variable, buffer, PathBufferSize);
        if (length == 0 || length >= PathBufferSize) continue;
        if (UsableFolder(buffer)) return 1;
    }
    UINT length = GetWindowsDirectoryA(buffer, PathBufferSize);
    if (length == 0 || length >= PathBufferSize) return 0;
    return UsableFolder(buffer);
}

int MakeTempName(char* buffer) { return GetTempFileNameA(TempFolder, "_kp", 0, buffer) != 0; }

int PrepareInstallWorkFiles() {
    CopyBounded(sizeof InstallFileDir, InstallFileDir, FolderOf(PackagePath));
    CopyBounded(sizeof InstallFileDrive, InstallFileDrive, DriveOf(InstallFileDir));
    UINT length = GetWindowsDirectoryA(WinDir, sizeof WinDir);
    if (length == 0 || length >= sizeof WinDir) return FailToInitialize();
    CopyBounded(sizeof WinDrive, WinDrive, DriveOf(WinDir));
    length = GetSystemDirectoryA(WinSysDir, sizeof WinSysDir);
    if (length == 0 || length >= sizeof WinSysDir) return FailToInitialize();
    ResolveProgramFiles();
    ResolveCommonFiles();
    if (!FindTempFolder(TempFolder)) return FailToInitialize();

    // Each name is reserved by the empty file the system creates for it; the files go again at once.
    char* const names[] = {InstallInfoFile, InstallLogFile, FileListFile, EndInstallFile, WorkFolder};
    int reserved = 0;
    while (reserved < 5 && MakeTempName(names[reserved])) ++reserved;
    for (int i = reserved - 1; i >= 0; --i) DeleteFileA(names[i]);
    if (reserved < 5) return FailToInitialize();

    if (!CreateDirectoryA(WorkFolder, nullptr)) return FailToInitialize();
    FileListHandle = CreateFileA(FileListFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (FileListHandle == INVALID_HANDLE_VALUE) {
        RemoveFolder(WorkFolder);
        return FailToInitialize();
    }
    return 1;
}

void RemoveInstallWorkFiles() {
    DeleteFileA(InstallInfoFile);
    FlushSettings(InstallLogFile);
    DeleteFileA(InstallLogFile);
    CloseAndDelete(&FileListHandle, FileListFile);
    if (!IsBlank(WorkFolder) && IsAbsolutePath(WorkFolder) && FolderExists(WorkFolder))
        DeleteFolderTree(WorkFolder);
}

void RemoveUninstallWorkFiles() {
    free(WizardBitmap);
    WizardBitmap = nullptr;
    WizardBitmapSize = 0;
    DeleteFileA(InstallLogFile);
    CloseAndDelete(&FileListHandle, FileListFile);
    CloseAndDelete(&HandledListHandle, HandledListFile);
}

void DeleteWininitBak() {
    char windows[PathBufferSize];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows) return;
    DeleteFileA(JoinPath(windows, "WININIT.BAK"));
}
