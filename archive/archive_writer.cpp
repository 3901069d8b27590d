// The archive writer. Headers go out byte by byte through the volume check and are completed later by
// writing back through a patch position that follows them into the next volume file if need be.
#include "archive/archive_writer.h"

#include <stdlib.h>
#include <string.h>

#include "archive/crc.h"
#include "archive/format.h"
#include "common/strings.h"

ArchiveWriter* UninstallWriter = nullptr;
unsigned char CopyBuffer[16384];

namespace {

constexpr uint32_t OutputBufferSize = 16384;

int OpenNextVolume(ArchiveWriter* writer) {
    // The volume count is one byte: volume 254 is the last one there can be.
    if (writer->currentVolume + 1u >= ArchiveFormat::MaxVolumes) return -1;
    char path[PathBufferSize];
    VolumePath(writer->basePath, writer->currentVolume + 1u, path);
    FileHandle next = FileOpen(path, FileMode::WriteNew);
    if (next == NoFile) return -1;
    FileClose(writer->file);
    writer->file = next;
    ++writer->currentVolume;
    return 0;
}

int WriteByte(ArchiveWriter* writer, uint8_t value) {
    if (FileTell(writer->file) >= writer->volumeSize && OpenNextVolume(writer) != 0) return -1;
    uint32_t done = 0;
    return FileWrite(writer->file, &value, 1, &done) && done == 1 ? 0 : -1;
}

int WriteU32(ArchiveWriter* writer, uint32_t value) {
    unsigned char bytes[4];
    PutU32(bytes, value);
    for (unsigned char byte : bytes)
        if (WriteByte(writer, byte) != 0) return -1;
    return 0;
}

// Writes count bytes, the part that fits in the current volume in one call and the rest into the next
// volumes.
int WriteBytes(ArchiveWriter* writer, const unsigned char* data, uint32_t count) {
    while (count > 0) {
        const uint32_t position = FileTell(writer->file);
        const uint32_t room = position < writer->volumeSize ? writer->volumeSize - position : 0;
        if (room == 0) {
            if (OpenNextVolume(writer) != 0) return -1;
            continue;
        }
        const uint32_t part = count < room ? count : room;
        uint32_t done = 0;
        if (!FileWrite(writer->file, data, part, &done) || done != part) return -1;
        data += part;
        count -= part;
    }
    return 0;
}

// Writes the compressed bytes waiting in the output buffer.
int WritePendingOutput(ArchiveWriter* writer) {
    if (WriteBytes(writer, writer->outputBuffer, writer->pendingOutput) != 0) return -1;
    writer->pendingOutput = 0;
    writer->stream.next_out = writer->outputBuffer;
    writer->stream.avail_out = OutputBufferSize;
    return 0;
}

// Writes one byte at the patch position, in whichever volume file holds it.
int WriteBackByte(ArchiveWriter* writer, uint8_t value) {
    if (writer->patchPosition >= writer->volumeSize) {
        ++writer->patchVolume;
        writer->patchPosition = 0;
    }
    uint32_t done = 0;
    if (writer->patchVolume < writer->currentVolume) {
        char path[PathBufferSize];
        VolumePath(writer->basePath, writer->patchVolume, path);
        FileHandle earlier = FileOpen(path, FileMode::WriteExisting);
        if (earlier == NoFile) return -1;
        const int written = FileSeek(earlier, writer->patchPosition) && FileWrite(earlier, &value, 1, &done);
        FileClose(earlier);
        if (!written || done != 1) return -1;
    } else {
        if (!FileSeek(writer->file, writer->patchPosition) || !FileWrite(writer->file, &value, 1, &done) ||
            done != 1 || FileSeekEnd(writer->file) == 0xFFFFFFFF)
            return -1;
    }
    ++writer->patchPosition;
    return 0;
}

// Writes bytes at the patch position: in one call when they lie in the current volume, as the header of
// every member but one that a volume boundary cuts does, else byte by byte through the volumes.
int WriteBack(ArchiveWriter* writer, const unsigned char* bytes, uint32_t count) {
    if (writer->patchVolume == writer->currentVolume && writer->patchPosition < writer->volumeSize &&
        count <= writer->volumeSize - writer->patchPosition) {
        uint32_t done = 0;
        if (!FileSeek(writer->file, writer->patchPosition) || !FileWrite(writer->file, bytes, count, &done) ||
            done != count || FileSeekEnd(writer->file) == 0xFFFFFFFF)
            return -1;
        writer->patchPosition += count;
        return 0;
    }
    for (uint32_t i = 0; i < count; ++i)
        if (WriteBackByte(writer, bytes[i]) != 0) return -1;
    return 0;
}

int WriteBackU32(ArchiveWriter* writer, uint32_t value) {
    unsigned char bytes[4];
    PutU32(bytes, value);
    for (unsigned char byte : bytes)
        if (WriteBackByte(writer, byte) != 0) return -1;
    return 0;
}

void FreeWriter(ArchiveWriter* writer) {
    if (writer->streamReady) deflateEnd(&writer->stream);
    FileClose(writer->file);
    free(writer->outputBuffer);
    free(writer);
}

}  // namespace

