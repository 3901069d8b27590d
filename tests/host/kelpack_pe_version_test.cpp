// The packaging tool's version reader on a real DLL, on files that are no PE image, and on truncations.
#include "tools/kelpack/pe_version.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/kelpack_fixture.h"

namespace {

using PeVersionTest = KelpackTest;

TEST_F(PeVersionTest, ReadsTheFixedFileVersionOfADll) {
    FileVersion version = ReadFileVersion(KP_VERSIONED_DLL);
    EXPECT_EQ(version.high, 0x00010002u);
    EXPECT_EQ(version.low, 0x00030004u);
    EXPECT_EQ(FormatVersion(version.high, version.low), "1.2.3.4");
}

TEST_F(PeVersionTest, NoVersionForOtherFiles) {
    EXPECT_FALSE(ReadFileVersion(Write("readme.txt", "MZ but no image").string()).Known());
    EXPECT_FALSE(ReadFileVersion(Write("empty.dll", "").string()).Known());
    EXPECT_FALSE(ReadFileVersion(Path("missing.dll").string()).Known());
    EXPECT_EQ(FormatVersion(0xFFFFFFFF, 0xFFFFFFFF), "-");
}

// Every cut of the DLL must read as "no version" or as the right version, never as something else.
TEST_F(PeVersionTest, TruncatedImagesGiveNoVersion) {
    std::string image = Read(KP_VERSIONED_DLL);
    ASSERT_GT(image.size(), 1024u);
    for (size_t size = 0; size < image.size(); size += size < 1024 ? 7 : 61) {
        FileVersion version = ReadFileVersion(Write("cut.dll", image.substr(0, size)).string());
        if (version.Known()) {
            EXPECT_EQ(FormatVersion(version.high, version.low), "1.2.3.4") << "cut at " << size;
        }
    }
    // A damaged resource offset points nowhere useful.
    std::string damaged = image;
    size_t key = damaged.find(std::string("V\0S\0_\0V\0E\0R", 11));
    ASSERT_NE(key, std::string::npos);
    damaged[key] = 'X';
    EXPECT_FALSE(ReadFileVersion(Write("damaged.dll", damaged).string()).Known());
}

}  // namespace
