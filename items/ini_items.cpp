// INI items through the profile API: written at installation, removed key by key by the uninstaller.
#include <string.h>
#include <windows.h>

#include "common/file_system.h"
#include "common/paths.h"
#include "common/process_state.h"
#include "common/strings.h"
#include "items/ini_items.h"
#include "script/install_log.h"
#include "script/path_variables.h"
#include "script/settings.h"

namespace {

struct IniItem {
    char noOverwrite[PathBufferSize];
    char keep[PathBufferSize];
    char file[PathBufferSize];
    char section[PathBufferSize];
    char key[PathBufferSize];
    char value[PathBufferSize];  // the rest after the fifth comma, commas and all
};

void SplitItem(const char* text, IniItem* item) {
    char* const fields[] = {item->noOverwrite, item->keep, item->file, item->section, item->key};
    SplitFields(text, fields, 5);
    CopyBounded(sizeof item->value, item->value, RestAfterFields(text, 5));
    ExpandPathVariables(item->file);
    ExpandPathVariables(item->value);
}

// The folders on the way to a private INI file, and the file itself when this item creates it.
void PrepareFile(const IniItem& item) {
    for (const char* made = CreateFolderPath(FolderOf(item.file)); made != nullptr;
         made = CreateFolderPath(nullptr))
        LogPath(PathKind::Folder, made);
    // The profile API may hold the file in its cache; flushed, the disk tells whether it exists.
    FlushSettings(item.file);
    if (FileExists(item.file)) return;
    IniFileRecord created;
    CopyBounded(sizeof created.path, created.path, item.file);
    created.keep = strcmp(item.keep, "1") == 0;
    LogIniFile(created);
}

// 0 when the item's value could not be written.
int InstallIniItem(const char* text) {
    IniItem item;
    SplitItem(text, &item);
    if (!IsBlank(item.file)) PrepareFile(item);
    int written = 1;
    char current[PathBufferSize] = "";
    if (strcmp(item.noOverwrite, "1") == 0)
        ReadSetting(item.section, item.key, "", current, sizeof current, item.file);
    if (IsBlank(current)) {
        written = WriteSetting(item.section, item.key, item.value, item.file) != 0;
        if (written) FlushSettings(item.file);
    }
    if (strcmp(item.keep, "1") != 0) {
        IniKeyRecord record;
        CopyBounded(sizeof record.file, record.file, item.file);
        CopyBounded(sizeof record.section, record.section, item.section);
        CopyBounded(sizeof record.key, record.key, item.key);
        LogIniKey(record);
    }
    return written;
}

}  // namespace

int InstallIniItems() { return ForEachNumberedSetting("Ini", "Ini", 1040, InstallIniItem, InstallInfoFile); }

void RemoveIniKey(const IniKeyRecord& record) {
    int winIni = IsBlank(record.file);
    if (!winIni && !FileExists(record.file)) return;
    DeleteSetting(record.section, record.key, record.file);
    if (!SectionIsEmpty(record.section, record.file)) return;
    DeleteSection(record.section, record.file);
    if (winIni || !FileHasNoSections(record.file)) return;
    FlushSettings(record.file);
    DeleteFileA(record.file);
}
