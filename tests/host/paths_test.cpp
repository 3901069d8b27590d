// Path tests: absolute paths, roots and trailing backslashes, drive/folder/name/extension, joining.
#include "common/paths.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "common/strings.h"

namespace {

// A path buffer with guard bytes behind it, so that writing past 260 bytes shows.
struct PathBuffer {
    char text[PathBufferSize + 8];
    explicit PathBuffer(const std::string& value) {
        memset(text, '#', sizeof text);
        CopyBounded(PathBufferSize, text, value.c_str());
    }
    bool GuardIntact() const { return text[PathBufferSize] == '#'; }
};

TEST(IsAbsolutePathTest, DrivesAndNetworkPathsOnly) {
    EXPECT_EQ(IsAbsolutePath("C:\\dir"), 1);
    EXPECT_EQ(IsAbsolutePath("  c:"), 1);
    EXPECT_EQ(IsAbsolutePath("\\\\server\\share"), 1);
    EXPECT_EQ(IsAbsolutePath("\\dir"), 0);
    EXPECT_EQ(IsAbsolutePath("dir\\file"), 0);
    EXPECT_EQ(IsAbsolutePath("C"), 0);
    EXPECT_EQ(IsAbsolutePath(""), 0);
    EXPECT_EQ(IsAbsolutePath(nullptr), 0);
}

TEST(AppendBackslashTest, TrimsAndAddsOneBackslash) {
    PathBuffer plain(" C:\\dir \t");
    AppendBackslash(plain.text);
    EXPECT_STREQ(plain.text, "C:\\dir\\");
    AppendBackslash(plain.text);
    EXPECT_STREQ(plain.text, "C:\\dir\\");

    PathBuffer blank("  ");
    AppendBackslash(blank.text);
    EXPECT_STREQ(blank.text, "");

    PathBuffer full(std::string(259, 'a'));
    AppendBackslash(full.text);
    EXPECT_EQ(strlen(full.text), 259u);
    EXPECT_TRUE(full.GuardIntact());
}

TEST(StripTrailingBackslashTest, RootsKeepTheirBackslash) {
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {
        {"C:\\", "C:\\"},
        {"\\", "\\"},
        {"\\\\", "\\\\"},
        {"C:\\dir\\\\", "C:\\dir\\"},
        {" C:\\dir\\ ", "C:\\dir"},
        {"a\\", "a"},
        {"C:", "C:"},
        {"\\\\server\\share\\", "\\\\server\\share"},
    };
    for (const auto& c : cases) {
        PathBuffer path(c.path);
        StripTrailingBackslash(path.text);
        EXPECT_STREQ(path.text, c.expected) << "for " << c.path;
    }
}

TEST(FixDriveRootTest, InsertsBackslashAfterColon) {
    PathBuffer lone("C:");
    FixDriveRoot(lone.text);
    EXPECT_STREQ(lone.text, "C:\\");

    PathBuffer relative("C:dir");
    FixDriveRoot(relative.text);
    EXPECT_STREQ(relative.text, "C:\\dir");

    PathBuffer rooted("C:\\dir");
    FixDriveRoot(rooted.text);
    EXPECT_STREQ(rooted.text, "C:\\dir");

    PathBuffer other("dir");
    FixDriveRoot(other.text);
    EXPECT_STREQ(other.text, "dir");

    // A full buffer gives up its last character for the backslash.
    PathBuffer full("C:" + std::string(256, 'a') + "z");
    FixDriveRoot(full.text);
    EXPECT_EQ(strlen(full.text), 259u);
    EXPECT_EQ(full.text[2], '\\');
    EXPECT_EQ(full.text[258], 'a');
    EXPECT_TRUE(full.GuardIntact());

    // Without room for the backslash nothing changes.
    char tight[4] = "C:";
    tight[3] = '#';
    FixDriveRootBounded(3, tight);
    EXPECT_STREQ(tight, "C:");
    EXPECT_EQ(tight[3], '#');
}

TEST(DriveOfTest, DriveLetterOrServerAndShare) {
    EXPECT_STREQ(DriveOf(" C:\\dir\\file.txt "), "C:");
    EXPECT_STREQ(DriveOf("d:file"), "d:");
    EXPECT_STREQ(DriveOf("\\\\server\\share\\dir\\file"), "\\\\server\\share");
    EXPECT_STREQ(DriveOf("\\\\server\\share"), "\\\\server\\share");
    EXPECT_STREQ(DriveOf("\\\\server\\"), "");
    EXPECT_STREQ(DriveOf("\\\\server"), "");
    EXPECT_STREQ(DriveOf("dir\\file"), "");
    EXPECT_STREQ(DriveOf("\\dir\\file"), "");
}

TEST(FolderOfTest, FolderWithoutTrailingBackslashExceptDriveRoot) {
    EXPECT_STREQ(FolderOf("C:\\file.txt"), "C:\\");
    EXPECT_STREQ(FolderOf("C:file.txt"), "C:\\");
    EXPECT_STREQ(FolderOf("C:"), "C:\\");
    EXPECT_STREQ(FolderOf(" C:\\dir\\sub\\file.txt "), "C:\\dir\\sub");
    EXPECT_STREQ(FolderOf("C:\\dir\\"), "C:\\dir");
    EXPECT_STREQ(FolderOf("\\\\server\\share\\file.txt"), "\\\\server\\share");
    EXPECT_STREQ(FolderOf("\\\\server\\share"), "\\\\server\\share");
    EXPECT_STREQ(FolderOf("\\\\server"), "\\\\server");
    EXPECT_STREQ(FolderOf("file.txt"), "file.txt");
    EXPECT_STREQ(FolderOf("dir\\file.txt"), "dir");
    EXPECT_STREQ(FolderOf("\\file.txt"), "\\");

    // Its own result may be passed back in.
    EXPECT_STREQ(FolderOf(FolderOf("C:\\a\\b\\file")), "C:\\a");
}

TEST(FileNameOfTest, PartAfterLastBackslash) {
    EXPECT_STREQ(FileNameOf("C:\\dir\\file.txt"), "file.txt");
    EXPECT_STREQ(FileNameOf(" file.txt "), "file.txt");
    EXPECT_STREQ(FileNameOf("C:file.txt"), "file.txt");
    EXPECT_STREQ(FileNameOf("C:\\dir\\"), "");
    EXPECT_STREQ(FileNameOf("\\\\server\\share\\file.txt"), "file.txt");
    EXPECT_STREQ(FileNameOf("\\\\server\\share"), "");
}

TEST(ExtensionOfTest, LastDotAfterLastColonAndBackslash) {
    EXPECT_STREQ(ExtensionOf("C:\\dir\\file.txt"), ".txt");
    EXPECT_STREQ(ExtensionOf("archive.tar.gz "), ".gz");
    EXPECT_STREQ(ExtensionOf("C:\\dir.d\\file"), "");
    EXPECT_STREQ(ExtensionOf("a.b:c"), "");
    EXPECT_STREQ(ExtensionOf("file."), ".");
    EXPECT_STREQ(ExtensionOf(""), "");
}

TEST(ReplaceExtensionTest, ReplacesOnlyARealExtension) {
    PathBuffer package(" C:\\pkg\\SETUP.EXE ");
    ReplaceExtension(package.text, ".001");
    EXPECT_STREQ(package.text, "C:\\pkg\\SETUP.001");

    PathBuffer folderDot("C:\\my.app\\SETUP");
    ReplaceExtension(folderDot.text, ".001");
    EXPECT_STREQ(folderDot.text, "C:\\my.app\\SETUP");

    PathBuffer none("SETUP");
    ReplaceExtension(none.text, ".001");
    EXPECT_STREQ(none.text, "SETUP");

    PathBuffer longName(std::string(255, 'a') + ".tmp");
    ReplaceExtension(longName.text, ".information");
    EXPECT_EQ(strlen(longName.text), 259u);
    EXPECT_EQ(std::string(longName.text + 255), ".inf");
    EXPECT_TRUE(longName.GuardIntact());
}

#ifndef _WIN32
TEST(ExtensionOfTest, SlashSeparatesOnHost) {
    EXPECT_STREQ(ExtensionOf("/tmp/out.d/package"), "");
    PathBuffer volume("/tmp/out/setup.exe");
    ReplaceExtension(volume.text, ".002");
    EXPECT_STREQ(volume.text, "/tmp/out/setup.002");
}
#endif

TEST(JoinPathTest, ExactlyOneBackslashBetween) {
    EXPECT_STREQ(JoinPath("C:\\dir\\", "\\file.txt"), "C:\\dir\\file.txt");
    EXPECT_STREQ(JoinPath(" C:\\dir ", "sub\\file.txt"), "C:\\dir\\sub\\file.txt");
    EXPECT_STREQ(JoinPath("C:\\", "\\\\file.txt"), "C:\\file.txt");
    EXPECT_STREQ(JoinPath("C:\\dir", " \t"), "C:\\dir");
    EXPECT_STREQ(JoinPath("C:\\dir", nullptr), "C:\\dir");
    EXPECT_STREQ(JoinPath("", "\\sub\\file.txt"), "sub\\file.txt");

    // Results of earlier calls may be passed back in, in either place.
    EXPECT_STREQ(JoinPath(JoinPath("C:\\a", "b"), "c"), "C:\\a\\b\\c");
    EXPECT_STREQ(JoinPath("C:\\a", JoinPath("b", "c")), "C:\\a\\b\\c");
}

TEST(JoinPathTest, BoundedToPathBuffer) {
    std::string folder(250, 'f');
    std::string joined = JoinPath(folder.c_str(), "0123456789abcdef");
    EXPECT_EQ(joined.size(), 259u);
    EXPECT_EQ(joined.substr(250), "\\01234567");

    std::string longFolder(400, 'f');
    EXPECT_EQ(strlen(JoinPath(longFolder.c_str(), "x")), 259u);
}

}  // namespace
