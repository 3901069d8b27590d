// The archive reader. Header bytes are read one at a time through the volume check, so a header may
// continue in the next volume file at any byte; compressed data is read in blocks of up to 16 KiB.
#include "archive/archive_reader.h"

#include <stdlib.h>
#include <string.h>
#ifndef _WIN32
#include <strings.h>
#endif

#include "archive/crc.h"
#include "archive/dos_time.h"
#include "archive/format.h"
#include "common/strings.h"

ArchiveReader* PackageReader = nullptr;

namespace {

VolumePromptFunction VolumePrompt = nullptr;

// Largest expansion raw deflate can reach: a 258-byte match in two bits.
constexpr uint64_t MaxInflateRatio = 1032;

// Closes the current volume file and opens volume number `volume`, asking the prompt first.
int OpenVolume(ArchiveReader* reader, unsigned volume) {
    FileClose(reader->file);
    reader->file = NoFile;
    if (VolumePrompt != nullptr && VolumePrompt(volume) != 0) return -1;
    char path[PathBufferSize];
    VolumePath(reader->basePath, volume, path);
    reader->file = FileOpen(path, FileMode::ReadExisting);
    reader->aheadPosition = reader->aheadFilled = reader->aheadUsed = 0;
    if (reader->file == NoFile) return -1;
    reader->currentVolume = static_cast<uint8_t>(volume);
    return 0;
}

int NextVolume(ArchiveReader* reader) {
    if (reader->currentVolume + 1u >= reader->volumeCount) return -1;
    return OpenVolume(reader, reader->currentVolume + 1u);
}

uint32_t Position(const ArchiveReader* reader) { return reader->aheadPosition + reader->aheadUsed; }

// Moves the reading position in the current volume; within the bytes read ahead nothing is read again.
int SeekTo(ArchiveReader* reader, uint32_t offset) {
    if (offset >= reader->aheadPosition && offset - reader->aheadPosition <= reader->aheadFilled) {
        reader->aheadUsed = offset - reader->aheadPosition;
        return 0;
    }
    if (!FileSeek(reader->file, offset)) return -1;
    reader->aheadPosition = offset;
    reader->aheadFilled = reader->aheadUsed = 0;
    return 0;
}

// Reads ahead once everything read is used: the rest of the volume up to ReadAheadSize bytes, or from
// the next volume when this one is done. The file stands at the end of what was read ahead.
int ReadAhead(ArchiveReader* reader) {
    while (reader->aheadUsed == reader->aheadFilled) {
        const uint32_t position = Position(reader);
        if (position >= reader->volumeSize) {
            if (NextVolume(reader) != 0) return -1;
            continue;
        }
        const uint32_t room = reader->volumeSize - position;
        uint32_t done = 0;
        if (!FileRead(reader->file, reader->ahead, room < ReadAheadSize ? room : ReadAheadSize, &done) ||
            done == 0)
            return -1;
        reader->aheadPosition = position;
        reader->aheadFilled = done;
        reader->aheadUsed = 0;
    }
    return 0;
}

// Passes over the member's compressed bytes that inflate did not need: they must be there all the same,
// or the member is cut short.
int SkipCompressedRest(ArchiveReader* reader) {
    while (reader->compressedLeft > 0) {
        if (ReadAhead(reader) != 0) return -1;
        const uint32_t available = reader->aheadFilled - reader->aheadUsed;
        const uint32_t part = reader->compressedLeft < available ? reader->compressedLeft : available;
        reader->aheadUsed += part;
        reader->compressedLeft -= part;
    }
    return 0;
}

int ReadByte(ArchiveReader* reader, uint8_t* value) {
    if (ReadAhead(reader) != 0) return -1;
    *value = reader->ahead[reader->aheadUsed++];
    return 0;
}

int ReadU32(ArchiveReader* reader, uint32_t* value) {
    unsigned char bytes[4];
    for (unsigned char& byte : bytes)
        if (ReadByte(reader, &byte) != 0) return -1;
    *value = GetU32(bytes);
    return 0;
}

// Reads count bytes, through the volumes as they end.
int ReadBytes(ArchiveReader* reader, void* buffer, uint32_t count) {
    unsigned char* out = static_cast<unsigned char*>(buffer);
    while (count > 0) {
        if (ReadAhead(reader) != 0) return -1;
        const uint32_t available = reader->aheadFilled - reader->aheadUsed;
        const uint32_t part = count < available ? count : available;
        memcpy(out, reader->ahead + reader->aheadUsed, part);
        reader->aheadUsed += part;
        out += part;
        count -= part;
    }
    return 0;
}

// Reads the current member's header once.
int ReadMemberHeader(ArchiveReader* reader) {
    if (reader->headerRead) return 0;
    if (reader->file == NoFile) return -1;
    uint32_t tag = 0;
    if (ReadU32(reader, &tag) != 0 || tag != ArchiveFormat::MemberTag) return -1;
    if (ReadU32(reader, &reader->uncompressedLeft) != 0 || ReadU32(reader, &reader->compressedLeft) != 0 ||
        ReadU32(reader, &reader->storedCrc) != 0 || ReadU32(reader, &reader->dosDateTime) != 0 ||
        ReadU32(reader, &reader->versionHigh) != 0 || ReadU32(reader, &reader->versionLow) != 0 ||
        ReadByte(reader, &reader->nameLength) != 0 ||
        ReadBytes(reader, reader->name, reader->nameLength) != 0)
        return -1;
    reader->name[reader->nameLength] = '\0';
    reader->headerRead = 1;
    return 0;
}

void FreeReader(ArchiveReader* reader) {
    FileClose(reader->file);
    free(reader->ahead);
    free(reader);
}

// A header whose sizes cannot describe an archive starting at offset: reading it would divide by zero
// or look for volumes that cannot exist.
bool HeaderIsPlausible(const ArchiveReader* reader, uint32_t offset) {
    const uint64_t headerEnd = uint64_t(offset) + ArchiveFormat::HeaderSize;
    return reader->volumeSize > headerEnd && reader->volumeCount != 0 && reader->totalSize >= headerEnd;
}

}  // namespace

