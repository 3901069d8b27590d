// The progress bar control of the progress page.
#include "tests/win/win_test.h"
#include "ui/progress_bar.h"

namespace {

// With no bar nothing moves; a bar destroyed leaves the class free for the next.
TEST(ProgressBarTest, CreatedDestroyedAndCreatedAgain) {
    HWND parent = testsupport::CreateTestWindow("KpProgressParent", DefWindowProcA, WS_POPUP, 300, 100);
    const RECT place = {10, 10, 210, 40};
    ASSERT_EQ(CreateProgressBar(GetModuleHandleA(nullptr), parent, place), 1);
    DestroyProgressBar();
    EXPECT_EQ(FindWindowExA(parent, nullptr, ProgressBarClassName, nullptr), nullptr);
    SetProgress(1, 2);
    EXPECT_EQ(StepProgressBack(), 0);
    EXPECT_EQ(CreateProgressBar(GetModuleHandleA(nullptr), parent, place), 1);
    DestroyProgressBar();
    DestroyWindow(parent);
}

}  // namespace
