// Absolute paths, roots and trailing backslashes, path parts, joining, and safe source member names.
#include "common/paths.h"

#include <gtest/gtest.h>
#include <string.h>

#include "common/strings.h"

namespace {

using Cases = std::vector<std::pair<std::string, std::string>>;

// Each path edited in place on a buffer with guard bytes behind it, so that writing past 260 bytes shows.
void ExpectEdits(const char* name, void (*edit)(char*), const Cases& cases) {
    for (const auto& [path, expected] : cases) {
        char text[PathBufferSize + 8];
        memset(text, '#', sizeof text);
        CopyBounded(PathBufferSize, text, path.c_str());
        edit(text);
        EXPECT_EQ(std::string(text) + text[PathBufferSize], expected + '#') << name << "(\"" << path << "\")";
    }
}

void ExpectParts(const char* name, const char* (*part)(const char*), const Cases& cases) {
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(part(path.c_str()), expected) << name << "(\"" << path << "\")";
}

TEST(IsAbsolutePathTest, DrivesAndNetworkPathsOnly) {
    for (const char* path : {"C:\\dir", "  c:", "\\\\server\\share"})
        EXPECT_EQ(IsAbsolutePath(path), 1) << path;
    for (const char* path : {"\\dir", "dir\\file", "C", "", static_cast<const char*>(nullptr)})
        EXPECT_EQ(IsAbsolutePath(path), 0) << (path ? path : "null");
}

TEST(InPlacePathTest, EditsStayWithinThePathBuffer) {
    const std::string full(259, 'a'), a256(256, 'a'), a255(255, 'a');
    // clang-format off
    ExpectEdits("AppendBackslash", AppendBackslash, {{" C:\\dir \t", "C:\\dir\\"}, {"  ", ""}, {full, full}});
    ExpectEdits("AppendBackslash twice", [](char* path) { AppendBackslash(path), AppendBackslash(path); },
                {{" C:\\dir \t", "C:\\dir\\"}});
    // Roots keep their backslash.
    ExpectEdits("StripTrailingBackslash", StripTrailingBackslash,
                {{"C:\\", "C:\\"}, {"\\", "\\"}, {"\\\\", "\\\\"}, {"C:\\dir\\\\", "C:\\dir\\"}, {"a\\", "a"},
                 {" C:\\dir\\ ", "C:\\dir"}, {"C:", "C:"}, {"\\\\server\\share\\", "\\\\server\\share"}});
    // A full buffer gives up its last character for the backslash.
    ExpectEdits("FixDriveRoot", FixDriveRoot, {{"C:", "C:\\"}, {"C:dir", "C:\\dir"}, {"C:\\dir", "C:\\dir"},
                                               {"dir", "dir"}, {"C:" + a256 + "z", "C:\\" + a256}});
    // Only a real extension is replaced.
    ExpectEdits("ReplaceExtension .001", [](char* path) { ReplaceExtension(path, ".001"); },
                {{" C:\\pkg\\SETUP.EXE ", "C:\\pkg\\SETUP.001"}, {"C:\\my.app\\SETUP", "C:\\my.app\\SETUP"},
                 {"SETUP", "SETUP"},
#ifndef _WIN32
                 {"/tmp/out/setup.exe", "/tmp/out/setup.001"}
#endif
                });
    ExpectEdits("ReplaceExtension .information", [](char* path) { ReplaceExtension(path, ".information"); },
                {{a255 + ".tmp", a255 + ".inf"}});
    // clang-format on

    char tight[4] = {'C', ':', '\0', '#'};  // without room for the backslash nothing changes
    FixDriveRootBounded(3, tight);
    EXPECT_EQ(std::string(tight, 4), std::string("C:\0#", 4));
}

// Drive letter or server and share; folder without its trailing backslash but at a drive root; the part
// after the last backslash; the last dot after the last colon and backslash.
TEST(PathPartsTest, EachPartOfManyForms) {
    // clang-format off
    ExpectParts("DriveOf", DriveOf,
                {{" C:\\dir\\file.txt ", "C:"}, {"d:file", "d:"}, {"\\\\server\\", ""}, {"\\\\server", ""},
                 {"\\\\server\\share\\dir\\file", "\\\\server\\share"}, {"dir\\file", ""},
                 {"\\\\server\\share", "\\\\server\\share"}, {"\\dir\\file", ""}});
    ExpectParts("FolderOf", FolderOf,
                {{"C:\\file.txt", "C:\\"}, {"C:file.txt", "C:\\"}, {"C:", "C:\\"}, {"C:\\dir\\", "C:\\dir"},
                 {" C:\\dir\\sub\\file.txt ", "C:\\dir\\sub"}, {"\\\\server\\share", "\\\\server\\share"},
                 {"\\\\server\\share\\file.txt", "\\\\server\\share"}, {"\\\\server", "\\\\server"},
                 {"file.txt", "file.txt"}, {"dir\\file.txt", "dir"}, {"\\file.txt", "\\"}});
    ExpectParts("FileNameOf", FileNameOf,
                {{"C:\\dir\\file.txt", "file.txt"}, {" file.txt ", "file.txt"}, {"C:file.txt", "file.txt"},
                 {"C:\\dir\\", ""}, {"\\\\server\\share\\file.txt", "file.txt"}, {"\\\\server\\share", ""}});
    ExpectParts("ExtensionOf", ExtensionOf,
                {{"C:\\dir\\file.txt", ".txt"}, {"archive.tar.gz ", ".gz"}, {"C:\\dir.d\\file", ""},
                 {"a.b:c", ""}, {"file.", "."}, {"", ""},
#ifndef _WIN32
                 {"/tmp/out.d/package", ""}  // a slash separates on the host
#endif
                });
    // clang-format on
    // Its own result may be passed back in.
    EXPECT_STREQ(FolderOf(FolderOf("C:\\a\\b\\file")), "C:\\a");
}

TEST(JoinPathTest, ExactlyOneBackslashBetweenWithinThePathBuffer) {
    const char* const cases[][3] = {{"C:\\dir\\", "\\file.txt", "C:\\dir\\file.txt"},
                                    {" C:\\dir ", "sub\\file.txt", "C:\\dir\\sub\\file.txt"},
                                    {"C:\\", "\\\\file.txt", "C:\\file.txt"},
                                    {"C:\\dir", " \t", "C:\\dir"},
                                    {"C:\\dir", nullptr, "C:\\dir"},
                                    {"", "\\sub\\file.txt", "sub\\file.txt"}};
    for (const auto& c : cases) EXPECT_STREQ(JoinPath(c[0], c[1]), c[2]) << c[0];

    // Results of earlier calls may be passed back in, in either place.
    EXPECT_STREQ(JoinPath(JoinPath("C:\\a", "b"), "c"), "C:\\a\\b\\c");
    EXPECT_STREQ(JoinPath("C:\\a", JoinPath("b", "c")), "C:\\a\\b\\c");

    EXPECT_EQ(std::string(JoinPath(std::string(250, 'f').c_str(), "0123456789abcdef")),
              std::string(250, 'f') + "\\01234567");
    EXPECT_EQ(strlen(JoinPath(std::string(400, 'f').c_str(), "x")), 259u);
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
