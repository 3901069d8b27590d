// The backdrop's text styles (from the package's settings) and gradient.
#include <climits>

#include "tests/win/win_test.h"
#include "ui/background_window.h"
#include "ui/gradient.h"

namespace {

// A face name too long for the font is cut to fit.
TEST(TextStyle, TheFaceNameIsCutToFit) {
    TextStyle style{};
    ParseTextStyle(("0,80000000,0,0,0,0,1ff,0,0,0,0,0,0,0," + std::string(40, 'F')).c_str(), &style);
    EXPECT_EQ(std::string(style.font.lfFaceName), std::string(31, 'F'));
    EXPECT_EQ(style.font.lfHeight, LONG_MIN);
    EXPECT_EQ(style.font.lfItalic, 255);  // a byte field keeps its low byte
}

// No rows, no division: the top colour stays.
TEST(Gradient, NoRows) {
    Gradient gradient;
    StartGradient(&gradient, RGB(255, 255, 255), 0, 0);
    EXPECT_EQ(GradientColour(gradient), RGB(255, 255, 255));
    NextGradientRow(&gradient);
    EXPECT_EQ(GradientColour(gradient), RGB(255, 255, 255));
}

}  // namespace
