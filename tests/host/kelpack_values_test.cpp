// Values kelpack reads and writes: member names as paths, DOS date/time values, DLL versions.
#include "tests/support/kelpack_fixture.h"
#include "tools/kelpack/dos_time.h"
#include "tools/kelpack/member_paths.h"
#include "tools/kelpack/pe_version.h"

namespace {

TEST(MemberPathsTest, OnlyNamesThatStayBelowTheFolderAreSafe) {
    for (const char* name : {"KPII", "Misc12", "Src\\a\\b.txt", "Src\\empty\\", "Src\\..data\\x", "Src\\a.b"})
        EXPECT_EQ(UnsafeMemberName(name), "") << name;
    for (const char* name : {"", "\\x", "/x", "C:x", "Src\\a:stream", "Src\\..\\x", "Src/../x", "..",
                             "Src\\.\\x", "Src\\\\x", "Src\\. .\\x", "Src\\...\\x", "Src\\x\\\\"})
        EXPECT_NE(UnsafeMemberName(name), "") << name;
}

// The date in the high half, the time in the low half in two-second steps, clamped to 1980..2107.
TEST(DosTimeTest, PacksFormatsAndRoundTripsWithinTheFormatsYears) {
    const auto dos = [](int year, int month, int day, int hour, int minute, int second) {
        std::tm t{};
        t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day;
        t.tm_hour = hour, t.tm_min = minute, t.tm_sec = second;
        return DosDateTimeFromTm(t);
    };
    const uint32_t value = dos(2024, 3, 15, 13, 45, 31);
    EXPECT_EQ(value >> 16, (44u << 9) | (3u << 5) | 15u);
    EXPECT_EQ(value & 0xFFFF, (13u << 11) | (45u << 5) | 15u);
    EXPECT_EQ(FormatDosDateTime(dos(1970, 1, 1, 0, 0, 0)), "1980-01-01 00:00:00");
    EXPECT_EQ(FormatDosDateTime(dos(2200, 6, 1, 0, 0, 0)), "2107-12-31 23:59:58");
    EXPECT_EQ(TimeOfDosDateTime(DosDateTimeOf(1700000001)), 1700000000);  // local time there and back
}

using PeVersionTest = KelpackTest;

// A missing DLL gives no version; every cut of one reads as no version or as the right one.
TEST_F(PeVersionTest, NoImageOrACutOneGivesNoVersion) {
    std::string image = Read(KP_VERSIONED_DLL);
    ASSERT_GT(image.size(), 1024u);
    EXPECT_FALSE(ReadFileVersion(At("missing.dll")).Known());
    for (size_t size = 0; size < image.size(); size += size < 1024 ? 7 : 61) {
        FileVersion version = ReadFileVersion(Write("cut.dll", image.substr(0, size)).string());
        EXPECT_TRUE(!version.Known() || FormatVersion(version.high, version.low) == "1.2.3.4")
            << "cut at " << size << ": " << FormatVersion(version.high, version.low);
    }
}

}  // namespace
