// The one way the archive code reaches files, so that it builds for Windows and natively: open with
// the sharing the module uses, read, write, position, size, close. Positions are 32-bit, as in the
// package format.
#pragma once

#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
using FileHandle = HANDLE;
#define NoFile INVALID_HANDLE_VALUE
#else
using FileHandle = int;
constexpr int NoFile = -1;

// The Windows file time: 100-nanosecond intervals since 1601-01-01, here without a time zone.
struct FILETIME {
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
};
#endif

enum class FileMode {
    ReadExisting,   // read; the file must exist; others may read too
    WriteExisting,  // write in place; the file must exist
    WriteAlways,    // write; opened if it exists (content kept), created if not
    WriteNew,       // write; created, or emptied if it exists
};

// NoFile on failure.
FileHandle FileOpen(const char* path, FileMode mode);
void FileClose(FileHandle file);

// 1 when the call succeeded; *done tells how many bytes moved (a short count is no failure here).
int FileRead(FileHandle file, void* buffer, uint32_t count, uint32_t* done);
int FileWrite(FileHandle file, const void* buffer, uint32_t count, uint32_t* done);

// Current position, or 0xFFFFFFFF on failure.
uint32_t FileTell(FileHandle file);
// 1 when the position is now at offset from the start.
int FileSeek(FileHandle file, uint32_t offset);
// Moves to the end; the new position (the size), or 0xFFFFFFFF on failure.
uint32_t FileSeekEnd(FileHandle file);
