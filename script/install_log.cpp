// The installation log: counted sections in the log's INI file, source-file paths as records in the
// file list.
#include "script/install_log.h"

#include <string.h>
#include <windows.h>

#include "common/file_system.h"
#include "common/strings.h"
#include "script/settings.h"
#include "common/working_files_state.h"

namespace {

// A file-list record: one length byte, then at most 255 path bytes.
constexpr size_t MaxRecordPath = 255;

struct CountedSection {
    const char* name;
    const char* countKey;
    DWORD readerSize;  // the buffer a reader must pass to NextLogItem
};

const CountedSection Sections[] = {
    {"Folder", "FolderCount", 260},
    {"SourceFile", "SourceFileCount", 256},
    // The longest misc-file entry: a 259-byte path, a six-digit uninstall mode and four flags.
    {"MiscFile", "MiscFileCount", 280},
    {"ShellFolder", "ShellFolderCount", 260},
    {"Shortcut", "ShortcutCount", 260},
    {"RegistrySubKey", "RegistrySubKeyCount", 530},
    {"RegistryValue", "RegistryValueCount", 790},
    {"IniFile", "IniFileCount", 260},
    {"IniKey", "IniKeyCount", 790},
};
constexpr int SectionCount = sizeof Sections / sizeof Sections[0];
constexpr int SourceFileIndex = 1;
constexpr int ShellFolderIndex = 3;

long Counters[SectionCount];
// The SourceFile count goes to the log when someone reads the log, not with every file: each write
// rewrites the whole INI file, which made a file phase's time grow with the files times the folders.
bool SourceCountPending = false;

// Names match exactly: the sections are fixed words of this program, never user text.
int FindSection(const char* section) {
    if (section == nullptr) return -1;
    for (int i = 0; i < SectionCount; ++i) {
        if (strcmp(section, Sections[i].name) == 0) return i;
    }
    return -1;
}

// Entry keys are the counter in decimal, no leading zeros.
void FormatKey(long number, char* text) {
    char digits[16];
    int length = 0;
    do {
        digits[length++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number > 0 && length < static_cast<int>(sizeof digits));
    for (int i = 0; i < length; ++i) text[i] = digits[length - 1 - i];
    text[length] = '\0';
}

int ShellFolderLogged(const char* value) {
    char key[16];
    char entry[PathBufferSize];
    for (long i = 1; i <= Counters[ShellFolderIndex]; ++i) {
        FormatKey(i, key);
        ReadSetting("ShellFolder", key, "", entry, sizeof entry, InstallLogFile);
        if (lstrcmpiA(entry, value) == 0) return 1;
    }
    return 0;
}

// The path as it goes into a record: itself when the length byte can hold it, else the file's short
// name; a trailing star (replaced file) is kept outside the name being shortened. 0 when no form fits.
int RecordPath(const char* value, char* path, size_t size) {
    size_t length = strlen(value);
    if (length <= MaxRecordPath) {
        CopyBounded(size, path, value);
        return 1;
    }
    char name[PathBufferSize];
    if (length >= sizeof name) return 0;
    CopyBounded(sizeof name, name, value);
    int starred = name[length - 1] == '*';
    if (starred) name[length - 1] = '\0';
    // Fails for a file that does not exist (no short name to ask for) or a result that does not fit.
    DWORD shortLength = GetShortPathNameA(name, path, static_cast<DWORD>(size));
    if (shortLength == 0 || shortLength + (starred ? 1 : 0) > MaxRecordPath) return 0;
    if (starred) AppendBounded(size, path, "*");
    return 1;
}

void LogSourceFile(const char* value) {
    char record[1 + PathBufferSize];
    if (!RecordPath(value, record + 1, sizeof record - 1)) return;
    size_t length = strlen(record + 1);
    record[0] = static_cast<char>(static_cast<unsigned char>(length));
    ++Counters[SourceFileIndex];
    SourceCountPending = true;
    // Length and path in one write: a failing list then loses whole records, not half of one.
    WriteExact(FileListHandle, record, static_cast<DWORD>(1 + length));
}

int NextSourceFile(char* buffer) {
    unsigned char length = 0;
    if (!ReadExact(FileListHandle, &length, 1)) return 0;
    if (!ReadExact(FileListHandle, buffer, length)) return 0;
    buffer[length] = '\0';
    --Counters[SourceFileIndex];
    return 1;
}

}  // namespace

void LogItem(const char* section, const char* key, const char* value) {
    if (value == nullptr) value = "";
    int index = FindSection(section);
    if (index < 0) {
        // Without a key the profile API would delete the whole section.
        if (section != nullptr && key != nullptr) WriteSetting(section, key, value, InstallLogFile);
        return;
    }
    if (index == SourceFileIndex) {
        LogSourceFile(value);
        return;
    }
    if (index == ShellFolderIndex && ShellFolderLogged(value)) return;
    char entryKey[16];
    FormatKey(++Counters[index], entryKey);
    WriteIntSetting(section, Sections[index].countKey, Counters[index], InstallLogFile);
    WriteSetting(section, entryKey, value, InstallLogFile);
}

int NextLogItem(const char* section, char* buffer) {
    int index = FindSection(section);
    // A negative count from a damaged log means no entries, not a run through every number.
    if (index < 0 || buffer == nullptr || Counters[index] <= 0) return 0;
    if (index == SourceFileIndex) return NextSourceFile(buffer);
    char key[16];
    FormatKey(Counters[index], key);
    ReadSetting(section, key, "", buffer, Sections[index].readerSize, InstallLogFile);
    --Counters[index];
    return 1;
}

void ResetLogCounters() {
    for (long& counter : Counters) counter = 0;
    SourceCountPending = false;
}

void WriteSourceFileCount() {
    if (!SourceCountPending) return;
    WriteIntSetting("SourceFile", "SourceFileCount", Counters[SourceFileIndex], InstallLogFile);
    SourceCountPending = false;
}

void LoadLogCounter(const char* section) {
    WriteSourceFileCount();
    int index = FindSection(section);
    if (index < 0) return;
    Counters[index] = ReadIntSetting(section, Sections[index].countKey, 0, InstallLogFile);
}

long LogCounter(const char* section) {
    int index = FindSection(section);
    return index < 0 ? 0 : Counters[index];
}

void RewindFileList() { SetFilePointer(FileListHandle, 0, nullptr, FILE_BEGIN); }
