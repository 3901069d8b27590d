// The folder variables the system names: the shell folders, Program Files and Common Files.
#include <windows.h>
#include <shlobj.h>

#include "common/file_system.h"
#include "common/paths.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "script/path_variables.h"
#include "script/settings.h"
#include "common/platform.h"
#include "common/process_state.h"

namespace {

const char ShellFoldersKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char CurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// The common end of both lookups: one trailing backslash off, then the folder made with its missing
// parents. These folders belong to the system, so nothing is logged. A relative name is refused, since
// creating it would put folders wherever the module happens to run.
int FinishFolder(char* buffer) {
    StripTrailingBackslash(buffer);
    if (IsBlank(buffer) || !IsAbsolutePath(buffer)) {
        buffer[0] = '\0';
        return 0;
    }
    if (!FolderExists(buffer)) {
        for (const char* made = CreateFolderPath(buffer); made != nullptr; made = CreateFolderPath(nullptr)) {
        }
    }
    return 1;
}

void ResolveFolder(char* variable, int folderId, HKEY root, const char* valueName) {
    if (!GetSpecialFolder(folderId, variable)) ReadShellFolderFromRegistry(root, valueName, variable);
}

// Quick Launch has no folder id of its own: it lies in the user's application data.
void ResolveQuickLaunch() {
    char appData[PathBufferSize];
    if (!GetSpecialFolder(CSIDL_APPDATA, appData) &&
        !ReadShellFolderFromRegistry(HKEY_CURRENT_USER, "AppData", appData)) {
        if (IsBlank(WinDir)) {
            QuickLaunchDir[0] = '\0';
            return;
        }
        CopyBounded(sizeof appData, appData, JoinPath(WinDir, "Application Data"));
    }
    CopyBounded(sizeof QuickLaunchDir, QuickLaunchDir,
                JoinPath(appData, "Microsoft\\Internet Explorer\\Quick Launch"));
    FinishFolder(QuickLaunchDir);
}

// The folder named by a value under CurrentVersion, else name inside base; created (one level) when
// missing. A failed creation is no reason to stop: the items that need the folder report it.
void ResolveSystemFolder(char* variable, const char* valueName, const char* base, const char* name) {
    int found = 0;
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, CurrentVersionKey, 0, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS)
        found = ReadRegistryString(key.get(), valueName, variable, PathBufferSize);
    if (found) StripTrailingBackslash(variable);
    if (!found || IsBlank(variable)) {
        if (IsBlank(base)) {
            variable[0] = '\0';
            return;
        }
        CopyBounded(PathBufferSize, variable, JoinPath(base, name));
    }
    if (IsAbsolutePath(variable) && !FolderExists(variable)) CreateDirectoryA(variable, nullptr);
}

}  // namespace

int GetSpecialFolder(int folderId, char* buffer) {
    buffer[0] = '\0';
    ScopedItemList list;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, folderId, list.put())) || !list.valid()) return 0;
    if (!SHGetPathFromIDListA(list.get(), buffer)) {
        buffer[0] = '\0';
        return 0;
    }
    return FinishFolder(buffer);
}

int ReadShellFolderFromRegistry(HKEY root, const char* valueName, char* buffer) {
    buffer[0] = '\0';
    ScopedKey key;
    if (RegOpenKeyExA(root, ShellFoldersKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return 0;
    if (!ReadRegistryString(key.get(), valueName, buffer, PathBufferSize)) return 0;
    return FinishFolder(buffer);
}

void ResolveShellFolders() {
    // The 95 family has no all-users profile to speak of, whatever the install information asks.
    int allUsers =
        IsNtPlatform() && ReadBoolSetting("Shortcut", "CreateIconsInAllUsersProfile", 0, InstallInfoFile);
    HKEY root = allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    if (allUsers) {
        ResolveFolder(DeskTopDir, CSIDL_COMMON_DESKTOPDIRECTORY, root, "Common Desktop");
        ResolveFolder(StartMenuDir, CSIDL_COMMON_STARTMENU, root, "Common Start Menu");
        ResolveFolder(ProgramMenuDir, CSIDL_COMMON_PROGRAMS, root, "Common Programs");
        ResolveFolder(StartupMenuDir, CSIDL_COMMON_STARTUP, root, "Common Startup");
    } else {
        ResolveFolder(DeskTopDir, CSIDL_DESKTOP, root, "Desktop");
        ResolveFolder(StartMenuDir, CSIDL_STARTMENU, root, "Start Menu");
        ResolveFolder(ProgramMenuDir, CSIDL_PROGRAMS, root, "Programs");
        ResolveFolder(StartupMenuDir, CSIDL_STARTUP, root, "Startup");
    }
    ResolveQuickLaunch();
    ResolveFolder(SendToDir, CSIDL_SENDTO, HKEY_CURRENT_USER, "SendTo");
}

void ResolveProgramFiles() {
    ResolveSystemFolder(ProgramFilesDir, "ProgramFilesDir", WinDrive, "Program Files");
}

void ResolveCommonFiles() {
    ResolveSystemFolder(CommonFilesDir, "CommonFilesDir", ProgramFilesDir, "Common Files");
}
