// The working files of install and uninstall mode, and the temporary folder they live in.
#include "startup/working_files.h"

#include <string.h>

#include "script/leading_members.h"
#include "common/file_system.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/platform.h"
#include "common/strings.h"
#include "script/path_variables.h"
#include "script/settings.h"
#include "script/temp_names.h"
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
    RemoveGuardedFolder();
    ShowMessage(nullptr, EnglishText::CantInitialize, MB_OK | MB_ICONERROR);
    return 0;
}

// A new folder under the next free name in GuardedFolder; an existing one, whoever made it, may hold
// anything. GuardedFolder is empty when none was made.
int CreateFreshFolder(SECURITY_ATTRIBUTES* security, DWORD seed) {
    // Room for "\_kp" and eight digits, and inside for "\_kp????.TMP".
    if (strlen(TempFolder) + 12 + 12 < PathBufferSize) {
        for (DWORD counter = 0; counter < 256; ++counter) {
            char name[16];
            wsprintfA(name, "_kp%08lX", seed + counter * 0x9E3779B9u);
            CopyBounded(sizeof GuardedFolder, GuardedFolder, JoinPath(TempFolder, name));
            if (CreateDirectoryA(GuardedFolder, security)) return 1;
            if (GetLastError() != ERROR_ALREADY_EXISTS) break;
        }
    }
    GuardedFolder[0] = 0;
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

// The descriptor is built with what NT 4 has: no string form, no AddAccessAllowedAceEx.
int MakeGuardedFolder(DWORD seed) {
    GuardedFolder[0] = 0;
    if (!IsNtPlatform() || !HasAdminRights()) return 1;
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr, system = nullptr;
    // The header and two ACEs of 8 bytes each with SIDs of 16 and 12 bytes.
    DWORD aclBuffer[16];
    ACL* acl = reinterpret_cast<ACL*>(aclBuffer);
    SECURITY_DESCRIPTOR descriptor;
    int made = 0;
    if (AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                 0, 0, 0, 0, &administrators) &&
        AllocateAndInitializeSid(&ntAuthority, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system) &&
        InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION) &&
        AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, administrators) &&
        AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, system) &&
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE)) {
        // Both entries are handed down to the working files and WorkFolder.
        ACE_HEADER* ace = reinterpret_cast<ACE_HEADER*>(acl + 1);
        for (int i = 0; i < 2; ++i) {
            ace->AceFlags = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
            ace = reinterpret_cast<ACE_HEADER*>(reinterpret_cast<BYTE*>(ace) + ace->AceSize);
        }
        // Windows 2000 and later would add the temporary folder's inheritable entries, the user's among
        // them, unless the DACL is protected; NT 4 never adds them and lacks the call.
        using ControlSetter =
            BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, SECURITY_DESCRIPTOR_CONTROL, SECURITY_DESCRIPTOR_CONTROL);
        auto setControl = reinterpret_cast<ControlSetter>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("advapi32.dll"), "SetSecurityDescriptorControl")));
        if (setControl) setControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
        SECURITY_ATTRIBUTES security = {sizeof security, &descriptor, FALSE};
        if (CreateFreshFolder(&security, seed)) {
            GuardedFolderHandle = CreateFileA(
                GuardedFolder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
            made = GuardedFolderHandle != INVALID_HANDLE_VALUE;
        }
    }
    if (system != nullptr) FreeSid(system);
    if (administrators != nullptr) FreeSid(administrators);
    if (!made) RemoveGuardedFolder();
    return made;
}

void RemoveGuardedFolder() {
    if (GuardedFolderHandle != INVALID_HANDLE_VALUE) CloseHandle(GuardedFolderHandle);
    GuardedFolderHandle = INVALID_HANDLE_VALUE;
    // RemoveDirectoryA takes a link away without following it, and leaves a folder that is not empty.
    if (GuardedFolder[0]) RemoveFolder(GuardedFolder);
    GuardedFolder[0] = 0;
}

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
    if (!MakeGuardedFolder(GetCurrentProcessId() * 0x10001u ^ GetTickCount())) return FailToInitialize();

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
    RemoveGuardedFolder();
}

void RemoveUninstallWorkFiles() {
    free(WizardBitmap);
    WizardBitmap = nullptr;
    WizardBitmapSize = 0;
    DeleteFileA(InstallLogFile);
    CloseAndDelete(&FileListHandle, FileListFile);
    CloseAndDelete(&HandledListHandle, HandledListFile);
    RemoveGuardedFolder();
}

void DeleteWininitBak() {
    char windows[PathBufferSize];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows) return;
    DeleteFileA(JoinPath(windows, "WININIT.BAK"));
}
