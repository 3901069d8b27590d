// The archive writer and reader against each other, on the host and (in win_tests) in 32 bits.
#include <gtest/gtest.h>
#include <zlib.h>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/crc.h"
#include "archive/format.h"
#include "tests/support/archive_fixture.h"

namespace {

using testsupport::FileBytes, testsupport::Member, testsupport::ReadArchive, testsupport::SampleNoise,
    testsupport::SampleText, testsupport::ScratchFolder, testsupport::SetFileBytes, testsupport::WriteArchive;

// Members that exercise empty data, incompressible data and several compressor output blocks.
std::vector<Member> SampleMembers() {
    return {
        {"KPII", "[General]\r\nTitle=Sample\r\n", 0x5A2E6B4Du, 0x00010002u, 0x00030004u},
        {"Src\\empty.txt", "", 0, 0xFFFFFFFF, 0xFFFFFFFF},
        {"Src\\sub\\", "", 0, 0xFFFFFFFF, 0xFFFFFFFF},
        {"Src\\sub\\noise.bin", SampleNoise(40000, 1)},
        {"Misc1", SampleText(300000, 2)},
    };
}

class ArchiveTest : public ::testing::Test {
  protected:
    ScratchFolder folder;
    const std::string path = folder.Path("SETUP.EXE");
};

TEST_F(ArchiveTest, RoundTripInOneFileAfterAPrefix) {
    const auto members = SampleMembers();
    ASSERT_TRUE(WriteArchive(path, 1000, ArchiveFormat::NotSplit, members));

    // The prefix is kept; the header describes the file exactly; the empty member has size 0 and CRC 0.
    const std::string bytes = FileBytes(path);
    EXPECT_EQ(bytes.substr(0, 1000), std::string(1000, 'M'));
    const auto* header = reinterpret_cast<const unsigned char*>(bytes.data()) + 1000;
    const auto* empty = header + 17 + 29 + 4 + GetU32(header + 17 + 8);
    EXPECT_EQ(
        (std::vector<uint32_t>{GetU32(header), GetU32(header + 4), GetU32(header + 8), header[12],
                               GetU32(header + 13), GetU32(empty), GetU32(empty + 4), GetU32(empty + 12)}),
        (std::vector<uint32_t>{ArchiveFormat::ArchiveTag, uint32_t(bytes.size()), ArchiveFormat::NotSplit, 1,
                               uint32_t(members.size()), ArchiveFormat::MemberTag, 0, 0}));
    const auto result = ReadArchive(path, 1000);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.members, members);
}

TEST_F(ArchiveTest, EveryVolumeBoundaryIsCrossedCorrectly) {
    // With every volume size from the smallest up, a boundary falls on every byte of headers and data.
    const std::vector<Member> members = {
        {"KPII", "[General]\r\nTitle=Straddle\r\n", 0x12345678u, 1, 2},
        {"KPWB", "", 0, 0xFFFFFFFF, 0xFFFFFFFF},
        {"Src\\a.txt", SampleText(900, 3), 0x5A2E6B4Du, 0x00050006u, 0x00070008u},
    };
    ASSERT_TRUE(WriteArchive(path, 16, ArchiveFormat::NotSplit, members));
    const uint32_t total = static_cast<uint32_t>(FileBytes(path).size());
    for (uint32_t volumeSize = 16 + ArchiveFormat::HeaderSize + 1; volumeSize <= total + 1; ++volumeSize) {
        SCOPED_TRACE("volume size " + std::to_string(volumeSize));
        ScratchFolder split;
        ASSERT_TRUE(WriteArchive(split.Path("SETUP.EXE"), 16, volumeSize, members));
        EXPECT_EQ(FileBytes(split.Path("SETUP.EXE")).size(), std::min(volumeSize, total));
        const auto result = ReadArchive(split.Path("SETUP.EXE"), 16);
        ASSERT_TRUE(result.ok);
        EXPECT_EQ(result.members, members);
    }
}

// Volumes are named after the package and asked for in order; a prompt that gives up ends the reading.
TEST_F(ArchiveTest, VolumesAreNamedAfterThePackageAndAskedForInOrder) {
    ASSERT_TRUE(WriteArchive(path, 0, 20000, SampleMembers()));
    std::vector<unsigned> volumes;
    for (unsigned v = 1; std::filesystem::exists(folder.Path("SETUP.00" + std::to_string(v))); ++v)
        volumes.push_back(v);
    ASSERT_GE(volumes.size(), 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Root()), {}),
              long(volumes.size() + 1));
    static std::vector<unsigned> asked;
    static unsigned refuseFrom;
    asked.clear(), refuseFrom = 1000;
    SetVolumePrompt([](unsigned volume) -> int {
        asked.push_back(volume);
        return volume >= refuseFrom ? 1 : 0;
    });
    EXPECT_TRUE(ReadArchive(path, 0).ok);
    EXPECT_EQ(asked, volumes);
    refuseFrom = 2;
    EXPECT_FALSE(ReadArchive(path, 0).ok);
    SetVolumePrompt([](unsigned) { return 0; });
}

