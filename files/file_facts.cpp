// Size, time and version of a file on disk, version order, and the shared-file reference counts.
#include "files/file_facts.h"

#include <limits.h>
#include <stdlib.h>

#include "common/file_system.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "script/settings.h"

namespace {

constexpr DWORD UnknownVersion = 0xFFFFFFFF;
const char SharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// version.dll is no known DLL: imported, it would be looked for first in the folder the package was
// started from, before start-up restricts the search. So it comes from the system folder by its full
// path, once; without it every file has no version. Only the file-phase worker asks.
struct VersionCalls {
    decltype(&GetFileVersionInfoSizeA) size;
    decltype(&GetFileVersionInfoA) info;
    decltype(&VerQueryValueA) query;
};
VersionCalls Version;
int VersionLoaded;

template <typename Call>
void Resolve(HMODULE library, const char* name, Call* call) {
    *call = reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

const VersionCalls& LoadVersionCalls() {
    if (VersionLoaded) return Version;
    VersionLoaded = 1;
    const char name[] = "\\version.dll";
    char path[PathBufferSize];
    UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length + sizeof name > sizeof path) return Version;
    AppendBounded(sizeof path, path, name);
    if (HMODULE library = LoadLibraryA(path)) {
        Resolve(library, "GetFileVersionInfoSizeA", &Version.size);
        Resolve(library, "GetFileVersionInfoA", &Version.info);
        Resolve(library, "VerQueryValueA", &Version.query);
    }
    return Version;
}

// The count and the type it is written back with. Anything unreadable gives the count the caller names,
// to be written back as a REG_DWORD.
long ReadSharedCount(HKEY key, const char* path, DWORD* type, long unreadable) {
    DWORD size = 0;
    *type = REG_NONE;
    if (RegQueryValueExA(key, path, nullptr, type, nullptr, &size) != ERROR_SUCCESS) *type = REG_NONE;
    if (*type == REG_SZ) {
        char text[80];
        if (ReadRegistryString(key, path, text, sizeof text)) return atol(text);
    } else if (*type == REG_BINARY && size >= 1 && size <= 4) {
        unsigned char bytes[4] = {};
        if (RegQueryValueExA(key, path, nullptr, nullptr, bytes, &size) == ERROR_SUCCESS)
            return static_cast<long>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                     static_cast<DWORD>(bytes[3]) << 24);
    } else if (*type == REG_DWORD) {
        DWORD count = 0;
        size = sizeof count;
        LONG read = RegQueryValueExA(key, path, nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size);
        if (read == ERROR_SUCCESS && size == sizeof count) return static_cast<long>(count);
    }
    *type = REG_DWORD;
    return unreadable;
}

void WriteSharedCount(HKEY key, const char* path, DWORD type, long count) {
    if (type == REG_SZ) {
        char text[16];
        wsprintfA(text, "%ld", count);
        RegSetValueExA(key, path, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), lstrlenA(text) + 1);
    } else {
        DWORD value = static_cast<DWORD>(count);
        RegSetValueExA(key, path, 0, type, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
}

}  // namespace

int GetFileFacts(FileFacts* facts) {
    // Most files of an installation are new: their absence is told without the search, which opens
    // and reads the folder.
    if (GetFileAttributesA(facts->path) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return 0;
    }
    WIN32_FIND_DATAA found;
    // Only the entry is wanted: the search ends with this line.
    if (!ScopedFind(FindFirstFileA(facts->path, &found)).valid()) return 0;
    facts->size = found.nFileSizeLow;
    FileTimeToLocalFileTime(&found.ftLastWriteTime, &facts->time);
    GetFileVersionPair(facts->path, &facts->version);
    return 1;
}

int GetFileVersionPair(const char* path, VersionPair* pair) {
    pair->high = pair->low = UnknownVersion;
    const VersionCalls& calls = LoadVersionCalls();
    if (!calls.size || !calls.info || !calls.query) return 0;
    DWORD handle = 0;
    // A missing disk must not bring up a system dialog.
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    DWORD size = calls.size(path, &handle);
    SetErrorMode(previousMode);
    if (size == 0) return 0;

    void* block = malloc(size);
    if (block == nullptr) return 0;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    int found = calls.info(path, handle, size, block) &&
                calls.query(block, "\\", reinterpret_cast<void**>(&fixed), &fixedSize) && fixed != nullptr &&
                fixedSize >= sizeof *fixed;
    if (found) {
        pair->high = fixed->dwFileVersionMS;
        pair->low = fixed->dwFileVersionLS;
    }
    free(block);
    return found;
}

int CompareVersions(const VersionPair& a, const VersionPair& b) {
    // An unknown version neither wins nor loses: the file times decide.
    if (a.high == UnknownVersion || a.low == UnknownVersion || b.high == UnknownVersion ||
        b.low == UnknownVersion)
        return 0;
    if (a.high != b.high) return a.high < b.high ? -1 : 1;
    if (a.low != b.low) return a.low < b.low ? -1 : 1;
    return 0;
}

int IncrementSharedCount(const char* path, int existedBefore) {
    ScopedKey key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SharedDllsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return 0;
    DWORD type;
    long count = ReadSharedCount(key.get(), path, &type, 0);
    if (count < 0) count = 0;
    // A file already there without a count has a user we did not see install it. One this installation
    // has just written has none but us: counted as the other's, it would never be freed again.
    if (count == 0 && existedBefore) count = 1;
    if (count < LONG_MAX) ++count;
    WriteSharedCount(key.get(), path, type, count);
    return 1;
}

int DecrementSharedCount(const char* path) {
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SharedDllsKey, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), path, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return 0;
    DWORD type;
    // An unreadable count is taken as shared with someone else: it drops to 1, never frees the file.
    const long count = ReadSharedCount(key.get(), path, &type, 2);
    if (count == 1) {
        RegDeleteValueA(key.get(), path);
        return 1;
    }
    // A count already at 0 or below is someone else's damage; driving it further negative helps no one.
    if (count > 1) WriteSharedCount(key.get(), path, type, count - 1);
    return 0;
}
