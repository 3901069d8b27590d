// Registry items: written at installation with what the uninstaller must remove logged, and removed again.
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "common/platform.h"
#include "common/process_state.h"
#include "common/paths.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "items/registry_items.h"
#include "script/path_variables.h"
#include "script/settings.h"

namespace {

enum ValueType { NoValue = 0, Text = 1, Number = 2, Bytes = 3 };

struct RegistryItem {
    char noOverwrite[PathBufferSize];
    char keep[PathBufferSize];
    char root[PathBufferSize];
    char key[PathBufferSize];
    char name[PathBufferSize];
    char type[PathBufferSize];
    char data[PathBufferSize];  // the rest after the sixth comma, commas and all
};

void SplitItem(const char* text, RegistryItem* item) {
    char* const fields[] = {item->noOverwrite, item->keep, item->root, item->key, item->name, item->type};
    SplitFields(text, fields, 6);
    CopyBounded(sizeof item->data, item->data, RestAfterFields(text, 6));
}

// The outermost part of the key path that does not exist yet, or an empty text when all of it exists.
void FirstMissingPart(HKEY root, const char* key, char* missing) {
    char path[PathBufferSize];
    CopyBounded(sizeof path, path, key);
    AppendBackslash(path);
    missing[0] = '\0';
    for (char* cut = strchr(path, '\\'); cut != nullptr; cut = strchr(cut + 1, '\\')) {
        *cut = '\0';
        ScopedKey probe;
        LONG opened = RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, probe.put());
        if (opened != ERROR_SUCCESS) {
            CopyBounded(PathBufferSize, missing, path);
            return;
        }
        *cut = '\\';
    }
}

// The key's default value may be reported by the 95 family even when none was set, so only an
// enumeration that meets a value without a name proves it is there.
int ValueExists(HKEY key, const char* name) {
    if (name[0] != '\0')
        return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    for (DWORD index = 0;; ++index) {
        char found[2];
        DWORD length = sizeof found;
        LONG result = RegEnumValueA(key, index, found, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) continue;  // a longer name
        if (result != ERROR_SUCCESS) return 0;
        if (found[0] == '\0') return 1;
    }
}

// "0x" or "0X" reads hexadecimal, anything else signed decimal; text that is no number stores 0.
DWORD ParseNumber(const char* data) {
    char text[PathBufferSize];
    CopyBounded(sizeof text, text, data);
    Trim(text);
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return strtoul(text + 2, nullptr, 16);
    return static_cast<DWORD>(strtol(text, nullptr, 10));
}

// Hexadecimal tokens between any run of blanks, tabs, commas and semicolons, one byte each (the low
// eight bits). Returns the number of bytes.
DWORD ParseBytes(const char* data, BYTE* bytes, DWORD size) {
    static const char Separators[] = " \t,;";
    DWORD count = 0;
    for (const char* at = data + strspn(data, Separators); *at != '\0' && count < size;
         at += strspn(at, Separators)) {
        char token[PathBufferSize];
        size_t length = strcspn(at, Separators);
        CopyBounded(length + 1 < sizeof token ? length + 1 : sizeof token, token, at);
        bytes[count++] = static_cast<BYTE>(strtoul(token, nullptr, 16));
        at += length;
    }
    return count;
}

LONG WriteValue(HKEY key, const RegistryItem& item, int type) {
    if (type == Text) {
        char text[PathBufferSize];
        CopyBounded(sizeof text, text, item.data);
        ExpandPathVariables(text);
        return RegSetValueExA(key, item.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                              static_cast<DWORD>(strlen(text) + 1));
    }
    if (type == Number) {
        DWORD number = ParseNumber(item.data);
        return RegSetValueExA(key, item.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                              sizeof number);
    }
    BYTE bytes[256] = {};
    DWORD count = ParseBytes(item.data, bytes, sizeof bytes);
    return RegSetValueExA(key, item.name, 0, REG_BINARY, bytes, count);
}

// One item; 0 when its key or value could not be written.
int InstallRegistryItem(const char* text) {
    RegistryItem item;
    SplitItem(text, &item);
    int rootIndex = LeadingNumber(item.root);
    HKEY root = RegistryRoot(rootIndex);
    if (root == nullptr) return 0;
    int logged = strcmp(item.keep, "1") != 0;

    RegistryKeyRecord created{rootIndex, ""};
    FirstMissingPart(root, item.key, created.key);
    // A part that is blank once trimmed would make the uninstaller delete the root itself.
    if (logged && created.key[0] != '\0' && !IsBlankKeyPath(created.key)) LogRegistryKey(created);

    ScopedKey key;
    if (RegCreateKeyExA(root, item.key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | KEY_QUERY_VALUE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return 0;

    int type = LeadingNumber(item.type);
    if (type != Text && type != Number && type != Bytes) return 1;
    int written = 1;
    if (strcmp(item.noOverwrite, "1") != 0 || !ValueExists(key.get(), item.name))
        written = WriteValue(key.get(), item, type) == ERROR_SUCCESS;
    if (logged) {
        RegistryValueRecord value;
        CopyBounded(sizeof value.root, value.root, item.root);
        CopyBounded(sizeof value.key, value.key, item.key);
        CopyBounded(sizeof value.name, value.name, item.name);
        LogRegistryValue(value);
    }
    return written;
}

}  // namespace

HKEY RegistryRoot(int index) {
    static const HKEY Roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};
    return index >= 0 && index < 4 ? Roots[index] : nullptr;
}

int InstallRegistryItems() {
    return ForEachNumberedSetting("Registry", "Registry", 1040, InstallRegistryItem, InstallInfoFile);
}

void RemoveRegistryValue(const RegistryValueRecord& record) {
    HKEY root = RegistryRoot(LeadingNumber(record.root));
    if (root == nullptr) return;
    ScopedKey key;
    if (RegOpenKeyExA(root, record.key, 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS) return;
    RegDeleteValueA(key.get(), record.name);
}

void RemoveRegistrySubKey(const RegistryKeyRecord& record) {
    if (HKEY root = RegistryRoot(record.root)) DeleteRegistryTree(root, record.key);
}

int DeleteRegistryTree(HKEY root, const char* key) {
    if (key == nullptr || IsBlankKeyPath(key)) return 0;
    // The NT family deletes only a key without subkeys; the 95 family deletes the whole tree at once.
    if (IsNtPlatform()) {
        ScopedKey parent;
        if (RegOpenKeyExA(root, key, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, parent.put()) !=
            ERROR_SUCCESS)
            return 0;
        DWORD longest = 0;
        RegQueryInfoKeyA(parent.get(), nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr);
        size_t keyLength = strlen(key);
        char* path = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, keyLength + 1 + longest + 1));
        if (path == nullptr) return 0;
        memcpy(path, key, keyLength);
        path[keyLength] = '\\';
        char* child = path + keyLength + 1;
        // A child that is deleted moves the next one into its index; one that stays is stepped over.
        for (DWORD index = 0;;) {
            DWORD length = longest + 1;
            if (RegEnumKeyExA(parent.get(), index, child, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            if (!DeleteRegistryTree(root, path)) ++index;
        }
        HeapFree(GetProcessHeap(), 0, path);
    }
    return RegDeleteKeyA(root, key) == ERROR_SUCCESS;
}
