// The installation log's records: how each kind is written as an entry and read back.
#include "script/log_records.h"

#include <string.h>
#include <windows.h>

#include "common/working_files_state.h"
#include "script/install_log.h"
#include "script/settings.h"

namespace {

// Large enough for any entry the log reader hands out (the longest, a registry value, is 790 bytes).
constexpr size_t EntrySize = 1024;

struct Field {
    char* text;
    size_t size;
};

// Splits the entry at its first commas into the fields, each bounded by its size; the last field takes
// the rest of the entry, commas and all. Fields the entry lacks are left empty.
void SplitFieldList(const char* entry, const Field* fields, int count) {
    for (int i = 0; i < count; ++i) {
        const char* comma = i + 1 < count ? strchr(entry, ',') : nullptr;
        const size_t length = comma != nullptr ? static_cast<size_t>(comma - entry) : strlen(entry);
        CopyBounded(fields[i].size < length + 1 ? fields[i].size : length + 1, fields[i].text, entry);
        entry = comma != nullptr ? comma + 1 : "";
    }
}

template <int Count>
void SplitEntry(const char* entry, const Field (&fields)[Count]) {
    SplitFieldList(entry, fields, Count);
}

int IsOne(const char* field) { return strcmp(field, "1") == 0; }

// The next entry of the section that is not blank.
int NextEntry(const char* section, char* entry) {
    while (NextLogItem(section, entry)) {
        if (!IsBlank(entry)) return 1;
    }
    return 0;
}

// Records of three texts, the last of which takes the rest of the entry.
void LogThreeTexts(const char* section, const char* first, const char* second, const char* rest) {
    char entry[EntrySize];
    wsprintfA(entry, "%s,%s,%s", first, second, rest);
    LogItem(section, nullptr, entry);
}

int NextThreeTexts(const char* section, const Field (&fields)[3]) {
    char entry[EntrySize];
    if (!NextEntry(section, entry)) return 0;
    SplitEntry(entry, fields);
    return 1;
}

const char* SectionOf(PathKind kind) {
    switch (kind) {
        case PathKind::ShellFolder:
            return "ShellFolder";
        case PathKind::Shortcut:
            return "Shortcut";
        default:
            return "Folder";
    }
}

}  // namespace

void LogSourceFile(const char* path, int replaced) {
    char logged[PathBufferSize + 1];
    CopyBounded(sizeof logged, logged, path);
    if (replaced) AppendBounded(sizeof logged, logged, "*");
    LogItem("SourceFile", nullptr, logged);
}

int NextSourceFile(SourceFileRecord* record) {
    char entry[EntrySize];
    if (!NextEntry("SourceFile", entry)) return 0;
    TrimRight(entry);
    const size_t length = strlen(entry);
    record->replaced = entry[length - 1] == '*';
    if (record->replaced) entry[length - 1] = '\0';
    CopyBounded(sizeof record->path, record->path, entry);
    return 1;
}

void LogMiscFile(const MiscFileRecord& record) {
    char entry[PathBufferSize + 64];
    wsprintfA(entry, "%s,%d,%d,%d,%d,%d", record.path, record.uninstallMode, record.shared, record.server,
              record.typeLibrary, record.replaced);
    LogItem("MiscFile", nullptr, entry);
}

int NextMiscFile(MiscFileRecord* record) {
    char entry[EntrySize];
    if (!NextEntry("MiscFile", entry)) return 0;
    char mode[16], shared[16], server[16], typeLibrary[16], replaced[16];
    SplitEntry(entry, {{record->path, sizeof record->path},
                       {mode, 16},
                       {shared, 16},
                       {server, 16},
                       {typeLibrary, 16},
                       {replaced, 16}});
    Trim(record->path);
    record->uninstallMode = LeadingNumber(mode);
    record->shared = IsOne(shared);
    record->server = IsOne(server);
    record->typeLibrary = IsOne(typeLibrary);
    record->replaced = IsOne(replaced);
    return 1;
}

void LogPath(PathKind kind, const char* path) { LogItem(SectionOf(kind), nullptr, path); }

int NextPath(PathKind kind, char* path) {
    char entry[EntrySize];
    if (!NextEntry(SectionOf(kind), entry)) return 0;
    CopyBounded(PathBufferSize, path, entry);
    return 1;
}

void LogRegistryKey(const RegistryKeyRecord& record) {
    char entry[EntrySize];
    wsprintfA(entry, "%d,%s", record.root, record.key);
    LogItem("RegistrySubKey", nullptr, entry);
}

int NextRegistryKey(RegistryKeyRecord* record) {
    char entry[EntrySize], root[16];
    if (!NextEntry("RegistrySubKey", entry)) return 0;
    SplitEntry(entry, {{root, sizeof root}, {record->key, sizeof record->key}});
    record->root = LeadingNumber(root);
    return 1;
}

void LogRegistryValue(const RegistryValueRecord& record) {
    LogThreeTexts("RegistryValue", record.root, record.key, record.name);
}

int NextRegistryValue(RegistryValueRecord* record) {
    return NextThreeTexts("RegistryValue", {{record->root, sizeof record->root},
                                            {record->key, sizeof record->key},
                                            {record->name, sizeof record->name}});
}

void LogIniFile(const IniFileRecord& record) {
    char entry[PathBufferSize + 8];
    wsprintfA(entry, "%s,%d", record.path, record.keep ? 1 : 0);
    LogItem("IniFile", nullptr, entry);
}

int NextIniFile(IniFileRecord* record) {
    char entry[EntrySize], keep[16];
    if (!NextEntry("IniFile", entry)) return 0;
    SplitEntry(entry, {{record->path, sizeof record->path}, {keep, sizeof keep}});
    record->keep = IsOne(keep);
    return 1;
}

void LogIniKey(const IniKeyRecord& record) {
    LogThreeTexts("IniKey", record.file, record.section, record.key);
}

int NextIniKey(IniKeyRecord* record) {
    return NextThreeTexts("IniKey", {{record->file, sizeof record->file},
                                     {record->section, sizeof record->section},
                                     {record->key, sizeof record->key}});
}

void LogUninstallType(int type) {
    char text[16];
    wsprintfA(text, "%d", type);
    LogItem("General", "UninstallType", text);
}

int LoggedUninstallType() {
    return static_cast<int>(ReadIntSetting("General", "UninstallType", 0, InstallLogFile));
}
