// Path tests: absolute paths, roots and trailing backslashes, drive/folder/name/extension, joining, and
// which source-folder member names the module installs.
#include "common/paths.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "common/strings.h"

namespace {

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

void AppendTwice(char* path) {
    AppendBackslash(path);
    AppendBackslash(path);
}
void ToVolume(char* path) { ReplaceExtension(path, ".001"); }
void ToInformation(char* path) { ReplaceExtension(path, ".information"); }

// In place on a path buffer with guard bytes behind it, so that writing past 260 bytes shows.
TEST(InPlacePathTest, EditsStayWithinThePathBuffer) {
    const std::string full(259, 'a');
    const struct {
        const char* name;
        void (*edit)(char*);
        std::string path, expected;
    } cases[] = {
        {"AppendBackslash", AppendBackslash, " C:\\dir \t", "C:\\dir\\"},
        {"AppendBackslash twice", AppendTwice, " C:\\dir \t", "C:\\dir\\"},
        {"AppendBackslash", AppendBackslash, "  ", ""},
        {"AppendBackslash", AppendBackslash, full, full},
        // Roots keep their backslash.
        {"StripTrailingBackslash", StripTrailingBackslash, "C:\\", "C:\\"},
        {"StripTrailingBackslash", StripTrailingBackslash, "\\", "\\"},
        {"StripTrailingBackslash", StripTrailingBackslash, "\\\\", "\\\\"},
        {"StripTrailingBackslash", StripTrailingBackslash, "C:\\dir\\\\", "C:\\dir\\"},
        {"StripTrailingBackslash", StripTrailingBackslash, " C:\\dir\\ ", "C:\\dir"},
        {"StripTrailingBackslash", StripTrailingBackslash, "a\\", "a"},
        {"StripTrailingBackslash", StripTrailingBackslash, "C:", "C:"},
        {"StripTrailingBackslash", StripTrailingBackslash, "\\\\server\\share\\", "\\\\server\\share"},
        {"FixDriveRoot", FixDriveRoot, "C:", "C:\\"},
        {"FixDriveRoot", FixDriveRoot, "C:dir", "C:\\dir"},
        {"FixDriveRoot", FixDriveRoot, "C:\\dir", "C:\\dir"},
        {"FixDriveRoot", FixDriveRoot, "dir", "dir"},
        // A full buffer gives up its last character for the backslash.
        {"FixDriveRoot", FixDriveRoot, "C:" + std::string(256, 'a') + "z", "C:\\" + std::string(256, 'a')},
        // Only a real extension is replaced.
        {"ReplaceExtension", ToVolume, " C:\\pkg\\SETUP.EXE ", "C:\\pkg\\SETUP.001"},
        {"ReplaceExtension", ToVolume, "C:\\my.app\\SETUP", "C:\\my.app\\SETUP"},
        {"ReplaceExtension", ToVolume, "SETUP", "SETUP"},
        {"ReplaceExtension", ToInformation, std::string(255, 'a') + ".tmp", std::string(255, 'a') + ".inf"},
#ifndef _WIN32
        {"ReplaceExtension", [](char* path) { ReplaceExtension(path, ".002"); }, "/tmp/out/setup.exe",
         "/tmp/out/setup.002"},
#endif
    };
    for (const auto& c : cases) {
        char text[PathBufferSize + 8];
        memset(text, '#', sizeof text);
        CopyBounded(PathBufferSize, text, c.path.c_str());
        c.edit(text);
        EXPECT_EQ(std::string(text), c.expected) << c.name << "(\"" << c.path << "\")";
        EXPECT_EQ(text[PathBufferSize], '#') << c.name << "(\"" << c.path << "\")";
    }

    // Without room for the backslash nothing changes.
    char tight[4] = "C:";
    tight[3] = '#';
    FixDriveRootBounded(3, tight);
    EXPECT_STREQ(tight, "C:");
    EXPECT_EQ(tight[3], '#');
}

// DriveOf gives the drive letter or the server and share; FolderOf the folder without its trailing
// backslash except at a drive root; FileNameOf the part after the last backslash; ExtensionOf the last
// dot after the last colon and backslash.
TEST(PathPartsTest, EachPartOfManyForms) {
    const struct {
        const char* name;
        const char* (*part)(const char*);
        const char* path;
        const char* expected;
    } cases[] = {
        {"DriveOf", DriveOf, " C:\\dir\\file.txt ", "C:"},
        {"DriveOf", DriveOf, "d:file", "d:"},
        {"DriveOf", DriveOf, "\\\\server\\share\\dir\\file", "\\\\server\\share"},
        {"DriveOf", DriveOf, "\\\\server\\share", "\\\\server\\share"},
        {"DriveOf", DriveOf, "\\\\server\\", ""},
        {"DriveOf", DriveOf, "\\\\server", ""},
        {"DriveOf", DriveOf, "dir\\file", ""},
        {"DriveOf", DriveOf, "\\dir\\file", ""},
        {"FolderOf", FolderOf, "C:\\file.txt", "C:\\"},
        {"FolderOf", FolderOf, "C:file.txt", "C:\\"},
        {"FolderOf", FolderOf, "C:", "C:\\"},
        {"FolderOf", FolderOf, " C:\\dir\\sub\\file.txt ", "C:\\dir\\sub"},
        {"FolderOf", FolderOf, "C:\\dir\\", "C:\\dir"},
        {"FolderOf", FolderOf, "\\\\server\\share\\file.txt", "\\\\server\\share"},
        {"FolderOf", FolderOf, "\\\\server\\share", "\\\\server\\share"},
        {"FolderOf", FolderOf, "\\\\server", "\\\\server"},
        {"FolderOf", FolderOf, "file.txt", "file.txt"},
        {"FolderOf", FolderOf, "dir\\file.txt", "dir"},
        {"FolderOf", FolderOf, "\\file.txt", "\\"},
        {"FileNameOf", FileNameOf, "C:\\dir\\file.txt", "file.txt"},
        {"FileNameOf", FileNameOf, " file.txt ", "file.txt"},
        {"FileNameOf", FileNameOf, "C:file.txt", "file.txt"},
        {"FileNameOf", FileNameOf, "C:\\dir\\", ""},
        {"FileNameOf", FileNameOf, "\\\\server\\share\\file.txt", "file.txt"},
        {"FileNameOf", FileNameOf, "\\\\server\\share", ""},
        {"ExtensionOf", ExtensionOf, "C:\\dir\\file.txt", ".txt"},
        {"ExtensionOf", ExtensionOf, "archive.tar.gz ", ".gz"},
        {"ExtensionOf", ExtensionOf, "C:\\dir.d\\file", ""},
        {"ExtensionOf", ExtensionOf, "a.b:c", ""},
        {"ExtensionOf", ExtensionOf, "file.", "."},
        {"ExtensionOf", ExtensionOf, "", ""},
#ifndef _WIN32
        {"ExtensionOf", ExtensionOf, "/tmp/out.d/package", ""},  // a slash separates on the host
#endif
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.part(c.path), c.expected) << c.name << "(\"" << c.path << "\")";

    // Its own result may be passed back in.
    EXPECT_STREQ(FolderOf(FolderOf("C:\\a\\b\\file")), "C:\\a");
}

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

// Only paths that stay inside the install folder and name a plain file or folder there.
TEST(SourceMemberNames, OnlyPlainPathsInsideTheInstallFolderPass) {
    for (const char* good :
         {"Src\\a.txt", "Src\\sub\\deep\\b.txt", "Src\\empty\\", "Src\\a..b", "Src\\.hidden",
          "Src\\console.txt", "Src\\COM10", "Src\\nul-free\\CONFIG.SYS", "Src\\a b\\c"})
        EXPECT_EQ(IsSafeSourceMemberName(good), 1) << good;
    for (const char* bad :
         {// not a source member, or no path
          "Src\\", "Src", "Srcx\\a", "src\\a",
          // leaving the folder
          "Src\\..\\evil.dll", "Src\\a\\..\\..\\b", "Src\\..", "Src\\a/../../b", "Src\\... \\x",
          "Src\\\t..\\x.dll", "Src\\..\t\\x.dll", "Src\\ \\x", "Src\\a\\\\b",
          // drives, streams, shares and roots
          "Src\\C:\\Windows\\x.dll", "Src\\\\share\\x", "Src\\/x", "Src\\a:stream",
          // control characters and wildcards
          "Src\\a\x1b.txt", "Src\\a\x7f", "Src\\*.dll", "Src\\a?.txt", "Src\\a<b", "Src\\a>b", "Src\\a|b",
          "Src\\a\"b",
          // devices, with or without an extension, in any letter case
          "Src\\CON", "Src\\con.txt", "Src\\sub\\NUL", "Src\\Aux.dat", "Src\\prn\\x", "Src\\COM1",
          "Src\\lpt9.log", "Src\\CON .txt", "Src\\conout$", "Src\\nul. "})
        EXPECT_EQ(IsSafeSourceMemberName(bad), 0) << bad;
}

}  // namespace