ArchiveReader* OpenArchive(const char* path, uint32_t offset) {
    ArchiveReader* reader = static_cast<ArchiveReader*>(calloc(1, sizeof(ArchiveReader)));
    if (reader == nullptr) return nullptr;
    reader->file = NoFile;
    reader->ahead = static_cast<unsigned char*>(malloc(ReadAheadSize));
    if (reader->ahead == nullptr) {
        FreeReader(reader);
        return nullptr;
    }
    reader->file = FileOpen(path, FileMode::ReadExisting);
    CopyBounded(sizeof reader->basePath, reader->basePath, path);
    reader->volumeSize = ArchiveFormat::NotSplit;

    uint32_t tag = 0, volumeSize = 0;
    if (reader->file == NoFile || SeekTo(reader, offset) != 0 || ReadU32(reader, &tag) != 0 ||
        tag != ArchiveFormat::ArchiveTag || ReadU32(reader, &reader->totalSize) != 0 ||
        ReadU32(reader, &volumeSize) != 0) {
        FreeReader(reader);
        return nullptr;
    }
    // From here on the header is bounded by its own volume size; what was read ahead past it belongs to
    // no volume.
    reader->volumeSize = volumeSize;
    const uint32_t inVolume = volumeSize > reader->aheadPosition ? volumeSize - reader->aheadPosition : 0;
    if (reader->aheadFilled > inVolume)
        reader->aheadFilled = inVolume > reader->aheadUsed ? inVolume : reader->aheadUsed;
    if (ReadByte(reader, &reader->volumeCount) != 0 || ReadU32(reader, &reader->memberCount) != 0 ||
        !HeaderIsPlausible(reader, offset)) {
        FreeReader(reader);
        return nullptr;
    }
    return reader;
}

