// Archive throughput against plain zlib: the same payload compressed and expanded by the archive writer
// and reader (files, CRC, 16 KiB blocks) and by zlib's raw deflate and inflate writing and reading the
// same kind of file. Prints the times and the ratios archive/zlib measured in one run.
#include <stdio.h>
#include <zlib.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/format.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t Block = 16384;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Mixed data as an application tree has it: text, machine code-like bytes, zero runs and noise.
std::vector<unsigned char> MixedPayload(size_t size) {
    std::vector<unsigned char> data(size);
    std::mt19937 random(2027);
    static const char* const words[] = {"Setup ",   "install ", "{ProgramFiles}\\",
                                        "Kelpack ", "\r\n",     "value=1 "};
    size_t at = 0;
    while (at < size) {
        const size_t run = std::min<size_t>(size - at, 4096 + random() % 65536);
        switch (random() % 4) {
            case 0:  // text
                for (size_t i = 0; i < run;) {
                    const char* word = words[random() % 6];
                    for (; *word && i < run; ++word) data[at + i++] = static_cast<unsigned char>(*word);
                }
                break;
            case 1:  // code-like: few distinct bytes, short repeats
                for (size_t i = 0; i < run; ++i)
                    data[at + i] = static_cast<unsigned char>(0x8B + (random() % 7) * 3);
                break;
            case 2:  // zeros
                break;
            default:  // noise
                for (size_t i = 0; i < run; ++i) data[at + i] = static_cast<unsigned char>(random());
        }
        at += run;
    }
    return data;
}

double ArchiveWrite(const std::string& path, const std::vector<unsigned char>& data) {
    std::filesystem::remove(path);
    const auto start = Clock::now();
    ArchiveWriter* writer = CreateArchive(path.c_str(), 0, ArchiveFormat::NotSplit);
    bool ok = writer && BeginMember(writer, "Src\\payload.bin", 0, 0xFFFFFFFF, 0xFFFFFFFF) == 0;
    for (size_t at = 0; ok && at < data.size(); at += Block)
        ok = WriteMemberData(writer, data.data() + at, uint32_t(std::min(Block, data.size() - at))) == 0;
    ok = ok && EndMember(writer) == 0;
    ok = FinishArchive(writer) == 0 && ok;
    if (!ok) fprintf(stderr, "archive write failed\n");
    return Seconds(start);
}

double ArchiveRead(const std::string& path, size_t expected) {
    const auto start = Clock::now();
    ArchiveReader* reader = OpenArchive(path.c_str(), 0);
    std::vector<unsigned char> out(Block);
    size_t total = 0;
    int count = 0;
    bool ok = reader && OpenMemberData(reader) == 0;
    while (ok && (count = ReadMemberData(reader, out.data(), Block)) > 0) total += count;
    ok = ok && count == 0 && CloseMemberData(reader) == 0 && total == expected;
    CloseArchive(reader);
    if (!ok) fprintf(stderr, "archive read failed\n");
    return Seconds(start);
}

// Many small members, as an application tree has them: what each member costs the reader beyond its
// data (its header, the walk to the next one).
constexpr size_t SmallMembers = 20000;

double ArchiveWriteSmall(const std::string& path, const std::vector<unsigned char>& data) {
    std::filesystem::remove(path);
    const auto start = Clock::now();
    ArchiveWriter* writer = CreateArchive(path.c_str(), 0, ArchiveFormat::NotSplit);
    bool ok = writer != nullptr;
    std::mt19937 random(7);
    for (size_t i = 0; ok && i < SmallMembers; ++i) {
        const size_t size = 256 + random() % 3840, at = random() % (data.size() - size);
        const std::string name =
            "Src\\folder" + std::to_string(i / 100) + "\\file" + std::to_string(i) + ".txt";
        ok = BeginMember(writer, name.c_str(), 0, 0xFFFFFFFF, 0xFFFFFFFF) == 0 &&
             WriteMemberData(writer, data.data() + at, uint32_t(size)) == 0 && EndMember(writer) == 0;
    }
    ok = FinishArchive(writer) == 0 && ok;
    if (!ok) fprintf(stderr, "archive write of small members failed\n");
    return Seconds(start);
}