// Cut anywhere, an archive is refused; with a bit of its data flipped, it is refused or reads right.
TEST_F(ArchiveTest, CutOrDamagedArchivesNeverReadAsGood) {
    const std::vector<Member> members = {{"KPII", "abc"}, {"Src\\x", SampleText(3000, 5)}};
    ASSERT_TRUE(WriteArchive(path, 8, ArchiveFormat::NotSplit, members));
    const std::string bytes = FileBytes(path), changed = folder.Path("changed.exe");
    for (size_t length = 0; length < bytes.size(); ++length) {
        SetFileBytes(changed, bytes.substr(0, length));
        EXPECT_FALSE(ReadArchive(changed, 8).ok) << "cut at " << length;
    }
    for (size_t at = bytes.find("Src\\x") + 5; at < bytes.size(); ++at) {
        for (int bit = 0; bit < 8; bit += 3) {
            std::string flipped = bytes;
            flipped[at] = static_cast<char>(flipped[at] ^ (1 << bit));
            SetFileBytes(changed, flipped);
            // Only a flip in the stream's unused final padding bits may pass, and then with the right data.
            const auto result = ReadArchive(changed, 8);
            EXPECT_TRUE(!result.ok || result.members == members) << "byte " << at;
        }
    }
}

// Headers made to mislead the reader, each refused at its step: opening; the walk to the next member,
// which must never leave the archive or go back; reading a member to memory, which must never reserve
// a claimed size up front (the sanitizer stops any allocation over 1 GiB).
enum class Step { Open, Walk, Read };
struct Field {
    uint32_t offset, value;  // offset from the archive's start
    int width = 4;
};
struct HostileCase {
    const char* name;
    std::vector<Field> fields;
    Step refusedAt;
    uint32_t volumeSize = ArchiveFormat::NotSplit;
    bool fillsFirstBuffer = false;  // a first member of 300000 bytes, and a MiB of zeros behind the archive
};

TEST_F(ArchiveTest, MisleadingHeadersAreRefused) {
    using namespace ArchiveFormat;
    constexpr uint32_t Prefix = 100, Size = HeaderSize + MemberSizeOffset,
                       Packed = HeaderSize + MemberPackedSizeOffset;
    // clang-format off
    const HostileCase cases[] = {
        {"volume size 0", {{HeaderVolumeSizeOffset, 0}}, Step::Open},
        {"volume size not past the header", {{HeaderVolumeSizeOffset, Prefix + HeaderSize}}, Step::Open},
        {"no volumes", {{HeaderVolumeCountOffset, 0, 1}}, Step::Open},
        {"total size below the header", {{HeaderTotalSizeOffset, Prefix + HeaderSize - 1}}, Step::Open},
        {"wrong tag", {{HeaderTagOffset, 0x48415046u}}, Step::Open},
        // Back onto its own header made an empty member install again and again.
        {"wraps to its own header", {{Packed, 0u - (MemberHeaderSize + 4)}}, Step::Walk},
        {"ends past the total size", {{Packed, 5000}}, Step::Walk},
        {"volume 256 cut to volume 0", {{Packed, 256u * 400u}}, Step::Walk, 400},
        {"4 GiB from a few compressed bytes", {{Size, 0xFFFFFFFF}}, Step::Read},
        {"4 GiB, data ending long before", {{Size, 0xFFFFFFFF}, {Packed, 0x00400000}}, Step::Read},
        // Past the ratio check with real data in the first buffer: growing the buffer wrapped the size on
        // a 32-bit system (it freed the block and then freed it again).
        {"4 GiB - 1, a full first buffer", {{Size, 0xFFFFFFFF}, {Packed, 0x00500000}}, Step::Read, NotSplit,
         true}};
    // clang-format on
    for (const HostileCase& c : cases) {
        const std::vector<Member> members =
            c.fillsFirstBuffer ? std::vector<Member>{{"KPII", SampleText(300000, 4)}, {"Misc1", "tail"}}
                               : std::vector<Member>{{"KPII", "x"}, {"Src\\a.txt", SampleNoise(600, 3)}};
        ASSERT_TRUE(WriteArchive(path, Prefix, c.volumeSize, members)) << c.name;
        std::string bytes = FileBytes(path);
        for (const Field& f : c.fields) {
            unsigned char field[4];
            PutU32(field, f.value);
            bytes.replace(Prefix + f.offset, f.width, reinterpret_cast<char*>(field), f.width);
        }
        if (c.fillsFirstBuffer) bytes += std::string(1 << 20, '\0');  // compressed blocks beyond the data
        SetFileBytes(path, bytes);
        uint32_t size = 1;
        for (uint32_t* wanted : {&size, static_cast<uint32_t*>(nullptr)}) {
            ArchiveReader* reader = OpenArchive(path.c_str(), Prefix);
            EXPECT_EQ(reader == nullptr, c.refusedAt == Step::Open) << c.name;
            if (reader == nullptr) break;
            const bool refused = c.refusedAt == Step::Walk ? NextMember(reader) == -1
                                                           : ReadMemberToMemoryOf(reader, wanted) == nullptr;
            EXPECT_TRUE(refused) << c.name;
            CloseArchive(reader);
        }
        EXPECT_EQ(size, c.refusedAt == Step::Read ? 0u : 1u) << c.name;
    }
    EXPECT_EQ(OpenArchive(folder.Path("missing.exe").c_str(), 0), nullptr);
}

