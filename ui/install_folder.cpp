// The install folder apart from the page: the registry form, the proposed folder, free space, creation.
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "common/file_system.h"
#include "common/paths.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "script/log_records.h"
#include "script/path_variables.h"
#include "script/settings.h"
#include "ui/folder_page.h"

namespace {

int IsBlankChar(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* text) {
    while (IsBlankChar(*text)) ++text;
    return text;
}

// Copies text up to the separator (or its end) into field and returns where the separator stands, or
// null when it is missing.
const char* TakeField(const char* text, char separator, char* field) {
    const char* end = strchr(text, separator);
    const size_t length = end != nullptr ? static_cast<size_t>(end - text) : strlen(text);
    const size_t kept = length < PathBufferSize - 1 ? length : PathBufferSize - 1;
    memcpy(field, text, kept);
    field[kept] = '\0';
    return end;
}

// The text after the registry form's opening; null when there is none.
const char* AfterOpening(const char* text) {
    if (text == nullptr) return nullptr;
    text = SkipBlanks(text);
    if (*text != '{') return nullptr;
    text = SkipBlanks(text + 1);
    if (strncmp(text, "Reg", 3) != 0) return nullptr;
    text = SkipBlanks(text + 3);
    return *text == ':' ? text + 1 : nullptr;
}

// The folder a registry value names, with the subfolder appended; 0 when it names nothing that exists.
int FolderFromRegistry(const char* root, const char* key, const char* valueName, const char* subfolder,
                       char* folder) {
    HKEY rootKey = RegFormRoot(root);
    ScopedKey opened;
    if (rootKey == nullptr || RegOpenKeyExA(rootKey, key, 0, KEY_QUERY_VALUE, opened.put()) != ERROR_SUCCESS)
        return 0;
    char value[PathBufferSize];
    int found = 0;
    if (ReadRegistryString(opened.get(), valueName, value, sizeof value) && !IsBlank(value)) {
        char expanded[PathBufferSize];
        // A longer expansion is not written at all; the unexpanded text is still a terminated path.
        const DWORD length = ExpandEnvironmentStringsA(value, expanded, sizeof expanded);
        if (length != 0 && length <= sizeof expanded) CopyBounded(sizeof value, value, expanded);
        NormaliseFolder(value);
        if (FolderExists(value)) {
            CopyBounded(PathBufferSize, folder, JoinPath(value, subfolder));
            found = 1;
        } else if (FileExists(value)) {
            CopyBounded(PathBufferSize, folder, JoinPath(FolderOf(value), subfolder));
            found = 1;
        }
    }
    return found;
}

}  // namespace

int IsRegForm(const char* text) { return AfterOpening(text) != nullptr; }

int ParseRegForm(const char* text, char* root, char* key, char* valueName, char* subfolder,
                 char* defaultFolder) {
    root[0] = key[0] = valueName[0] = subfolder[0] = defaultFolder[0] = '\0';
    const char* at = AfterOpening(text);
    if (at == nullptr) return 0;
    char* fields[] = {root, key, valueName, subfolder};
    const char separators[] = {',', ',', '}', ';'};
    int complete = 1;
    for (int i = 0; i < 4 && at != nullptr; ++i) {
        at = TakeField(at, separators[i], fields[i]);
        if (at != nullptr) ++at;
    }
    if (at != nullptr) {
        CopyBounded(PathBufferSize, defaultFolder, at);
        NormaliseFolder(defaultFolder);
    } else {
        complete = 0;
    }
    Trim(root);
    TrimBackslashes(key);
    Trim(valueName);
    TrimBackslashes(subfolder);
    return complete;
}

HKEY RegFormRoot(const char* root) {
    // Only the four roots the form knows; any other number must not become a handle.
    static const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};
    const long number = atol(root);
    return number >= 0 && number <= 3 ? roots[number] : nullptr;
}

DWORD CapFreeBytes(DWORD sectorsPerCluster, DWORD bytesPerSector, DWORD freeClusters) {
    const DWORD clusterBytes = sectorsPerCluster * bytesPerSector;
    const unsigned long long bytes = static_cast<unsigned long long>(clusterBytes) * freeClusters;
    return bytes > 0xFFFFFFFFull ? 0xFFFFFFFFul : static_cast<DWORD>(bytes);
}

DWORD DiskFreeBytes(const char* path) {
    char root[PathBufferSize];
    CopyBounded(sizeof root, root, DriveOf(path));
    AppendBounded(sizeof root, root, "\\");
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    // An empty drive must not bring up a system dialog.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL read =
        GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters);
    SetErrorMode(previousMode);
    return read ? CapFreeBytes(sectorsPerCluster, bytesPerSector, freeClusters) : 0;
}

void NormaliseFolder(char* folder) {
    // Appending first makes "C:" a drive root that the strip then keeps.
    AppendBackslash(folder);
    StripTrailingBackslash(folder);
}

void ProposeInstallFolder(const char* setting, char* folder, char* defaultSubfolder) {
    CopyBounded(PathBufferSize, folder, setting);
    defaultSubfolder[0] = '\0';
    int fromRegistry = 0;
    if (IsRegForm(folder)) {
        char root[PathBufferSize], key[PathBufferSize], valueName[PathBufferSize];
        char subfolder[PathBufferSize], fallback[PathBufferSize];
        ParseRegForm(folder, root, key, valueName, subfolder, fallback);
        fromRegistry = FolderFromRegistry(root, key, valueName, subfolder, folder);
        if (fromRegistry)
            CopyBounded(PathBufferSize, defaultSubfolder, subfolder);
        else
            CopyBounded(PathBufferSize, folder, fallback);
    }
    Trim(folder);
    if (IsAbsolutePath(folder)) {
        if (!fromRegistry) defaultSubfolder[0] = '\0';
        return;
    }
    const char* brace = strchr(folder, '}');
    if (brace != nullptr) {
        ++brace;
        while (*brace == '\\') ++brace;
    }
    CopyBounded(PathBufferSize, defaultSubfolder, brace != nullptr ? brace : folder);
    if (ExpandPathVariables(folder)) return;
    // A package on a disc or a floppy has no place for the application beside it.
    if (IsRemovableDrive(InstallFileDir)) {
        CopyBounded(PathBufferSize, folder, JoinPath("{WinDrive}", folder));
        ExpandPathVariables(folder);
    } else {
        CopyBounded(PathBufferSize, folder, JoinPath(InstallFileDir, folder));
    }
}

void CreateLoggedFolders(const char* folder) {
    for (const char* made = CreateFolderPath(folder); made != nullptr; made = CreateFolderPath(nullptr))
        LogPath(PathKind::Folder, made);
}
