// Forward-only reader of the package archive: one member after the other, inflated on demand, its
// CRC-32 checked at the end, following the data from volume file to volume file.
// Results: 0 success, -1 failure, -2 no further member, unless said otherwise.
#pragma once

#include <stdint.h>
#include <zlib.h>

#include "common/file_io.h"

constexpr uint32_t ArchiveBufferSize = 16384;
constexpr uint32_t ReadAheadSize = 65536;

struct ArchiveReader {
    char basePath[260];
    uint32_t totalSize;
    uint32_t volumeSize;  // NotSplit while the archive header itself is being read
    uint8_t volumeCount;
    uint32_t memberCount;
    uint8_t currentVolume;
    FileHandle file;
    uint32_t memberIndex;
    int dataOpen;
    int headerRead;
    uint32_t runningCrc;
    uint32_t uncompressedLeft;
    uint32_t compressedLeft;
    uint32_t storedCrc;
    uint32_t dosDateTime;
    uint32_t versionHigh, versionLow;
    uint8_t nameLength;
    char name[256];
    // Bytes of the current volume read ahead of the reading position: headers and compressed data are
    // taken from here, so that a member costs a share of one large read instead of a read for every
    // header byte. The reading position in the volume is aheadPosition + aheadUsed.
    unsigned char* ahead;  // ReadAheadSize bytes, owned
    uint32_t aheadPosition;
    uint32_t aheadFilled;
    uint32_t aheadUsed;
    z_stream stream;
};

// The view of the current member that consumers get.
struct MemberInfo {
    const char* name;           // inside the reader, valid until the next NextMember
    uint32_t uncompressedLeft;  // the member's size until its data is read
    FILETIME time;              // local time, converted from the DOS date/time
    uint32_t versionHigh, versionLow;
};

// Called before another volume file is opened, with its number; returns 0 when that file can now be
// opened, non-zero to give up. Never called for an archive of one volume.
using VolumePromptFunction = int (*)(unsigned volume);

// The reader the module works on: the package in install mode, the uninstall information file while
// it is unpacked. Written by the mode that opens it; read by the operations below that name it.
extern ArchiveReader* PackageReader;

// A new reader positioned before the first member, or null when the file cannot be opened or its
// header is damaged.
ArchiveReader* OpenArchive(const char* path, uint32_t offset);
int CloseArchive(ArchiveReader* reader);
// Installs the prompt for all readers; -1 and no change for a null callback.
int SetVolumePrompt(VolumePromptFunction prompt);

// Moves to the next member, skipping what is left of the current one's data.
int NextMember(ArchiveReader* reader);
int OpenMemberData(ArchiveReader* reader);
// Bytes produced (0 when the member is exhausted), or -1.
int ReadMemberData(ArchiveReader* reader, void* buffer, uint32_t length);
// 0 only when the CRC-32 of everything produced equals the stored one.
int CloseMemberData(ArchiveReader* reader);

// The same on a given reader, and the forms on PackageReader. 1 on success, 0 on failure.
int GetMemberInfoOf(ArchiveReader* reader, MemberInfo* info);
int GetMemberInfo(MemberInfo* info);
// 1 when the current member's name equals name without regard to letter case.
int MemberNameIsOf(ArchiveReader* reader, const char* name);
int MemberNameIs(const char* name);

// The whole current member in a new buffer (release it with free), or null. With size, *size is set to
// the member's size; without, a NUL follows the data.
unsigned char* ReadMemberToMemoryOf(ArchiveReader* reader, uint32_t* size);
unsigned char* ReadMemberToMemory(uint32_t* size);
