// The backdrop's text styles and gradient.
#include "tests/win/win_test.h"
#include "ui/background_window.h"
#include "ui/gradient.h"

namespace {

TextStyle Parse(const char* value) {
    TextStyle style{};
    ParseTextStyle(value, &style);
    return style;
}

// The colour, the thirteen numbers of the font and its face name, as text.
std::string Fields(const std::string& value) {
    const TextStyle style = Parse(value.c_str());
    const LOGFONTA& f = style.font;
    char text[160];
    wsprintfA(text, "%lx|%ld,%ld,%ld,%ld,%ld,%d,%d,%d,%d,%d,%d,%d,%d|%s", style.colour, f.lfHeight, f.lfWidth,
              f.lfEscapement, f.lfOrientation, f.lfWeight, f.lfItalic, f.lfUnderline, f.lfStrikeOut,
              f.lfCharSet, f.lfOutPrecision, f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily,
              f.lfFaceName);
    return text;
}

// Defaults, a colour alone, a bad field (as %lx reads it), byte fields' low byte, a face name cut to 31.
TEST(TextStyle, NumbersAreReadUpToABadFieldAndTheFaceNameAfterThirteenCommas) {
    const std::pair<std::string, std::string> rows[] = {
        {"ffffff,ffffffd0,0,0,0,2bc,ff,0,0,0,3,2,1,12,Times New Roman",
         "ffffff|-48,0,0,0,700,255,0,0,0,3,2,1,18|Times New Roman"},
        {"ff0000", "ff0000|0,0,0,0,0,0,0,0,0,0,0,0,0|"},
        {"ff, -30,0x10,0,0,heavy,ff,1,1,1,1,1,1,1,Arial", "ff|-48,16,0,0,0,0,0,0,0,0,0,0,0|Arial"},
        {"0,80000000,0,0,0,0,1ff,0,0,0,0,0,0,0," + std::string(40, 'F'),
         "0|-2147483648,0,0,0,0,255,0,0,0,0,0,0,0|" + std::string(31, 'F')},
    };
    for (const auto& [value, fields] : rows) EXPECT_EQ(Fields(value), fields) << value;
    EXPECT_EQ(Parse("ff;12").font.lfHeight, 0);  // another separator than the comma stops too
    EXPECT_EQ(Parse(",12").colour, 0u);
    EXPECT_STREQ(Parse("0,1,2,3,4,5,6,7,8,9,a,b,c,d").font.lfFaceName, "");
    EXPECT_STREQ(Parse("0,1,2,3,4,5,6,7,8,9,a,b,c,d,Odd, Name").font.lfFaceName, "Odd, Name");
}

// Every row's colour of a gradient of height rows.
std::vector<COLORREF> Rows(COLORREF top, COLORREF bottom, int height) {
    Gradient gradient;
    StartGradient(&gradient, top, bottom, height);
    std::vector<COLORREF> rows;
    for (int y = 0; y < height; ++y, NextGradientRow(&gradient)) rows.push_back(GradientColour(gradient));
    return rows;
}

// The last row is one step short of the bottom colour; no rows, no division.
TEST(Gradient, RowsAndNoRows) {
    const auto rows = Rows(RGB(255, 0, 10), RGB(0, 255, 10), 255);
    EXPECT_EQ(rows.front(), RGB(255, 0, 10));
    EXPECT_EQ(rows[100], RGB(155, 100, 10));
    EXPECT_EQ(rows.back(), RGB(1, 254, 10));

    Gradient gradient;
    StartGradient(&gradient, RGB(255, 255, 255), 0, 0);
    EXPECT_EQ(GradientColour(gradient), RGB(255, 255, 255));
    NextGradientRow(&gradient);
    EXPECT_EQ(GradientColour(gradient), RGB(255, 255, 255));
}

}  // namespace
