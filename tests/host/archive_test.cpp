// The archive writer and reader against each other: round trips, volume boundaries at every byte,
// truncation, damaged data and headers, and the reader's member walk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/format.h"
#include "tests/support/archive_fixture.h"

namespace {

using testsupport::Member;

// Members that exercise empty data, incompressible data and several compressor output blocks.
std::vector<Member> SampleMembers() {
    return {
        {"KPII", "[General]\r\nTitle=Sample\r\n", 0x5A2E6B4Du, 0x00010002u, 0x00030004u},
        {"Src\\empty.txt", "", 0, 0xFFFFFFFF, 0xFFFFFFFF},
        {"Src\\sub\\", "", 0, 0xFFFFFFFF, 0xFFFFFFFF},
        {"Src\\sub\\noise.bin", testsupport::SampleNoise(40000, 1)},
        {"Misc1", testsupport::SampleText(300000, 2)},
    };
}

void ExpectSameMembers(const std::vector<Member>& read, const std::vector<Member>& written) {
    ASSERT_EQ(read.size(), written.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].name, written[i].name);
        EXPECT_TRUE(read[i].data == written[i].data) << written[i].name;
        EXPECT_EQ(read[i].dosDateTime, written[i].dosDateTime);
        EXPECT_EQ(read[i].versionHigh, written[i].versionHigh);
        EXPECT_EQ(read[i].versionLow, written[i].versionLow);
    }
}

TEST(Archive, RoundTripInOneFileAfterAPrefix) {
    testsupport::ScratchFolder folder;
    const std::string path = folder.Path("SETUP.EXE");
    const auto members = SampleMembers();
    ASSERT_TRUE(testsupport::WriteArchive(path, 1000, ArchiveFormat::NotSplit, members));

    // The prefix is kept, and the header describes the file exactly.
    const std::string bytes = testsupport::FileBytes(path);
    EXPECT_EQ(bytes.substr(0, 1000), std::string(1000, 'M'));
    const auto* header = reinterpret_cast<const unsigned char*>(bytes.data()) + 1000;
    EXPECT_EQ(GetU32(header), ArchiveFormat::ArchiveTag);
    EXPECT_EQ(GetU32(header + 4), bytes.size());
    EXPECT_EQ(GetU32(header + 8), ArchiveFormat::NotSplit);
    EXPECT_EQ(header[12], 1);
    EXPECT_EQ(GetU32(header + 13), members.size());
    // The empty member: an empty raw deflate stream, size 0, CRC 0.
    const auto* first = header + 17;
    const auto* empty = first + 29 + 4 + GetU32(first + 8);
    EXPECT_EQ(GetU32(empty), ArchiveFormat::MemberTag);
    EXPECT_EQ(GetU32(empty + 4), 0u);
    EXPECT_EQ(GetU32(empty + 12), 0u);

    auto result = testsupport::ReadArchive(path, 1000);
    EXPECT_TRUE(result.ok);
    ExpectSameMembers(result.members, members);
}

TEST(Archive, EveryVolumeBoundaryIsCrossedCorrectly) {
    // Small members, so that the smallest volume size still needs fewer than 255 volumes; with every
    // size from the smallest possible up, a boundary falls on every byte of headers, names and data.
    const std::vector<Member> members = {
        {"KPII", "[General]\r\nTitle=Straddle\r\n", 0x12345678u, 1, 2},
        {"KPWB", "", 0, 0xFFFFFFFF, 0xFFFFFFFF},
        {"Src\\a.txt", testsupport::SampleText(900, 3), 0x5A2E6B4Du, 0x00050006u, 0x00070008u},
    };
    testsupport::ScratchFolder folder;
    const uint32_t prefix = 16;
    ASSERT_TRUE(
        testsupport::WriteArchive(folder.Path("whole.exe"), prefix, ArchiveFormat::NotSplit, members));
    const uint32_t total = static_cast<uint32_t>(testsupport::FileBytes(folder.Path("whole.exe")).size());

    for (uint32_t volumeSize = prefix + ArchiveFormat::HeaderSize + 1; volumeSize <= total + 1;
         ++volumeSize) {
        SCOPED_TRACE("volume size " + std::to_string(volumeSize));
        testsupport::ScratchFolder split;
        const std::string path = split.Path("SETUP.EXE");
        ASSERT_TRUE(testsupport::WriteArchive(path, prefix, volumeSize, members));
        const uint32_t volumes = (total + volumeSize - 1) / volumeSize;
        EXPECT_EQ(testsupport::FileBytes(path).size(), volumes > 1 ? volumeSize : total);
        auto result = testsupport::ReadArchive(path, prefix);
        ASSERT_TRUE(result.ok);
        ExpectSameMembers(result.members, members);
    }
}

