// Bounded appending and copying, trimming, quoting, field splitting and digit grouping.
#include "common/strings.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

namespace {

TEST(AppendBoundedTest, KeepsTextAndTerminatorWithinSize) {
    // count copies of 'a' in a buffer larger than a path buffer, so that overruns show as data.
    const struct {
        size_t count;
        const char* addition;
        const char* kept;  // what lands after the a's
    } cases[] = {{259, "xyz", ""}, {250, "0123456789abcdef", "012345678"}, {300, "x", ""}};
    for (const auto& c : cases) {
        char buffer[2 * PathBufferSize] = {};
        memset(buffer, 'a', c.count);
        AppendBounded(260, buffer, c.addition);
        EXPECT_EQ(std::string(buffer), std::string(c.count, 'a') + c.kept) << c.count;
    }

    char text[PathBufferSize] = "C:\\dir";
    AppendBounded(sizeof text, text, "\\file.txt");
    EXPECT_STREQ(text, "C:\\dir\\file.txt");
    AppendBounded(sizeof text, text, nullptr);
    AppendBounded(0, text, "x");
    EXPECT_STREQ(text, "C:\\dir\\file.txt");
}

TEST(CopyBoundedTest, TruncatesAndAlwaysTerminates) {
    char small[5];
    memset(small, 'z', sizeof small);
    CopyBounded(sizeof small, small, "abcdefgh");
    EXPECT_STREQ(small, "abcd");

    CopyBounded(sizeof small, small, nullptr);
    EXPECT_STREQ(small, "");

    char text[PathBufferSize] = "  kept as is";
    CopyBounded(sizeof text, text, text);
    EXPECT_STREQ(text, "  kept as is");
    CopyBounded(sizeof text, text, text + 2);
    EXPECT_STREQ(text, "kept as is");
}

TEST(BlankTest, OnlySpacesAndTabsAreBlank) {
    EXPECT_EQ(IsBlank(nullptr), 1);
    EXPECT_EQ(IsBlank(""), 1);
    EXPECT_EQ(IsBlank(" \t \t"), 1);
    EXPECT_EQ(IsBlank(" x "), 0);
    EXPECT_EQ(IsBlank("\r\n"), 0);
}

// Trimming removes blanks but no other white space, backslashes go after the blanks, and quoting adds
// only the quotes that are missing.
TEST(InPlaceEditTest, TrimAndQuote) {
    const struct {
        const char* name;
        void (*edit)(char*);
        const char* text;
        const char* expected;
    } cases[] = {
        {"TrimLeft", TrimLeft, " \t a b \t", "a b \t"},
        {"TrimRight", TrimRight, " \t a b \t", " \t a b"},
        {"Trim", Trim, "\t\r\n a \n\t ", "\r\n a \n"},
        {"Trim", Trim, " \t ", ""},
        {"TrimLeftBackslashes", TrimLeftBackslashes, " \\\\dir\\file\\\\ ", "dir\\file\\\\ "},
        {"TrimRightBackslashes", TrimRightBackslashes, " \\\\dir\\file\\\\ ", " \\\\dir\\file"},
        {"TrimBackslashes", TrimBackslashes, " \\\\dir\\file\\\\ ", "dir\\file"},
        {"TrimLeftBackslashes", TrimLeftBackslashes, "\\ dir", " dir"},  // inner blanks stay
        {"QuotePath", QuotePath, "  C:\\Program Files\\app.exe ", "\"C:\\Program Files\\app.exe\""},
        {"QuotePath", QuotePath, "\"C:\\a b\"", "\"C:\\a b\""},
        {"QuotePath", QuotePath, "\"C:\\a b", "\"C:\\a b\""},
        {"QuotePath", QuotePath, "C:\\a b\"", "\"C:\\a b\""},
        {"QuotePath", QuotePath, "", "\"\""},
    };
    for (const auto& c : cases) {
        char text[PathBufferSize];
        strcpy(text, c.text);
        c.edit(text);
        EXPECT_STREQ(text, c.expected) << c.name << "(\"" << c.text << "\")";
    }
    Trim(nullptr);
}

TEST(QuotePathTest, LongPathStaysWithinBuffer) {
    char text[PathBufferSize + 8];
    memset(text, '#', sizeof text);
    memset(text, 'a', 259);
    text[259] = '\0';
    QuotePath(text);
    EXPECT_EQ(strlen(text), 259u);
    EXPECT_EQ(text[0], '"');
    EXPECT_EQ(text[260], '#');

    memset(text, 'b', 257);
    text[257] = '\0';
    QuotePath(text);
    EXPECT_EQ(strlen(text), 259u);
    EXPECT_EQ(text[0], '"');
    EXPECT_EQ(text[258], '"');
}

TEST(NextFieldTest, SplitsAtEveryCommaThenGivesEmptyFields) {
    char out[PathBufferSize];
    EXPECT_STREQ(NextField(out, "one, two ,three"), "one");
    EXPECT_STREQ(out, "one");
    EXPECT_STREQ(NextField(out, nullptr), " two ");
    EXPECT_STREQ(out, " two ");
    EXPECT_STREQ(NextField(out, nullptr), "three");
    EXPECT_STREQ(NextField(out, nullptr), "");
    EXPECT_STREQ(out, "");
    EXPECT_STREQ(NextField(nullptr, nullptr), "");

    // Empty fields between and after commas; quotes are plain characters.
    EXPECT_STREQ(NextField(nullptr, ",\"a,b\","), "");
    for (const char* expected : {"\"a", "b\"", "", ""}) EXPECT_STREQ(NextField(nullptr, nullptr), expected);

    // A new text starts over, even in the middle of the previous one.
    NextField(nullptr, "x,y,z");
    EXPECT_STREQ(NextField(nullptr, "p,q"), "p");
    EXPECT_STREQ(NextField(nullptr, nullptr), "q");

    // SplitFields fills its buffers in order, the missing ones empty.
    char first[PathBufferSize], second[PathBufferSize], third[PathBufferSize];
    char* const fields[] = {first, second, third};
    SplitFields("a,,b c", fields, 2);
    EXPECT_STREQ(first, "a");
    EXPECT_STREQ(second, "");
    SplitFields("x", fields, 3);
    EXPECT_STREQ(third, "");
}

TEST(NextFieldTest, BoundsLongTexts) {
    std::string longText(3000, 'f');
    const char* field = NextField(nullptr, longText.c_str());
    EXPECT_EQ(strlen(field), FieldBufferSize - 1);

    // The field itself may be long; the copy for the caller holds a path.
    std::string entry = std::string(1000, 'g') + ",next";
    char out[PathBufferSize + 8];
    memset(out, '#', sizeof out);
    EXPECT_EQ(strlen(NextField(out, entry.c_str())), 1000u);
    EXPECT_EQ(strlen(out), 259u);
    EXPECT_EQ(out[260], '#');
    EXPECT_STREQ(NextField(out, nullptr), "next");
}

TEST(GroupDigitsTest, CommaBeforeEveryThreeDigitsFromTheRight) {
    EXPECT_STREQ(GroupDigits(1234567), "1,234,567");
    EXPECT_STREQ(GroupDigits(123), "123");
    EXPECT_STREQ(GroupDigits(0), "0");
    EXPECT_STREQ(GroupDigits(1000), "1,000");
    EXPECT_STREQ(GroupDigits(999999), "999,999");
    EXPECT_STREQ(GroupDigits(4294967295ul), "4,294,967,295");
}

}  // namespace