int CloseArchive(ArchiveReader* reader) {
    if (reader == nullptr) return -1;
    if (reader->dataOpen) inflateEnd(&reader->stream);
    FreeReader(reader);
    return 0;
}

int SetVolumePrompt(VolumePromptFunction prompt) {
    if (prompt == nullptr) return -1;
    VolumePrompt = prompt;
    return 0;
}

int NextMember(ArchiveReader* reader) {
    if (reader == nullptr || reader->file == NoFile) return -1;
    if (reader->memberIndex < reader->memberCount) ++reader->memberIndex;
    if (reader->memberIndex >= reader->memberCount) return -2;
    if (ReadMemberHeader(reader) != 0) return -1;

    // The next header follows the data that is left, counted through the volumes in 64 bits: a damaged
    // size must not wrap round to a header already read, or into the module before the archive.
    const uint32_t position = Position(reader);
    // Volumes are stepped through rather than divided: at most 255 steps, and no 64-bit division
    // routine in the module.
    uint64_t end = uint64_t(position) + reader->compressedLeft;
    unsigned target = reader->currentVolume;
    for (; end >= reader->volumeSize; end -= reader->volumeSize) {
        if (++target >= reader->volumeCount) return -1;
    }
    if (uint64_t(target) * reader->volumeSize + end > reader->totalSize) return -1;
    const uint32_t offset = static_cast<uint32_t>(end);

    if (reader->dataOpen) inflateEnd(&reader->stream);
    reader->dataOpen = 0;
    if (target != reader->currentVolume && OpenVolume(reader, target) != 0) return -1;
    if (SeekTo(reader, offset) != 0) return -1;
    reader->headerRead = 0;
    return 0;
}

int OpenMemberData(ArchiveReader* reader) {
    if (reader == nullptr || reader->file == NoFile || reader->dataOpen) return -1;
    if (ReadMemberHeader(reader) != 0) return -1;
    reader->runningCrc = 0;
    memset(&reader->stream, 0, sizeof reader->stream);
    reader->stream.next_in = nullptr;
    reader->stream.avail_in = 0;
    if (inflateInit2(&reader->stream, -15) != Z_OK) return -1;
    reader->dataOpen = 1;
    return 0;
}

int ReadMemberData(ArchiveReader* reader, void* buffer, uint32_t length) {
    if (reader == nullptr || reader->file == NoFile || !reader->dataOpen || buffer == nullptr) return -1;
    // The count is returned as an int.
    constexpr uint32_t MaxCall = 0x40000000;
    uint32_t room = length < reader->uncompressedLeft ? length : reader->uncompressedLeft;
    if (room > MaxCall) room = MaxCall;
    if (room == 0) return 0;

    z_stream& stream = reader->stream;
    stream.next_out = static_cast<Bytef*>(buffer);
    stream.avail_out = room;
    uint32_t produced = 0;
    for (;;) {
        // Inflate reads the compressed bytes where they were read ahead.
        if (stream.avail_in == 0 && reader->compressedLeft > 0) {
            if (ReadAhead(reader) != 0) return -1;
            const uint32_t available = reader->aheadFilled - reader->aheadUsed;
            const uint32_t block = reader->compressedLeft < available ? reader->compressedLeft : available;
            stream.next_in = reader->ahead + reader->aheadUsed;
            stream.avail_in = block;
            reader->aheadUsed += block;
            reader->compressedLeft -= block;
        }
        const uint32_t before = stream.avail_out;
        const int result = inflate(&stream, Z_SYNC_FLUSH);
        const uint32_t made = before - stream.avail_out;
        reader->runningCrc = UpdateCrc(reader->runningCrc, stream.next_out - made, made);
        reader->uncompressedLeft -= made;
        produced += made;
        if (result == Z_STREAM_END) return static_cast<int>(produced);
        if (result != Z_OK) return -1;
        if (stream.avail_out == 0) return static_cast<int>(produced);
    }
}

