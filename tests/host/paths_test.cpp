// Path and string routines of the module, on buffers with guard bytes where they edit in place.
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

TEST(InPlacePathTest, EditsStayWithinThePathBuffer) {
    const std::string full(259, 'a'), a256(256, 'a'), a255(255, 'a');
    // clang-format off
    ExpectEdits("AppendBackslash", AppendBackslash,
                {{" C:\\dir \t", "C:\\dir\\"}, {"C:\\dir\\", "C:\\dir\\"}, {"  ", ""}, {full, full}});
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
                 {"SETUP", "SETUP"}});
    ExpectEdits("ReplaceExtension .information", [](char* path) { ReplaceExtension(path, ".information"); },
                {{a255 + ".tmp", a255 + ".inf"}});
    // clang-format on

    char tight[4] = {'C', ':', '\0', '#'};  // without room for the backslash nothing changes
    FixDriveRootBounded(3, tight);
    EXPECT_EQ(std::string(tight, 4), std::string("C:\0#", 4));
}

// Drive or share; folder (a drive root keeps its backslash); name after the last backslash; extension.
TEST(PathPartsTest, EachPartOfManyForms) {
    // clang-format off
    ExpectParts("DriveOf", DriveOf,
                {{" C:\\dir\\file.txt ", "C:"}, {"d:file", "d:"}, {"\\\\server\\", ""}, {"dir\\file", ""},
                 {"\\\\server\\share\\dir\\f", "\\\\server\\share"}, {"\\\\srv\\share", "\\\\srv\\share"}});
    ExpectParts("FolderOf", FolderOf,
                {{"C:\\file.txt", "C:\\"}, {"C:file.txt", "C:\\"}, {"C:\\dir\\", "C:\\dir"}, {"\\f", "\\"},
                 {" C:\\dir\\sub\\file.txt ", "C:\\dir\\sub"}, {"\\\\server\\share\\f", "\\\\server\\share"},
                 {"\\\\server", "\\\\server"}, {"file.txt", "file.txt"}, {"dir\\file.txt", "dir"}});
    ExpectParts("FileNameOf", FileNameOf,
                {{"C:\\dir\\file.txt", "file.txt"}, {"C:file.txt", "file.txt"}, {"C:\\dir\\", ""},
                 {"\\\\server\\share\\file.txt", "file.txt"}, {"\\\\server\\share", ""}});
    ExpectParts("ExtensionOf", ExtensionOf,
                {{"C:\\dir\\file.txt", ".txt"}, {"archive.tar.gz ", ".gz"}, {"C:\\dir.d\\file", ""},
                 {"a.b:c", ""}, {"file.", "."}, {"", ""}});
    // clang-format on
    // Its own result may be passed back in.
    EXPECT_STREQ(FolderOf(FolderOf("C:\\a\\b\\file")), "C:\\a");
}

