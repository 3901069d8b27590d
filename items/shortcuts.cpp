// Shortcuts through the shell's link object, and their log: the shell-folder levels and the link files.
#include <shlobj.h>
#include <string.h>
#include <windows.h>

#include "common/file_system.h"
#include "common/paths.h"
#include "common/process_state.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "items/shortcuts.h"
#include "script/log_records.h"
#include "script/path_variables.h"
#include "script/settings.h"

namespace {

struct ShortcutItem {
    char name[PathBufferSize];
    char target[PathBufferSize];
    char folder[PathBufferSize];
    char workingFolder[PathBufferSize];
    char iconFile[PathBufferSize];
    char arguments[PathBufferSize];  // the rest after the fifth comma, commas and all
};

void SplitItem(const char* text, ShortcutItem* item) {
    char* const fields[] = {item->name, item->target, item->folder, item->workingFolder, item->iconFile};
    SplitFields(text, fields, 5);
    CopyBounded(sizeof item->arguments, item->arguments, RestAfterFields(text, 5));
}

// Every level of the folder below its first component, as expanded: "{ProgramMenu}\A\B" logs the
// program menu's A and A\B, never the shell folder itself. The log keeps each level once.
void LogShellFolderLevels(const char* folder) {
    char path[PathBufferSize];
    CopyBounded(sizeof path, path, folder);
    AppendBackslash(path);
    char* first = strchr(path, '\\');
    if (first == nullptr) return;
    for (char* cut = strchr(first + 1, '\\'); cut != nullptr; cut = strchr(cut + 1, '\\')) {
        char level[PathBufferSize];
        CopyBounded(static_cast<size_t>(cut - path) + 1 < sizeof level ? cut - path + 1 : sizeof level, level,
                    path);
        ExpandShellFolders(level);
        LogPath(PathKind::ShellFolder, level);
    }
}

int InstallShortcut(const char* text) {
    ShortcutItem item;
    SplitItem(text, &item);
    ExpandPathVariables(item.target);
    ExpandPathVariables(item.workingFolder);
    ExpandPathVariables(item.iconFile);
    ExpandPathVariables(item.arguments);
    return PlaceShortcut(item.folder, item.name, item.target, item.arguments, item.workingFolder,
                         item.iconFile, 0);
}

}  // namespace

int CreateShortcutFile(char* folder, char* name, const char* target, const char* arguments,
                       const char* workingFolder, const char* iconFile, int iconIndex) {
    ScopedComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.put()))))
        return 0;
    TrimRightBackslashes(folder);
    TrimBackslashes(name);
    char path[520];
    if (lstrlenA(folder) + lstrlenA(name) + 6 > static_cast<int>(sizeof path)) return 0;
    wsprintfA(path, "%s\\%s.LNK", folder, name);

    link->SetPath(target);
    link->SetArguments(arguments);
    link->SetWorkingDirectory(workingFolder);
    if (!IsBlank(iconFile)) link->SetIconLocation(iconFile, iconIndex);

    ScopedComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put())))) return 0;
    WCHAR widePath[520];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, 520) == 0) return 0;
    return SUCCEEDED(file->Save(widePath, TRUE));
}

int PlaceShortcut(char* folder, char* name, const char* target, const char* arguments,
                  const char* workingFolder, const char* iconFile, int iconIndex) {
    LogShellFolderLevels(folder);
    StripTrailingBackslash(folder);
    ExpandShellFolders(folder);
    // A folder that cannot be made shows as a link that cannot be saved.
    const char* made = CreateFolderPath(folder);
    while (made != nullptr) made = CreateFolderPath(nullptr);
    if (!CreateShortcutFile(folder, name, target, arguments, workingFolder, iconFile, iconIndex)) return 0;
    LogPath(PathKind::Shortcut, SavedShortcutName(folder, name));
    return 1;
}

const char* SavedShortcutName(const char* folder, const char* name) {
    static char path[PathBufferSize];
    CopyBounded(sizeof path, path, JoinPath(folder, name));
    size_t length = strlen(path);
    AppendBounded(sizeof path, path, ".LNK");
    if (!FileExists(path)) {
        path[length] = '\0';
        AppendBounded(sizeof path, path, ".PIF");
    }
    return path;
}

int InstallShortcuts() {
    return ForEachNumberedSetting("Shortcut", "Shortcut", 1560, InstallShortcut, InstallInfoFile);
}