ArchiveWriter* CreateArchive(const char* path, uint32_t prefixLength, uint32_t volumeSize) {
    ArchiveWriter* writer = static_cast<ArchiveWriter*>(calloc(1, sizeof(ArchiveWriter)));
    if (writer == nullptr) return nullptr;
    writer->file = FileOpen(path, FileMode::WriteAlways);
    writer->outputBuffer = static_cast<unsigned char*>(malloc(OutputBufferSize));
    CopyBounded(sizeof writer->basePath, writer->basePath, path);
    writer->volumeSize = volumeSize;
    if (writer->file == NoFile || writer->outputBuffer == nullptr) {
        FreeWriter(writer);
        return nullptr;
    }
    writer->archiveStart = FileSeekEnd(writer->file);
    // The whole archive header must lie in volume 0, where the reader looks for it.
    const bool headerFits = uint64_t(writer->archiveStart) + ArchiveFormat::HeaderSize < volumeSize;
    if (writer->archiveStart == 0xFFFFFFFF || !headerFits || WriteU32(writer, 0) != 0 ||
        WriteU32(writer, 0) != 0 || WriteU32(writer, 0) != 0 || WriteByte(writer, 0) != 0 ||
        WriteU32(writer, 0) != 0) {
        FreeWriter(writer);
        return nullptr;
    }
    writer->totalSize = prefixLength + ArchiveFormat::HeaderSize;
    return writer;
}

int BeginMember(ArchiveWriter* writer, const char* name, uint32_t dosDateTime, uint32_t versionHigh,
                uint32_t versionLow) {
    if (writer == nullptr || writer->file == NoFile || writer->memberOpen || name == nullptr) return -1;
    const size_t nameLength = strlen(name);
    if (nameLength > ArchiveFormat::MaxNameLength) return -1;

    writer->patchVolume = writer->currentVolume;
    writer->patchPosition = FileTell(writer->file);
    writer->dosDateTime = dosDateTime;
    writer->versionHigh = versionHigh;
    writer->versionLow = versionLow;
    writer->runningCrc = 0;
    writer->nameLength = static_cast<uint8_t>(nameLength);
    writer->pendingOutput = 0;

    // The header in one write; tag, sizes and CRC stay zero until EndMember writes them back.
    unsigned char header[ArchiveFormat::MemberHeaderSize + ArchiveFormat::MaxNameLength] = {};
    PutU32(header + ArchiveFormat::MemberTimeOffset, dosDateTime);
    PutU32(header + ArchiveFormat::MemberVersionHighOffset, versionHigh);
    PutU32(header + ArchiveFormat::MemberVersionLowOffset, versionLow);
    header[ArchiveFormat::MemberNameLengthOffset] = writer->nameLength;
    memcpy(header + ArchiveFormat::MemberHeaderSize, name, nameLength);
    if (WriteBytes(writer, header, static_cast<uint32_t>(ArchiveFormat::MemberHeaderSize + nameLength)) != 0)
        return -1;

    if (writer->streamReady) {
        if (deflateReset(&writer->stream) != Z_OK) return -1;
    } else {
        memset(&writer->stream, 0, sizeof writer->stream);
        if (deflateInit2(&writer->stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) !=
            Z_OK)
            return -1;
        writer->streamReady = 1;
    }
    writer->stream.next_out = writer->outputBuffer;
    writer->stream.avail_out = OutputBufferSize;
    writer->memberOpen = 1;
    return 0;
}