TEST(Archive, VolumesAreNamedAfterThePackageAndAskedForInOrder) {
    testsupport::ScratchFolder folder;
    const std::string path = folder.Path("SETUP.EXE");
    ASSERT_TRUE(testsupport::WriteArchive(path, 0, 20000, SampleMembers()));
    std::vector<unsigned> volumes;
    for (unsigned volume = 1; std::filesystem::exists(folder.Path("SETUP.00" + std::to_string(volume)));
         ++volume)
        volumes.push_back(volume);
    ASSERT_GE(volumes.size(), 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Root()), {}),
              long(volumes.size() + 1));

    static std::vector<unsigned> asked;
    static int refuseFrom;
    asked.clear();
    refuseFrom = 1000;
    ASSERT_EQ(SetVolumePrompt([](unsigned volume) -> int {
                  asked.push_back(volume);
                  return volume >= unsigned(refuseFrom) ? 1 : 0;
              }),
              0);
    EXPECT_TRUE(testsupport::ReadArchive(path, 0).ok);
    EXPECT_EQ(asked, volumes);

    // A prompt that gives up ends the reading; so does a missing volume file.
    refuseFrom = 2;
    EXPECT_FALSE(testsupport::ReadArchive(path, 0).ok);
    refuseFrom = 1000;
    std::filesystem::remove(folder.Path("SETUP.002"));
    EXPECT_FALSE(testsupport::ReadArchive(path, 0).ok);
    EXPECT_EQ(SetVolumePrompt(nullptr), -1);
    SetVolumePrompt([](unsigned) { return 0; });
}

TEST(Archive, TruncationAnywhereIsAnError) {
    testsupport::ScratchFolder folder;
    const std::string whole = folder.Path("whole.exe"), cut = folder.Path("cut.exe");
    const std::vector<Member> members = {{"KPII", "abc"}, {"Src\\x", testsupport::SampleText(2000, 4)}};
    ASSERT_TRUE(testsupport::WriteArchive(whole, 8, ArchiveFormat::NotSplit, members));
    const std::string bytes = testsupport::FileBytes(whole);
    for (size_t length = 0; length < bytes.size(); ++length) {
        testsupport::SetFileBytes(cut, bytes.substr(0, length));
        EXPECT_FALSE(testsupport::ReadArchive(cut, 8).ok) << "cut at " << length;
    }
}

TEST(Archive, DamagedDataNeverReadsAsGood) {
    testsupport::ScratchFolder folder;
    const std::string whole = folder.Path("whole.exe"), damaged = folder.Path("damaged.exe");
    const std::vector<Member> members = {{"Src\\x", testsupport::SampleText(3000, 5)}};
    ASSERT_TRUE(testsupport::WriteArchive(whole, 0, ArchiveFormat::NotSplit, members));
    const std::string bytes = testsupport::FileBytes(whole);
    const size_t dataStart = 17 + 29 + members[0].name.size();
    for (size_t at = dataStart; at < bytes.size(); ++at) {
        for (int bit = 0; bit < 8; bit += 3) {
            std::string flipped = bytes;
            flipped[at] = static_cast<char>(flipped[at] ^ (1 << bit));
            testsupport::SetFileBytes(damaged, flipped);
            auto result = testsupport::ReadArchive(damaged, 0);
            // Only a flip in the stream's unused final padding bits may pass, and then with the right data.
            if (result.ok) {
                EXPECT_TRUE(result.members[0].data == members[0].data) << "byte " << at;
            }
        }
    }
}

TEST(Archive, DamagedHeadersAreRefused) {
    testsupport::ScratchFolder folder;
    const std::string path = folder.Path("p.exe");
    ASSERT_TRUE(testsupport::WriteArchive(path, 100, ArchiveFormat::NotSplit, {{"KPII", "x"}}));
    const std::string good = testsupport::FileBytes(path);
    auto withHeaderField = [&](size_t offset, uint32_t value, int width) {
        std::string bytes = good;
        unsigned char field[4];
        PutU32(field, value);
        bytes.replace(100 + offset, width, reinterpret_cast<char*>(field), width);
        testsupport::SetFileBytes(path, bytes);
        return OpenArchive(path.c_str(), 100);
    };
    EXPECT_EQ(withHeaderField(8, 0, 4), nullptr);            // volume size 0
    EXPECT_EQ(withHeaderField(8, 100 + 17, 4), nullptr);     // volume size not past the header
    EXPECT_EQ(withHeaderField(12, 0, 1), nullptr);           // no volumes
    EXPECT_EQ(withHeaderField(4, 100 + 16, 4), nullptr);     // total size below the header
    EXPECT_EQ(withHeaderField(0, 0x48415046u, 4), nullptr);  // wrong tag
    EXPECT_EQ(OpenArchive(folder.Path("missing.exe").c_str(), 0), nullptr);

    // A member claiming 4 GiB of data from a few compressed bytes: refused, nothing allocated.
    std::string bytes = good;
    unsigned char huge[4];
    PutU32(huge, 0xFFFFFFFF);
    bytes.replace(100 + 17 + 4, 4, reinterpret_cast<char*>(huge), 4);
    testsupport::SetFileBytes(path, bytes);
    ArchiveReader* reader = OpenArchive(path.c_str(), 100);
    ASSERT_NE(reader, nullptr);
    uint32_t size = 1;
    EXPECT_EQ(ReadMemberToMemoryOf(reader, nullptr), nullptr);
    EXPECT_EQ(ReadMemberToMemoryOf(reader, &size), nullptr);
    EXPECT_EQ(size, 0u);
    CloseArchive(reader);
}

