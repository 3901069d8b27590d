// Bounded appending and copying, trimming, quoting, field splitting and digit grouping.
#include "common/strings.h"

#include <gtest/gtest.h>
#include <string.h>

namespace {

TEST(BoundedTest, AppendAndCopyKeepTextAndTerminatorWithinSize) {
    // count copies of 'a' in a buffer larger than a path buffer, so that overruns show as data.
    const struct {
        size_t count;
        const char* addition;
        const char* kept;  // what lands after the a's
    } cases[] = {{0, "C:\\dir", "C:\\dir"},
                 {259, "xyz", ""},
                 {250, "0123456789abcdef", "012345678"},
                 {300, "x", ""},
                 {5, nullptr, ""}};
    for (const auto& c : cases) {
        char buffer[2 * PathBufferSize] = {};
        memset(buffer, 'a', c.count);
        AppendBounded(260, buffer, c.addition);
        EXPECT_EQ(std::string(buffer), std::string(c.count, 'a') + c.kept) << c.count;
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

TEST(BlankTest, OnlySpacesAndTabsAreBlank) {
    for (const char* blank : {static_cast<const char*>(nullptr), "", " \t \t"}) EXPECT_EQ(IsBlank(blank), 1);
    for (const char* text : {" x ", "\r\n"}) EXPECT_EQ(IsBlank(text), 0) << text;
    for (const char* root : {static_cast<const char*>(nullptr), "", " \\\\ \t\\"})
        EXPECT_EQ(IsBlankKeyPath(root), 1);
    for (const char* key : {"\\a\\", " x"}) EXPECT_EQ(IsBlankKeyPath(key), 0) << key;
}

void ExpectEdits(const char* name, void (*edit)(char*),
                 const std::vector<std::pair<const char*, const char*>>& cases) {
    for (const auto& [original, expected] : cases) {
        char text[PathBufferSize];
        strcpy(text, original);
        edit(text);
        EXPECT_STREQ(text, expected) << name << "(\"" << original << "\")";
    }
}

// Trimming removes blanks but no other white space, backslashes go after the blanks, and quoting adds
// only the quotes that are missing.
TEST(InPlaceEditTest, TrimAndQuote) {
    const char* const path = " \\\\dir\\file\\\\ ";
    // clang-format off
    ExpectEdits("TrimLeft", TrimLeft, {{" \t a b \t", "a b \t"}});
    ExpectEdits("TrimRight", TrimRight, {{" \t a b \t", " \t a b"}});
    ExpectEdits("Trim", Trim, {{"\t\r\n a \n\t ", "\r\n a \n"}, {" \t ", ""}});
    ExpectEdits("TrimLeftBackslashes", TrimLeftBackslashes, {{path, "dir\\file\\\\ "}, {"\\ dir", " dir"}});
    ExpectEdits("TrimRightBackslashes", TrimRightBackslashes, {{path, " \\\\dir\\file"}});
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
        // A new text starts over, even in the middle of the previous one.
        {"x,y,z", "x"}, {"p,q", "p"}, {nullptr, "q"}};
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
    const std::pair<unsigned long, const char*> cases[] = {
        {1234567, "1,234,567"}, {123, "123"},        {0, "0"},
        {1000, "1,000"},        {999999, "999,999"}, {4294967295ul, "4,294,967,295"}};
    for (const auto& [number, grouped] : cases) EXPECT_STREQ(GroupDigits(number), grouped);
}

}  // namespace