TEST(JoinPathTest, ExactlyOneBackslashBetweenWithinThePathBuffer) {
    // clang-format off
    const char* const cases[][3] = {
        {"C:\\dir\\", "\\file.txt", "C:\\dir\\file.txt"}, {" C:\\dir ", "sub\\f.txt", "C:\\dir\\sub\\f.txt"},
        {"C:\\", "\\\\file.txt", "C:\\file.txt"}, {"C:\\dir", " \t", "C:\\dir"}, {"C:\\d", nullptr, "C:\\d"},
        {"", "\\sub\\file.txt", "sub\\file.txt"}};
    // clang-format on
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

TEST(BoundedTest, AppendAndCopyKeepTextAndTerminatorWithinSize) {
    // count a's, then what lands after them, in a buffer larger than a path buffer: overruns show as data.
    const std::tuple<size_t, const char*, const char*> cases[] = {{0, "C:\\dir", "C:\\dir"},
                                                                  {259, "xyz", ""},
                                                                  {250, "0123456789abcdef", "012345678"},
                                                                  {300, "x", ""},
                                                                  {5, nullptr, ""}};
    for (const auto& [count, addition, kept] : cases) {
        char buffer[2 * PathBufferSize] = {};
        memset(buffer, 'a', count);
        AppendBounded(260, buffer, addition);
        EXPECT_EQ(std::string(buffer), std::string(count, 'a') + kept) << count;
    }
    char text[PathBufferSize] = "C:";
    AppendBounded(0, text, "x");
    EXPECT_STREQ(text, "C:");

    char small[5];
    memset(small, 'z', sizeof small);
    CopyBounded(sizeof small, small, "abcdefgh");
    EXPECT_STREQ(small, "abcd");
    CopyBounded(sizeof small, small, nullptr);
    EXPECT_STREQ(small, "");
    strcpy(text, "  kept as is");  // copied onto itself, shifted
    CopyBounded(sizeof text, text, text + 2);
    EXPECT_STREQ(text, "kept as is");
}

// A key path of blanks and backslashes is blank: it would name a whole registry root.
TEST(BlankTest, OnlySpacesAndTabsAreBlank) {
    for (const char* root : {static_cast<const char*>(nullptr), "", " \\\\ \t\\"})
        EXPECT_EQ(IsBlankKeyPath(root), 1);
    for (const char* key : {"\\a\\", " x"}) EXPECT_EQ(IsBlankKeyPath(key), 0) << key;
}

// Trimming removes blanks only, backslashes go after the blanks; quoting adds only the missing quotes.
TEST(InPlaceEditTest, TrimAndQuote) {
    const char* const path = " \\\\dir\\file\\\\ ";
    // clang-format off
    ExpectEdits("Trim", Trim, {{"\t\r\n a \n\t ", "\r\n a \n"}, {" \t ", ""}});
    ExpectEdits("TrimBackslashes", TrimBackslashes, {{path, "dir\\file"}});
    ExpectEdits("QuotePath", QuotePath, {{"  C:\\Program Files\\app.exe ", "\"C:\\Program Files\\app.exe\""},
                {"\"C:\\a b\"", "\"C:\\a b\""}, {"\"C:\\a b", "\"C:\\a b\""}, {"C:\\a b\"", "\"C:\\a b\""},
                {"", "\"\""}});
    // clang-format on
    Trim(nullptr);

    // A quoted long path keeps within its buffer: the closing quote only goes in if there is room.
    for (size_t length : {257u, 259u}) {
        char text[PathBufferSize + 8];
        memset(text, '#', sizeof text);
        memset(text, 'a', length);
        text[length] = '\0';
        QuotePath(text);
        EXPECT_EQ(strlen(text), 259u);
        EXPECT_EQ(text[0], '"');
        EXPECT_EQ(text[258], length == 257 ? '"' : 'a');
        EXPECT_EQ(text[260], '#');
    }
}

TEST(NextFieldTest, SplitsAtEveryCommaThenGivesEmptyFieldsWithinBounds) {
    // clang-format off
    const std::pair<const char*, const char*> steps[] = {  // text given (null: go on), field expected
        {"one, two ,three", "one"}, {nullptr, " two "}, {nullptr, "three"}, {nullptr, ""}, {nullptr, ""},
        // Empty fields between and after commas; quotes are plain characters.
        {",\"a,b\",", ""}, {nullptr, "\"a"}, {nullptr, "b\""}, {nullptr, ""}, {nullptr, ""},
        {"p,q", "p"}, {nullptr, "q"}};
    // clang-format on
    for (const auto& [text, field] : steps) {
        char out[PathBufferSize];
        EXPECT_STREQ(NextField(out, text), field) << (text ? text : "null");
        EXPECT_STREQ(out, field);
    }
    EXPECT_STREQ(NextField(nullptr, nullptr), "");

    // SplitFields fills its buffers in order, the missing ones empty.
    char first[PathBufferSize], second[PathBufferSize], third[PathBufferSize];
    char* const fields[] = {first, second, third};
    using Fields = std::vector<std::string>;
    for (const auto& [text, expected] :
         {std::pair{"a,,b c", Fields{"a", "", "b c"}}, {"x", Fields{"x", "", ""}}}) {
        SplitFields(text, fields, 3);
        EXPECT_EQ(Fields(fields, fields + 3), expected) << text;
    }

    // A long text is cut to the split buffer; a long field is whole, its copy for the caller holds a path.
    EXPECT_EQ(strlen(NextField(nullptr, std::string(3000, 'f').c_str())), FieldBufferSize - 1);
    const std::string entry = std::string(1000, 'g') + ",next";
    char out[PathBufferSize + 8];
    memset(out, '#', sizeof out);
    EXPECT_EQ(strlen(NextField(out, entry.c_str())), 1000u);
    EXPECT_EQ(strlen(out), 259u);
    EXPECT_EQ(out[260], '#');
    EXPECT_STREQ(NextField(out, nullptr), "next");
}

TEST(GroupDigitsTest, CommaBeforeEveryThreeDigitsFromTheRight) {
    EXPECT_STREQ(GroupDigits(1000), "1,000");
    EXPECT_STREQ(GroupDigits(4294967295ul), "4,294,967,295");
}

}  // namespace
