// The progress bar control of the progress page.
#include "tests/win/win_test.h"
#include "ui/progress_bar.h"

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
    static HWND parent_;
};
HWND ProgressBarTest::parent_ = nullptr;

// With no bar nothing moves; a bar destroyed leaves the class free for the next.
TEST_F(ProgressBarTest, CreatedDestroyedAndCreatedAgain) {
    ASSERT_EQ(CreateBar(), 1);
    DestroyProgressBar();
    EXPECT_EQ(Bar(), nullptr);
    SetProgress(1, 2);
    EXPECT_EQ(StepProgressBack(), 0);
    ASSERT_EQ(CreateBar(), 1);
}

// The bar's top row of client pixels (clear of the percentage): 'F'illed, 'R'est or '?'.
std::string Row(HWND bar) {
    std::string row;
    HDC dc = GetDC(bar);
    for (int x = 0; x < 196; ++x) {
        const COLORREF c = GetPixel(dc, x, 0);
        row += c == GetSysColor(COLOR_HIGHLIGHT) ? 'F' : c == GetSysColor(COLOR_WINDOW) ? 'R' : '?';
    }
    ReleaseDC(bar, dc);
    return row;
}

// A file phase reports progress for every block; only a change the user can see asks for a paint.
TEST_F(ProgressBarTest, RepaintsOnlyWhenAPixelOrThePercentageChangesAndShowsTheLastFraction) {
    ASSERT_NE(GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_WINDOW));
    ASSERT_EQ(CreateBar(), 1);
    HWND bar = Bar();
    RECT client;
    GetClientRect(bar, &client);
    ASSERT_EQ(client.right, 196);
    SetProgress(0xFFFFFFFFu, 1);  // far beyond full, as unsigned numbers: everything filled
    EXPECT_DOUBLE_EQ(ProgressFraction(), 4294967295.0);
    UpdateWindow(bar);
    EXPECT_EQ(Row(bar), std::string(196, 'F'));

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
    EXPECT_EQ(Row(bar), std::string(98, 'F') + std::string(98, 'R'));
}

}  // namespace