double ArchiveReadSmall(const std::string& path) {
    const auto start = Clock::now();
    ArchiveReader* reader = OpenArchive(path.c_str(), 0);
    std::vector<unsigned char> out(Block);
    size_t members = 0;
    bool ok = reader != nullptr;
    while (ok) {
        MemberInfo info;
        int count = 0;
        ok = GetMemberInfoOf(reader, &info) && OpenMemberData(reader) == 0;
        while (ok && (count = ReadMemberData(reader, out.data(), Block)) > 0) {
        }
        ok = ok && count == 0 && CloseMemberData(reader) == 0;
        if (ok) ++members;
        if (!ok || NextMember(reader) != 0) break;
    }
    CloseArchive(reader);
    if (members != SmallMembers) fprintf(stderr, "archive read of small members failed\n");
    return Seconds(start);
}

double ZlibDeflate(const std::string& path, const std::vector<unsigned char>& data) {
    const auto start = Clock::now();
    FILE* file = fopen(path.c_str(), "wb");
    z_stream stream = {};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::vector<unsigned char> out(Block);
    stream.next_in = const_cast<unsigned char*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    int result = Z_OK;
    while (result != Z_STREAM_END) {
        stream.next_out = out.data();
        stream.avail_out = Block;
        result = deflate(&stream, Z_FINISH);
        fwrite(out.data(), 1, Block - stream.avail_out, file);
    }
    deflateEnd(&stream);
    fclose(file);
    return Seconds(start);
}

double ZlibInflate(const std::string& path, size_t expected) {
    const auto start = Clock::now();
    FILE* file = fopen(path.c_str(), "rb");
    z_stream stream = {};
    inflateInit2(&stream, -15);
    std::vector<unsigned char> in(Block), out(Block);
    size_t total = 0;
    int result = Z_OK;
    while (result == Z_OK) {
        if (stream.avail_in == 0) {
            stream.avail_in = static_cast<uInt>(fread(in.data(), 1, Block, file));
            stream.next_in = in.data();
        }
        stream.next_out = out.data();
        stream.avail_out = Block;
        result = inflate(&stream, Z_SYNC_FLUSH);
        total += Block - stream.avail_out;
    }
    inflateEnd(&stream);
    fclose(file);
    if (result != Z_STREAM_END || total != expected) fprintf(stderr, "zlib inflate failed\n");
    return Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
    const size_t megabytes = argc > 1 ? std::stoul(argv[1]) : 200;
    const std::string folder = (std::filesystem::temp_directory_path() / "kp-bench").string();
    std::filesystem::create_directories(folder);
    const auto data = MixedPayload(megabytes << 20);

    const double zlibWrite = ZlibDeflate(folder + "/payload.deflate", data);
    const double archiveWrite = ArchiveWrite(folder + "/payload.exe", data);
    const double zlibRead = ZlibInflate(folder + "/payload.deflate", data.size());
    const double archiveRead = ArchiveRead(folder + "/payload.exe", data.size());
    const auto packed = std::filesystem::file_size(folder + "/payload.exe");
    const double smallWrite = ArchiveWriteSmall(folder + "/small.exe", data);
    const double smallRead = ArchiveReadSmall(folder + "/small.exe");
    std::filesystem::remove_all(folder);

    printf("payload %zu MiB of mixed data, archive %.1f MiB\n", megabytes, double(packed) / (1 << 20));
    printf("write: archive %.2f s, zlib deflate %.2f s, ratio %.3f\n", archiveWrite, zlibWrite,
           archiveWrite / zlibWrite);
    printf("read:  archive %.2f s, zlib inflate %.2f s, ratio %.3f\n", archiveRead, zlibRead,
           archiveRead / zlibRead);
    printf("%zu small members (256 B to 4 KiB): write %.2f s, read %.2f s (%.1f us a member)\n", SmallMembers,
           smallWrite, smallRead, smallRead * 1e6 / SmallMembers);
    return 0;
}