int CloseMemberData(ArchiveReader* reader) {
    if (reader == nullptr || reader->file == NoFile || !reader->dataOpen) return -1;
    // Every compressed byte the header counts must be there, needed by inflate or not.
    const int complete = SkipCompressedRest(reader) == 0;
    if (inflateEnd(&reader->stream) != Z_OK || !complete || reader->runningCrc != reader->storedCrc)
        return -1;
    reader->dataOpen = 0;
    return 0;
}

int GetMemberInfoOf(ArchiveReader* reader, MemberInfo* info) {
    if (reader == nullptr || info == nullptr || ReadMemberHeader(reader) != 0) return 0;
    info->name = reader->name;
    info->uncompressedLeft = reader->uncompressedLeft;
    info->time = DosTimeToFileTime(reader->dosDateTime);
    info->versionHigh = reader->versionHigh;
    info->versionLow = reader->versionLow;
    return 1;
}

int GetMemberInfo(MemberInfo* info) { return GetMemberInfoOf(PackageReader, info); }

int MemberNameIsOf(ArchiveReader* reader, const char* name) {
    MemberInfo info;
    if (name == nullptr || !GetMemberInfoOf(reader, &info)) return 0;
#ifdef _WIN32
    return lstrcmpiA(info.name, name) == 0;
#else
    return strcasecmp(info.name, name) == 0;
#endif
}

int MemberNameIs(const char* name) { return MemberNameIsOf(PackageReader, name); }

unsigned char* ReadMemberToMemoryOf(ArchiveReader* reader, uint32_t* size) {
    if (size != nullptr) *size = 0;
    MemberInfo info;
    if (!GetMemberInfoOf(reader, &info)) return nullptr;
    const uint32_t wanted = info.uncompressedLeft;
    // A size the compressed data cannot produce is a damaged header.
    if (uint64_t(wanted) > uint64_t(reader->compressedLeft) * MaxInflateRatio + MaxInflateRatio)
        return nullptr;
    if (OpenMemberData(reader) != 0) return nullptr;

    // The buffer grows with the data that really arrives, so a header that claims more than the file
    // holds fails at the end of the data instead of reserving the claimed size at once. Sizes are
    // reckoned in 64 bits: on a 32-bit system the claimed size and its terminator need not fit a size_t.
    const uint64_t needed = uint64_t(wanted) + 1;
    uint64_t capacity = (wanted < ArchiveBufferSize * 4 ? wanted : ArchiveBufferSize * 4) + uint64_t(1);
    unsigned char* data = static_cast<unsigned char*>(malloc(static_cast<size_t>(capacity)));
    uint32_t got = 0;
    int count = 1;
    while (data != nullptr && got < wanted && count > 0) {
        if (got + uint64_t(1) == capacity) {
            const uint64_t doubled = capacity * 2;
            const uint64_t larger = doubled > needed ? needed : doubled;
            if (larger != static_cast<size_t>(larger)) break;
            unsigned char* grown = static_cast<unsigned char*>(realloc(data, static_cast<size_t>(larger)));
            if (grown == nullptr) break;
            data = grown;
            capacity = larger;
        }
        count = ReadMemberData(reader, data + got, static_cast<uint32_t>(capacity - 1 - got));
        if (count > 0) got += uint32_t(count);
    }
    if (CloseMemberData(reader) != 0 || data == nullptr || got != wanted) {
        free(data);
        return nullptr;
    }
    if (size != nullptr) {
        *size = wanted;
    } else {
        data[wanted] = '\0';
    }
    return data;
}

unsigned char* ReadMemberToMemory(uint32_t* size) { return ReadMemberToMemoryOf(PackageReader, size); }
