// The progress bar control and the path shortening of the progress page.
#include "tests/win/win_test.h"
#include "ui/progress_bar.h"
#include "common/shorten_path.h"

namespace {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

// One shown parent for the suite: under Wine every shown window costs seconds to close.
class ProgressBarTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        parent_ = testsupport::CreateTestWindow("KpProgressParent", DefWindowProcA, WS_POPUP | WS_VISIBLE,
                                                300, 100, WS_EX_TOPMOST);
    }
    static void TearDownTestSuite() { DestroyWindow(parent_); }
    void SetUp() override { ASSERT_NE(parent_, nullptr); }
    void TearDown() override { DestroyProgressBar(); }

    // A bar 200 pixels wide outside, 196 inside its sunken edge.
    static int CreateBar() {
        RECT place = {10, 10, 210, 40};
        return CreateProgressBar(Instance(), parent_, place);
    }
    static HWND Bar() { return FindWindowExA(parent_, nullptr, ProgressBarClassName, nullptr); }
    static int ClientWidth() {
        RECT client;
        GetClientRect(Bar(), &client);
        return client.right;
    }
    static bool ClassRegistered() {
        WNDCLASSA windowClass;
        return GetClassInfoA(Instance(), ProgressBarClassName, &windowClass) != 0;
    }
    static HWND parent_;
};
HWND ProgressBarTest::parent_ = nullptr;

// One bar at a time; with none nothing moves; a creation that fails leaves the class free.
TEST_F(ProgressBarTest, CreatedDestroyedAndCreatedAgain) {
    ASSERT_EQ(CreateBar(), 1);
    EXPECT_NE(Bar(), nullptr);
    EXPECT_EQ(ProgressFraction(), 0.0);
    EXPECT_EQ(CreateBar(), 0);  // the class is taken

    DestroyProgressBar();
    EXPECT_EQ(Bar(), nullptr);
    EXPECT_FALSE(ClassRegistered());
    SetProgress(1, 2);
    EXPECT_EQ(StepProgressBack(), 0);
    RECT place = {0, 0, 100, 20};
    EXPECT_EQ(CreateProgressBar(Instance(), nullptr, place), 0);  // a child needs a parent
    EXPECT_FALSE(ClassRegistered());
    ASSERT_EQ(CreateBar(), 1);
    EXPECT_TRUE(ClassRegistered());
}

TEST_F(ProgressBarTest, StepsBackOnePixelAtATimeToEmpty) {
    ASSERT_EQ(CreateBar(), 1);
    const int width = ClientWidth();
    ASSERT_EQ(width, 196);
    SetProgress(1, 1);
    int steps = 0;
    while (StepProgressBack() == 1 && steps <= 2 * width) {
        ++steps;
        const double end = ProgressFraction() * width;
        EXPECT_NEAR(end, width - steps > 0 ? width - steps : 0, 1e-6) << "step " << steps;
    }
    EXPECT_GE(steps, width);
    EXPECT_LE(steps, width + 1);  // rounding may leave a sliver of the last pixel
    EXPECT_EQ(ProgressFraction(), 0.0);
    EXPECT_EQ(StepProgressBack(), 0);
}

// Colours of the bar's client pixels in row y.
std::string Row(HWND bar, int y, int width) {
    std::string row;
    const COLORREF fill = GetSysColor(COLOR_HIGHLIGHT), text = GetSysColor(COLOR_HIGHLIGHTTEXT),
                   rest = GetSysColor(COLOR_WINDOW);
    HDC dc = GetDC(bar);
    for (int x = 0; x < width; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        row += c == fill ? 'F' : c == rest ? 'R' : c == text ? 'T' : '?';
    }
    ReleaseDC(bar, dc);
    return row;
}

