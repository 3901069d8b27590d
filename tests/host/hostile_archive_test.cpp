// The archive reader against headers made to mislead it: sizes that wrap in 32 bits, members that point
// outside the archive. Built for the host and, with the Windows tests, for the 32-bit module's world.
#include <gtest/gtest.h>

#include <string>

#include "archive/archive_reader.h"
#include "archive/format.h"
#include "tests/support/archive_fixture.h"

namespace {

constexpr uint32_t Prefix = 100;
constexpr uint32_t FirstMember = Prefix + ArchiveFormat::HeaderSize;

// The package's bytes with a u32 field replaced.
std::string WithU32(std::string bytes, size_t offset, uint32_t value) {
    unsigned char field[4];
    PutU32(field, value);
    bytes.replace(offset, 4, reinterpret_cast<char*>(field), 4);
    return bytes;
}

struct NextMemberCase {
    const char* name;
    uint32_t volumeSize;
    uint32_t packedSize;  // written into the first member's header
};

// A first member whose compressed size sends the walk anywhere but forward inside the archive must end
// it: back onto its own header (which made an empty member install again and again), past the total
// size, or into a volume number that only fits in 8 bits after a cut.
TEST(HostileArchive, TheWalkNeverLeavesTheArchiveOrGoesBack) {
    const uint32_t afterFirstHeader = FirstMember + ArchiveFormat::MemberHeaderSize + 4;  // name "KPII"
    const NextMemberCase cases[] = {
        {"wraps to its own header", ArchiveFormat::NotSplit, 0u - (afterFirstHeader - FirstMember)},
        {"ends past the total size", ArchiveFormat::NotSplit, 5000},
        {"volume 256 cut to volume 0", 400, 256u * 400u},
    };
    for (const NextMemberCase& c : cases) {
        testsupport::ScratchFolder folder;
        const std::string path = folder.Path("p.exe");
        ASSERT_TRUE(testsupport::WriteArchive(
            path, Prefix, c.volumeSize, {{"KPII", "x"}, {"Src\\a.txt", testsupport::SampleNoise(600, 3)}}));
        testsupport::SetFileBytes(
            path, WithU32(testsupport::FileBytes(path), FirstMember + ArchiveFormat::MemberPackedSizeOffset,
                          c.packedSize));
        ArchiveReader* reader = OpenArchive(path.c_str(), Prefix);
        ASSERT_NE(reader, nullptr) << c.name;
        EXPECT_EQ(NextMember(reader), -1) << c.name;
        CloseArchive(reader);
    }
}

// A member that claims 4 GiB - 1 bytes with enough compressed bytes to pass the ratio check, and whose
// real data fills the first buffer: growing the buffer must not wrap the size on a 32-bit system (it
// freed the block and then freed it again).
TEST(HostileArchive, AClaimedSizeNearFourGigabytesIsRefusedCleanly) {
    testsupport::ScratchFolder folder;
    const std::string path = folder.Path("p.exe");
    ASSERT_TRUE(testsupport::WriteArchive(path, Prefix, ArchiveFormat::NotSplit,
                                          {{"KPII", testsupport::SampleText(300000, 4)}, {"Misc1", "tail"}}));
    std::string bytes = testsupport::FileBytes(path);
    bytes = WithU32(bytes, FirstMember + ArchiveFormat::MemberSizeOffset, 0xFFFFFFFFu);
    bytes = WithU32(bytes, FirstMember + ArchiveFormat::MemberPackedSizeOffset, 0x00500000u);
    bytes += std::string(1 << 20, '\0');  // compressed blocks to read beyond the real data
    testsupport::SetFileBytes(path, bytes);
    ArchiveReader* reader = OpenArchive(path.c_str(), Prefix);
    ASSERT_NE(reader, nullptr);
    uint32_t size = 1;
    EXPECT_EQ(ReadMemberToMemoryOf(reader, &size), nullptr);
    EXPECT_EQ(size, 0u);
    CloseArchive(reader);
}

}  // namespace
