// Member names as paths and volume sizes as authors write them.
#include <gtest/gtest.h>

#include "tools/kelpack/member_paths.h"
#include "tools/kelpack/tool_error.h"
#include "tools/kelpack/volume_size.h"

namespace {

TEST(MemberPathsTest, SafeNamesStayBelowTheFolder) {
    for (const char* name : {"KPII", "Misc12", "Src\\a\\b.txt", "Src\\empty\\", "Src\\..data\\x", "Src\\a.b"})
        EXPECT_EQ(UnsafeMemberName(name), "") << name;
    EXPECT_EQ(MemberTargetPath("out", "Src\\a\\b.txt"), std::filesystem::path("out") / "Src" / "a" / "b.txt");
    EXPECT_EQ(MemberTargetPath("out", "Src\\empty\\"), std::filesystem::path("out") / "Src" / "empty");
    EXPECT_TRUE(IsFolderMember("Src\\empty\\"));
}

TEST(MemberPathsTest, NamesThatWouldEscapeAreRefused) {
    for (const char* name : {"", "\\x", "/x", "C:x", "Src\\a:stream", "Src\\..\\x", "Src/../x", "..",
                             "Src\\.\\x", "Src\\\\x", "Src\\. .\\x", "Src\\...\\x", "Src\\x\\\\"})
        EXPECT_NE(UnsafeMemberName(name), "") << name;
}

TEST(VolumeSizeTest, BytesUnitsAndDisketteNames) {
    EXPECT_EQ(ParseVolumeSize("1457664"), 1457664u);
    EXPECT_EQ(ParseVolumeSize("1.44M"), 1457664u);
    EXPECT_EQ(ParseVolumeSize("1.2m"), 1228800u);
    EXPECT_EQ(ParseVolumeSize("700K"), 716800u);
    EXPECT_EQ(ParseVolumeSize("100M"), 104857600u);
    for (const char* bad : {"", "0", "1.5M", "12Q", "K", "4096M", "99999999999", "-5"})
        EXPECT_THROW(ParseVolumeSize(bad), UsageError) << bad;
}

}  // namespace
