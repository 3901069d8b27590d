// The volume prompt against real message boxes: a helper thread plays the user through the UI driver.
#include <atomic>

#include "archive/archive_reader.h"
#include "archive/volume_prompt.h"
#include "common/messages.h"
#include "tests/win/win_test.h"

namespace {

// A package in a folder of the fixed drive C:, open as the package reader; volume 1 may be missing.
class VolumePromptTest : public testsupport::PackageTest {
  protected:
    void SetUp() override {
        PackageTest::SetUp();
        OpenPackage({{"KPII", testsupport::SampleNoise(300, 9)}}, 200);
        AbortFlag = 0;
    }

    // Waits for the prompt's message box, remembers its text, runs `act` and presses `button`.
    std::thread PlayUser(int button, void (*act)(const std::string&) = nullptr, DWORD patience = 10000) {
        return std::thread([this, button, act, patience] {
            HWND box = ui::WaitForMessageBox(GetCurrentProcessId(), patience);
            if (!box) return;
            ++boxes_;
            text_ = ui::MessageBoxText(box);
            if (act) act(folder_.Path("SETUP.001"));
            ui::ClickButton(box, button);
        });
    }

    std::atomic<int> boxes_{0};
    std::string text_;
};

// Only a missing volume is asked for; Cancel aborts, Retry finds it once it is there.
TEST_F(VolumePromptTest, OnlyAMissingVolumeIsAskedForUntilCancelOrRetryFindsIt) {
    std::thread user = PlayUser(IDCANCEL, nullptr, 1500);
    EXPECT_EQ(VolumePrompt(1), 0);
    user.join();  // nobody asked: the watcher gives up on its own
    EXPECT_EQ(boxes_, 0);
    EXPECT_EQ(AbortFlag, 0);

    static std::string hidden;
    hidden = folder_.Path("elsewhere");
    std::filesystem::rename(folder_.Path("SETUP.001"), hidden);
    user = PlayUser(IDCANCEL);
    EXPECT_EQ(VolumePrompt(1), -1);
    user.join();
    EXPECT_EQ(boxes_, 1);
    EXPECT_EQ(text_, "Can't find volume 'SETUP.001' in the folder '" + folder_.Root().string() + "'.");
    EXPECT_EQ(AbortFlag, 1);

    AbortFlag = 0;
    user = PlayUser(IDRETRY, [](const std::string& volume) { std::filesystem::rename(hidden, volume); });
    EXPECT_EQ(VolumePrompt(1), 0);
    user.join();
    EXPECT_EQ(boxes_, 2);
    EXPECT_EQ(AbortFlag, 0);
}

}  // namespace