// The module's package reader skips unread and partly read data and reads whole members with a NUL after.
TEST_F(ArchiveTest, WalkSkipsUnreadAndPartlyReadData) {
    const auto members = SampleMembers();
    ASSERT_TRUE(WriteArchive(path, 0, 50000, members));  // data spans volumes too
    PackageReader = OpenArchive(path.c_str(), 0);
    ASSERT_NE(PackageReader, nullptr);
    EXPECT_EQ(NextMember(PackageReader), 0);  // KPII never opened

    unsigned char* data = ReadMemberToMemory(nullptr);  // the empty member: a buffer, NUL at once
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[0], 0);
    free(data);
    EXPECT_EQ(NextMember(PackageReader), 0);  // folder member
    EXPECT_EQ(NextMember(PackageReader), 0);
    ASSERT_EQ(OpenMemberData(PackageReader), 0);
    char part[1234];
    ASSERT_EQ(ReadMemberData(PackageReader, part, sizeof part), int(sizeof part));  // partly read
    EXPECT_EQ(std::string(part, sizeof part), members[3].data.substr(0, sizeof part));
    ASSERT_EQ(NextMember(PackageReader), 0);

    uint32_t size = 0;
    data = ReadMemberToMemory(&size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, members[4].data.size());
    EXPECT_TRUE(reinterpret_cast<char*>(data) == members[4].data);  // NUL after the data
    free(data);
    for (int end : {1, 2}) EXPECT_EQ(NextMember(PackageReader), -2) << end;
    EXPECT_EQ(CloseArchive(PackageReader), 0);
    PackageReader = nullptr;
}

TEST_F(ArchiveTest, WriterRefusesWhatTheFormatCannotHold) {
    SetFileBytes(path, std::string(100, 'M'));
    ArchiveWriter* writer = CreateArchive(path.c_str(), 100, ArchiveFormat::NotSplit);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(BeginMember(writer, std::string(256, 'n').c_str(), 0, 0, 0), -1);  // past its header buffer
    ASSERT_EQ(BeginMember(writer, std::string(255, 'n').c_str(), 0, 0, 0), 0);
    EXPECT_EQ(EndMember(writer), 0);
    EXPECT_EQ(FinishArchive(writer), 0);
    auto result = ReadArchive(path, 100);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.members[0].name, std::string(255, 'n'));
}

}  // namespace

// The folded CRC agrees with zlib's at every length around its block sizes, any alignment, in pieces.
TEST(CrcTest, AgreesWithZlibAtEveryLengthAndAlignment) {
    std::vector<unsigned char> data(70000);
    uint32_t state = 12345;
    for (unsigned char& byte : data)
        byte = static_cast<unsigned char>((state = state * 1103515245 + 12345) >> 16);
    for (size_t length : {0, 1, 15, 16, 63, 64, 65, 79, 80, 127, 128, 129, 1000, 16384, 65537}) {
        for (size_t offset : {0, 1, 7}) {
            const unsigned char* piece = data.data() + offset;
            const uint32_t expected = crc32(crc32(0, nullptr, 0), piece, static_cast<uInt>(length));
            EXPECT_EQ(UpdateCrc(0, piece, length), expected) << length << " bytes at " << offset;
            const size_t half = length / 2;
            EXPECT_EQ(UpdateCrc(UpdateCrc(0, piece, half), piece + half, length - half), expected)
                << length << " bytes at " << offset << " in two pieces";
        }
    }
}
