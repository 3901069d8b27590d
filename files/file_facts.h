// What the file phase compares: size, local last-write time and version of a member or a file on disk.
#pragma once

#include <windows.h>

struct VersionPair {
    DWORD high;  // dwFileVersionMS
    DWORD low;   // dwFileVersionLS; both 0xFFFFFFFF when there is no version
};

struct FileFacts {
    char path[260];
    DWORD size;
    FILETIME time;  // local time
    VersionPair version;
};

// Fills size, local time and version of the file named by facts->path; 1 if it exists.
int GetFileFacts(FileFacts* facts);
// The version from the file's version resource: 1, or 0 with both words 0xFFFFFFFF.
int GetFileVersionPair(const char* path, VersionPair* pair);
// Less than, equal to or greater than 0.
int CompareVersions(const VersionPair& a, const VersionPair& b);
// Raises the file's count under SharedDLLs; 1, or 0 when the key cannot be opened or created. A file
// that was there before this installation without a count already had a user: it counts 1 first.
int IncrementSharedCount(const char* path, int existedBefore);
// Lowers the file's count under SharedDLLs (the key is never created). 1 when the count was 1 and its
// value is now removed, so the file may go; 0 otherwise, also when the count was 0 or below (left as is).
int DecrementSharedCount(const char* path);