// A file phase reports progress for every block; only a change the user can see asks for a paint.
TEST_F(ProgressBarTest, PaintsInTwoColoursAndRepaintsOnlyWhenAPixelOrThePercentageChanges) {
    ASSERT_NE(GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_WINDOW));
    ASSERT_EQ(CreateBar(), 1);
    HWND bar = Bar();
    const int width = ClientWidth();
    ASSERT_EQ(width, 196);
    SetProgress(1, 2);
    UpdateWindow(bar);
    // The top row is clear of the text: filled up to 98 pixels, the rest after it.
    EXPECT_EQ(Row(bar, 0, width), std::string(98, 'F') + std::string(width - 98, 'R'));

    // Through the middle, "50%" crosses the end: light text on the fill, fill-coloured text on the rest.
    RECT client;
    GetClientRect(bar, &client);
    bool lightOnFill = false, darkOnRest = false;
    for (int y = 0; y < client.bottom; ++y) {
        const std::string row = Row(bar, y, width);
        if (row.substr(0, 98).find_first_not_of('F') != std::string::npos) lightOnFill = true;
        if (row.substr(98).find('F') != std::string::npos) darkOnRest = true;
    }
    EXPECT_TRUE(lightOnFill);
    EXPECT_TRUE(darkOnRest);

    SetProgress(0xFFFFFFFFu, 1);  // far beyond full, as unsigned numbers: everything filled
    EXPECT_DOUBLE_EQ(ProgressFraction(), 4294967295.0);
    UpdateWindow(bar);
    EXPECT_EQ(Row(bar, 0, width), std::string(width, 'F'));

    SetProgress(1000, 10000);  // 19.6 pixels, 10%
    UpdateWindow(bar);
    ASSERT_FALSE(GetUpdateRect(bar, nullptr, FALSE));

    SetProgress(1001, 10000);
    EXPECT_DOUBLE_EQ(ProgressFraction(), 0.1001);
    // Still 19 pixels and 10%; then 20 pixels; 21 pixels; 21 pixels, but 11%.
    for (const auto& [done, repaint] :
         {std::pair{1001u, false}, {1021u, true}, {1099u, true}, {1105u, true}}) {
        SetProgress(done, 10000);
        EXPECT_EQ(GetUpdateRect(bar, nullptr, FALSE) != FALSE, repaint) << done;
        UpdateWindow(bar);
    }

    // Many small steps end where one large step would: the last paint shows the last fraction.
    for (DWORD done = 1105; done <= 5000; done += 7) SetProgress(done, 10000);
    SetProgress(5000, 10000);
    UpdateWindow(bar);
    EXPECT_EQ(Row(bar, 0, 196), std::string(98, 'F') + std::string(98, 'R'));
}

// On a hidden one-line static, measured in its own font.
TEST(ShortenPath, DropsWholeLeadingComponentsUntilItFits) {
    HWND control =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, Instance(), nullptr);
    ASSERT_NE(control, nullptr);
    auto Width = [control](const char* text) {
        HDC dc = GetDC(control);
        SIZE size = {};
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
        ReleaseDC(control, dc);
        return static_cast<int>(size.cx);
    };
    auto Shorten = [control](const char* text, int limit) {
        PathWidthLimit = limit;
        return std::string(ShortenPathForControl(control, text));
    };
    const char* path = "C:\\Program Files\\Maker\\Application\\bin\\tool.exe";
    EXPECT_EQ(Shorten(path, Width(path) + 1), path);
    // Exactly as wide as the limit does not fit.
    EXPECT_EQ(Shorten(path, Width(path)), "...\\Program Files\\Maker\\Application\\bin\\tool.exe");
    EXPECT_EQ(Shorten(path, Width("Application\\bin\\tool.exe") + 1), "...\\Application\\bin\\tool.exe");
    // The file name alone still too wide: it is kept whole; without a backslash the text stays as it is.
    EXPECT_EQ(Shorten(path, 1), "...\\tool.exe");
    EXPECT_EQ(Shorten("averyveryverylongfilename.txt", 1), "averyveryverylongfilename.txt");
    EXPECT_EQ(Shorten("", 1), "");
    // The result is bounded, and may be shortened again.
    std::string longPath = "C:";
    while (longPath.size() < 400) longPath += "\\folder";
    EXPECT_EQ(Shorten(longPath.c_str(), 100000).size(), 259u);
    EXPECT_EQ(Shorten(ShortenPathForControl(control, "D:\\a\\b.txt"), 1), "...\\b.txt");
    DestroyWindow(control);
}

}  // namespace
