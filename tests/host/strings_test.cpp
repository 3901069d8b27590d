// Bounded appending and copying, trimming, quoting, field splitting and digit grouping.
#include "common/strings.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

namespace {

// A text of count copies of c in a buffer larger than a path buffer, so that overruns show as data.
struct Text {
    char buffer[2 * PathBufferSize];
    Text(size_t count, char c) {
        memset(buffer, 0, sizeof buffer);
        memset(buffer, c, count);
    }
};

TEST(AppendBoundedTest, KeepsTextAndTerminatorWithinSize) {
    Text full(259, 'a');
    AppendBounded(260, full.buffer, "xyz");
    EXPECT_EQ(strlen(full.buffer), 259u);
    EXPECT_EQ(full.buffer[258], 'a');

    Text partial(250, 'a');
    AppendBounded(260, partial.buffer, "0123456789abcdef");
    EXPECT_EQ(strlen(partial.buffer), 259u);
    EXPECT_EQ(std::string(partial.buffer + 250), "012345678");

    // A text already longer than size is neither extended nor cut.
    Text over(300, 'a');
    AppendBounded(260, over.buffer, "x");
    EXPECT_EQ(strlen(over.buffer), 300u);

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

TEST(TrimTest, RemovesBlanksButNotOtherWhiteSpace) {
    char left[] = " \t a b \t";
    TrimLeft(left);
    EXPECT_STREQ(left, "a b \t");

    char right[] = " \t a b \t";
    TrimRight(right);
    EXPECT_STREQ(right, " \t a b");

    char both[] = "\t\r\n a \n\t ";
    Trim(both);
    EXPECT_STREQ(both, "\r\n a \n");

    char blank[] = " \t ";
    Trim(blank);
    EXPECT_STREQ(blank, "");

    Trim(nullptr);
}

TEST(TrimTest, BackslashesGoAfterBlanks) {
    char left[] = " \\\\dir\\file\\\\ ";
    TrimLeftBackslashes(left);
    EXPECT_STREQ(left, "dir\\file\\\\ ");

    char right[] = " \\\\dir\\file\\\\ ";
    TrimRightBackslashes(right);
    EXPECT_STREQ(right, " \\\\dir\\file");

    char both[] = " \\\\dir\\file\\\\ ";
    TrimBackslashes(both);
    EXPECT_STREQ(both, "dir\\file");

    // Blanks inside the backslashes are not blanks at the edge.
    char inner[] = "\\ dir";
    TrimLeftBackslashes(inner);
    EXPECT_STREQ(inner, " dir");
}

TEST(QuotePathTest, AddsOnlyMissingQuotes) {
    char plain[PathBufferSize] = "  C:\\Program Files\\app.exe ";
    QuotePath(plain);
    EXPECT_STREQ(plain, "\"C:\\Program Files\\app.exe\"");

    char quoted[PathBufferSize] = "\"C:\\a b\"";
    QuotePath(quoted);
    EXPECT_STREQ(quoted, "\"C:\\a b\"");

    char open[PathBufferSize] = "\"C:\\a b";
    QuotePath(open);
    EXPECT_STREQ(open, "\"C:\\a b\"");

    char closed[PathBufferSize] = "C:\\a b\"";
    QuotePath(closed);
    EXPECT_STREQ(closed, "\"C:\\a b\"");

    char empty[PathBufferSize] = "";
    QuotePath(empty);
    EXPECT_STREQ(empty, "\"\"");
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
    EXPECT_STREQ(NextField(nullptr, nullptr), "\"a");
    EXPECT_STREQ(NextField(nullptr, nullptr), "b\"");
    EXPECT_STREQ(NextField(nullptr, nullptr), "");
    EXPECT_STREQ(NextField(nullptr, nullptr), "");

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