int WriteMemberData(ArchiveWriter* writer, const void* data, uint32_t length) {
    if (writer == nullptr || writer->file == NoFile || !writer->memberOpen) return -1;
    if (length == 0) return 0;
    writer->runningCrc = UpdateCrc(writer->runningCrc, static_cast<const unsigned char*>(data), length);
    z_stream& stream = writer->stream;
    stream.next_in = static_cast<Bytef*>(const_cast<void*>(data));
    stream.avail_in = length;
    while (stream.avail_in > 0) {
        if (stream.avail_out == 0 && WritePendingOutput(writer) != 0) return -1;
        const uint32_t before = stream.avail_out;
        const int result = deflate(&stream, Z_NO_FLUSH);
        writer->pendingOutput += before - stream.avail_out;
        if (result != Z_OK) return -1;
    }
    return 0;
}

int EndMember(ArchiveWriter* writer) {
    if (writer == nullptr || writer->file == NoFile || !writer->memberOpen) return -1;
    z_stream& stream = writer->stream;
    int result = Z_OK;
    while (result == Z_OK) {
        if (stream.avail_out == 0 && WritePendingOutput(writer) != 0) return -1;
        const uint32_t before = stream.avail_out;
        result = deflate(&stream, Z_FINISH);
        writer->pendingOutput += before - stream.avail_out;
    }
    if (result != Z_STREAM_END) return -1;
    if (writer->pendingOutput > 0 && WritePendingOutput(writer) != 0) return -1;
    const uint32_t uncompressed = static_cast<uint32_t>(stream.total_in);
    const uint32_t compressed = static_cast<uint32_t>(stream.total_out);

    unsigned char patch[16];
    PutU32(patch + ArchiveFormat::MemberTagOffset, ArchiveFormat::MemberTag);
    PutU32(patch + ArchiveFormat::MemberSizeOffset, uncompressed);
    PutU32(patch + ArchiveFormat::MemberPackedSizeOffset, compressed);
    PutU32(patch + ArchiveFormat::MemberCrcOffset, writer->runningCrc);
    if (WriteBack(writer, patch, sizeof patch) != 0) return -1;
    writer->memberOpen = 0;
    writer->totalSize += writer->nameLength + compressed + ArchiveFormat::MemberHeaderSize;
    ++writer->memberCount;
    return 0;
}

int FinishArchive(ArchiveWriter* writer) {
    if (writer == nullptr) return -1;
    int result = -1;
    if (writer->file != NoFile) {
        writer->patchVolume = 0;
        writer->patchPosition = writer->archiveStart;
        if (WriteBackU32(writer, ArchiveFormat::ArchiveTag) == 0 &&
            WriteBackU32(writer, writer->totalSize) == 0 && WriteBackU32(writer, writer->volumeSize) == 0 &&
            WriteBackByte(writer, static_cast<uint8_t>(writer->currentVolume + 1)) == 0 &&
            WriteBackU32(writer, writer->memberCount) == 0)
            result = 0;
    }
    FreeWriter(writer);
    return result;
}

int AddMemberFromFile(FileHandle file, const char* name) {
    if (BeginMember(UninstallWriter, name, 0, ArchiveFormat::NoVersion, ArchiveFormat::NoVersion) != 0)
        return 0;
    if (!FileSeek(file, 0)) {
        EndMember(UninstallWriter);
        return 0;
    }
    for (;;) {
        uint32_t done = 0;
        if (!FileRead(file, CopyBuffer, sizeof CopyBuffer, &done) ||
            (done > 0 && WriteMemberData(UninstallWriter, CopyBuffer, done) != 0)) {
            EndMember(UninstallWriter);
            return 0;
        }
        if (done == 0) break;
    }
    return EndMember(UninstallWriter) == 0 ? 1 : 0;
}

int AddMemberFromMemory(const void* data, uint32_t size, const char* name) {
    if (BeginMember(UninstallWriter, name, 0, ArchiveFormat::NoVersion, ArchiveFormat::NoVersion) != 0)
        return 0;
    if (WriteMemberData(UninstallWriter, data, size) != 0) {
        EndMember(UninstallWriter);
        return 0;
    }
    return EndMember(UninstallWriter) == 0 ? 1 : 0;
}
