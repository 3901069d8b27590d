// Writer of the package archive: appends the archive header and raw-deflated members to a file,
// splits the output over volume files of a fixed size when asked, and writes back the header fields
// known only at the end, also where a header was split over two volumes.
// Results: 0 success, -1 failure, unless said otherwise.
#pragma once

#include <stdint.h>
#include <zlib.h>

#include "common/file_io.h"

struct ArchiveWriter {
    char basePath[260];
    uint32_t totalSize;
    uint32_t volumeSize;  // NotSplit for one file
    uint8_t currentVolume;
    uint32_t memberCount;
    FileHandle file;
    uint32_t archiveStart;
    uint8_t patchVolume;
    uint32_t patchPosition;
    int memberOpen;
    uint32_t runningCrc;
    uint32_t dosDateTime;
    uint32_t versionHigh, versionLow;
    uint8_t nameLength;
    unsigned char* outputBuffer;  // 16,384 bytes, owned
    uint32_t pendingOutput;
    // The deflate stream is made once and reset for every member: making it anew costs more than a
    // small member's data.
    int streamReady;
    z_stream stream;
};

// Opens (or creates) path and appends an archive header placeholder to whatever it holds.
// prefixLength: the bytes before the archive, counted in the total size. Null on failure.
ArchiveWriter* CreateArchive(const char* path, uint32_t prefixLength, uint32_t volumeSize);
int BeginMember(ArchiveWriter* writer, const char* name, uint32_t dosDateTime, uint32_t versionHigh,
                uint32_t versionLow);
int WriteMemberData(ArchiveWriter* writer, const void* data, uint32_t length);
int EndMember(ArchiveWriter* writer);
// Completes the archive header, closes the file and frees the writer (also after a failure).
int FinishArchive(ArchiveWriter* writer);

// The buffer that member extraction and member writing share: one copy at a time.
extern unsigned char CopyBuffer[16384];

// The writer the uninstall information file is built with. Written and finished by its builder.
extern ArchiveWriter* UninstallWriter;

// Members on UninstallWriter, with DOS time 0. 1 on success, 0 on failure.
int AddMemberFromFile(FileHandle file, const char* name);
int AddMemberFromMemory(const void* data, uint32_t size, const char* name);
