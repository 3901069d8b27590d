// WININIT.INI lines, written through the profile API and, for deletions, patched in the file itself.
#include "files/wininit.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "common/scoped_handles.h"
#include "common/strings.h"
#include "script/settings.h"

namespace {

const char RenameSection[] = "Rename";
// The profile API keeps one value per key, so a deletion goes in under this key and is patched to NUL.
const char Placeholder[] = "***";

int ShortName(const char* path, char* buffer) {
    DWORD length = GetShortPathNameA(path, buffer, PathBufferSize);
    return length > 0 && length < PathBufferSize;
}

// Offset of the placeholder line "***=<value>" (the whole line), or -1.
long FindPlaceholderLine(const char* text, DWORD size, const char* line, size_t lineLength) {
    for (DWORD at = 0; at + lineLength <= size; ++at) {
        if ((at > 0 && text[at - 1] != '\n') || memcmp(text + at, line, lineLength) != 0) continue;
        DWORD end = at + static_cast<DWORD>(lineLength);
        if (end == size || text[end] == '\r' || text[end] == '\n') return static_cast<long>(at);
    }
    return -1;
}

int PatchPlaceholder(const char* iniFile, const char* shortPath) {
    ScopedFile file(CreateFileA(iniFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return 0;
    DWORD size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size == 0) return 0;
    char* text = static_cast<char*>(malloc(size));
    if (text == nullptr) return 0;

    char line[sizeof Placeholder + PathBufferSize];
    CopyBounded(sizeof line, line, Placeholder);
    AppendBounded(sizeof line, line, "=");
    AppendBounded(sizeof line, line, shortPath);
    DWORD read = 0;
    int patched = 0;
    if (ReadFile(file.get(), text, size, &read, nullptr) && read == size) {
        long at = FindPlaceholderLine(text, size, line, strlen(line));
        DWORD written = 0;
        patched = at >= 0 && SetFilePointer(file.get(), at, nullptr, FILE_BEGIN) == static_cast<DWORD>(at) &&
                  WriteFile(file.get(), "NUL", 3, &written, nullptr) && written == 3;
    }
    free(text);
    return patched;
}

}  // namespace

int WininitReplace(const char* iniFile, const char* target, const char* source) {
    char shortTarget[PathBufferSize], shortSource[PathBufferSize];
    if (!ShortName(target, shortTarget) || !ShortName(source, shortSource)) return 0;
    return WriteSetting(RenameSection, shortTarget, shortSource, iniFile) != 0;
}

int WininitDelete(const char* iniFile, const char* path) {
    char shortPath[PathBufferSize];
    if (!ShortName(path, shortPath)) return 0;
    WriteSetting(RenameSection, Placeholder, shortPath, iniFile);
    FlushSettings(iniFile);
    int patched = PatchPlaceholder(iniFile, shortPath);
    // Removes the placeholder when it could not be patched; a patched line no longer has that key.
    DeleteSetting(RenameSection, Placeholder, iniFile);
    return patched;
}