TEST(Archive, WalkSkipsUnreadAndPartlyReadData) {
    testsupport::ScratchFolder folder;
    const std::string path = folder.Path("SETUP.EXE");
    const auto members = SampleMembers();
    ASSERT_TRUE(testsupport::WriteArchive(path, 0, 50000, members));  // data spans volumes too
    ArchiveReader* reader = OpenArchive(path.c_str(), 0);
    ASSERT_NE(reader, nullptr);

    EXPECT_EQ(MemberNameIsOf(reader, "kpii"), 1);  // letter case does not matter
    EXPECT_EQ(MemberNameIsOf(reader, "KPI"), 0);
    EXPECT_EQ(NextMember(reader), 0);  // KPII never opened
    EXPECT_EQ(NextMember(reader), 0);  // empty member
    EXPECT_EQ(NextMember(reader), 0);  // folder member
    EXPECT_EQ(MemberNameIsOf(reader, "SRC\\SUB\\NOISE.BIN"), 1);
    ASSERT_EQ(OpenMemberData(reader), 0);
    char part[1234];
    ASSERT_EQ(ReadMemberData(reader, part, sizeof part), int(sizeof part));  // partly read
    EXPECT_EQ(std::string(part, sizeof part), members[3].data.substr(0, sizeof part));
    ASSERT_EQ(NextMember(reader), 0);

    uint32_t size = 0;
    unsigned char* misc = ReadMemberToMemoryOf(reader, &size);
    ASSERT_NE(misc, nullptr);
    EXPECT_EQ(size, members[4].data.size());
    EXPECT_TRUE(std::string(reinterpret_cast<char*>(misc), size) == members[4].data);
    free(misc);
    EXPECT_EQ(NextMember(reader), -2);
    EXPECT_EQ(NextMember(reader), -2);
    EXPECT_EQ(CloseArchive(reader), 0);
    EXPECT_EQ(CloseArchive(nullptr), -1);
}

TEST(Archive, PackageReaderFormsAndTextMembers) {
    testsupport::ScratchFolder folder;
    const std::string path = folder.Path("p.exe");
    ASSERT_TRUE(testsupport::WriteArchive(
        path, 0, ArchiveFormat::NotSplit,
        {{"kpii", "Title=x", 0x5A2E6B4Du, 0x00020007u, 0x00000001u}, {"KPWB", ""}}));
    PackageReader = OpenArchive(path.c_str(), 0);
    ASSERT_NE(PackageReader, nullptr);
    EXPECT_EQ(MemberNameIs("KPII"), 1);
    MemberInfo info;
    ASSERT_EQ(GetMemberInfo(&info), 1);
    EXPECT_STREQ(info.name, "kpii");
    EXPECT_EQ(info.uncompressedLeft, 7u);
    EXPECT_EQ(info.versionHigh, 0x00020007u);
    // 0x5A2E6B4D: 2025-01-14 13:26:26 as a DOS date/time.
    const uint64_t ticks = uint64_t(info.time.dwHighDateTime) << 32 | info.time.dwLowDateTime;
    EXPECT_EQ(ticks, 133813347860000000ull);

    unsigned char* text = ReadMemberToMemory(nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(reinterpret_cast<char*>(text), "Title=x");  // NUL after the data
    free(text);
    ASSERT_EQ(NextMember(PackageReader), 0);
    uint32_t size = 99;
    unsigned char* empty = ReadMemberToMemory(&size);
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(size, 0u);
    free(empty);
    CloseArchive(PackageReader);
    PackageReader = nullptr;
}

TEST(Archive, WriterRefusesWhatTheFormatCannotHold) {
    testsupport::ScratchFolder folder;
    const std::string path = folder.Path("w.exe");
    // The header must fit in volume 0 behind the prefix.
    testsupport::SetFileBytes(path, std::string(100, 'M'));
    EXPECT_EQ(CreateArchive(path.c_str(), 100, 117), nullptr);
    EXPECT_EQ(CreateArchive(path.c_str(), 100, 0), nullptr);

    ArchiveWriter* writer = CreateArchive(path.c_str(), 100, ArchiveFormat::NotSplit);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(BeginMember(writer, std::string(256, 'n').c_str(), 0, 0, 0), -1);
    ASSERT_EQ(BeginMember(writer, std::string(255, 'n').c_str(), 0, 0, 0), 0);
    EXPECT_EQ(BeginMember(writer, "second", 0, 0, 0), -1);  // one member at a time
    EXPECT_EQ(EndMember(writer), 0);
    EXPECT_EQ(EndMember(writer), -1);
    EXPECT_EQ(FinishArchive(writer), 0);
    auto result = testsupport::ReadArchive(path, 100);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.members[0].name, std::string(255, 'n'));
}

}  // namespace
