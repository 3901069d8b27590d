// Path routines: absolute test, trailing backslashes, drive, folder, file name, extension, joining.
#include "common/paths.h"

#include <string.h>

#include "common/strings.h"

namespace {

int IsDrivePath(const char* path) { return path[0] != '\0' && path[1] == ':'; }

int IsNetworkPath(const char* path) { return path[0] == '\\' && path[1] == '\\'; }

int IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\';
#else
    return c == '\\' || c == '/';
#endif
}

// Copies and trims path into buffer and gives drive and network roots their backslash, the way FolderOf
// and FileNameOf both see a path.
void NormaliseForFolder(char* buffer, const char* path) {
    CopyBounded(PathBufferSize, buffer, path);
    Trim(buffer);
    if (IsDrivePath(buffer)) {
        FixDriveRoot(buffer);
    } else if (IsNetworkPath(buffer)) {
        char* server = buffer;
        while (*server == '\\') ++server;
        char* share = strchr(server, '\\');
        if (share == nullptr) {
            AppendBackslash(buffer);
        } else {
            while (*share == '\\') ++share;
            FixDriveRootBounded(PathBufferSize - (share - buffer), share);
            // Server and share alone: the share is the folder.
            if (strchr(share, '\\') == nullptr) AppendBackslash(buffer);
        }
    }
}

// The dot that starts the extension, or null.
char* FindExtension(char* path) {
    char* dot = nullptr;
    for (char* p = path; *p != '\0'; ++p) {
        if (*p == '.') {
            dot = p;
        } else if (*p == ':' || IsSeparator(*p)) {
            dot = nullptr;
        }
    }
    return dot;
}

}  // namespace

int IsAbsolutePath(const char* path) {
    if (path == nullptr) return 0;
    while (*path == ' ' || *path == '\t') ++path;
    return IsDrivePath(path) || IsNetworkPath(path);
}

void AppendBackslash(char* path) {
    Trim(path);
    size_t length = strlen(path);
    if (length > 0 && path[length - 1] != '\\') AppendBounded(PathBufferSize, path, "\\");
}

void StripTrailingBackslash(char* path) {
    Trim(path);
    size_t length = strlen(path);
    if (length < 2) return;
    if (length <= 2 && path[0] == '\\') return;
    if (path[length - 2] == ':') return;
    if (path[length - 1] == '\\') path[length - 1] = '\0';
}

void FixDriveRootBounded(size_t size, char* path) {
    if (!IsDrivePath(path) || path[2] == '\\' || size < 4) return;
    size_t length = strlen(path);
    if (length + 2 > size) length = size - 2;  // the last character makes room for the backslash
    memmove(path + 3, path + 2, length - 2);
    path[2] = '\\';
    path[length + 1] = '\0';
}

void FixDriveRoot(char* path) { FixDriveRootBounded(PathBufferSize, path); }

const char* DriveOf(const char* path) {
    static char buffer[PathBufferSize];
    CopyBounded(sizeof buffer, buffer, path);
    Trim(buffer);
    if (IsDrivePath(buffer)) {
        buffer[2] = '\0';
    } else if (IsNetworkPath(buffer)) {
        char* server = buffer;
        while (*server == '\\') ++server;
        char* share = strchr(server, '\\');
        if (share != nullptr) {
            while (*share == '\\') ++share;
        }
        if (share == nullptr || *share == '\0') {
            buffer[0] = '\0';
        } else {
            char* end = strchr(share, '\\');
            if (end != nullptr) *end = '\0';
        }
    } else {
        buffer[0] = '\0';
    }
    return buffer;
}

const char* FolderOf(const char* path) {
    static char buffer[PathBufferSize];
    NormaliseForFolder(buffer, path);
    char* last = strrchr(buffer, '\\');
    if (last != nullptr) last[1] = '\0';
    StripTrailingBackslash(buffer);
    return buffer;
}

const char* FileNameOf(const char* path) {
    static char buffer[PathBufferSize];
    NormaliseForFolder(buffer, path);
    char* last = strrchr(buffer, '\\');
    if (last != nullptr) memmove(buffer, last + 1, strlen(last + 1) + 1);
    return buffer;
}

const char* ExtensionOf(const char* path) {
    static char buffer[PathBufferSize];
    CopyBounded(sizeof buffer, buffer, path);
    Trim(buffer);
    char* dot = FindExtension(buffer);
    if (dot == nullptr) {
        buffer[0] = '\0';
    } else {
        memmove(buffer, dot, strlen(dot) + 1);
    }
    return buffer;
}

void ReplaceExtension(char* path, const char* extension) {
    Trim(path);
    char* dot = FindExtension(path);
    if (dot == nullptr) return;
    *dot = '\0';
    AppendBounded(PathBufferSize, path, extension);
}

const char* JoinPath(const char* folder, const char* relative) {
    static char buffer[PathBufferSize];
    // The relative part is taken first: it may be this buffer's previous result.
    char tail[PathBufferSize];
    CopyBounded(sizeof tail, tail, relative);
    CopyBounded(sizeof buffer, buffer, folder);
    if (IsBlank(tail)) return buffer;
    AppendBackslash(buffer);
    TrimLeftBackslashes(tail);
    AppendBounded(sizeof buffer, buffer, tail);
    return buffer;
}

namespace {

bool IsNameSeparator(char c) { return c == '\\' || c == '/'; }

// The component [start, end) names a device: its part before the first dot, without trailing blanks
// and dots, is one of the names every folder holds.
bool IsDeviceName(const char* start, const char* end) {
    const char* stem = start;
    while (stem < end && *stem != '.') ++stem;
    while (stem > start && (stem[-1] == ' ' || stem[-1] == '.')) --stem;
    char upper[8];
    const size_t length = static_cast<size_t>(stem - start);
    if (length < 3 || length >= sizeof upper) return false;
    for (size_t i = 0; i < length; ++i)
        upper[i] = (start[i] >= 'a' && start[i] <= 'z') ? start[i] - 32 : start[i];
    upper[length] = '\0';
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : devices)
        if (strcmp(upper, device) == 0) return true;
    return length == 4 && (strncmp(upper, "COM", 3) == 0 || strncmp(upper, "LPT", 3) == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

// A component other than the last one of a folder member: not empty, not dots and blanks alone, no
// device.
bool IsSafeComponent(const char* start, const char* end) {
    bool onlyDotsAndBlanks = true;
    for (const char* c = start; c < end; ++c)
        if (*c != '.' && *c != ' ') onlyDotsAndBlanks = false;
    return !onlyDotsAndBlanks && !IsDeviceName(start, end);
}

}  // namespace

int IsSafeSourceMemberName(const char* name) {
    if (name == nullptr || strncmp(name, "Src\\", 4) != 0) return 0;
    const char* relative = name + 4;
    if (relative[0] == '\0') return 0;
    for (const char* c = relative; *c != '\0'; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte < 0x20 || byte == 0x7F || strchr(":*?<>|\"", byte) != nullptr) return 0;
    }
    const char* start = relative;
    for (const char* c = relative;; ++c) {
        if (*c != '\0' && !IsNameSeparator(*c)) continue;
        const bool lastOfFolder = *c == '\0' && c == start && start != relative;
        if (!lastOfFolder && !IsSafeComponent(start, c)) return 0;
        if (*c == '\0') return 1;
        start = c + 1;
    }
}
