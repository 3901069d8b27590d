// An end of the file phase that arrives under the abort question waits for the answer; Yes rolls back.
#include "common/message_box.h"
#include "common/private_messages.h"
#include "script/path_variables.h"
#include "tests/win/win_test.h"
#include "ui/background_window.h"
#include "ui/progress_page.h"

namespace {

// What the stand-in background window saw of the file phase's end, and the abort flag then.
std::atomic<int> EndsSeen{0};
std::atomic<int> AbortFlagAtEnd{-1};

LRESULT CALLBACK StandInBackground(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER && wParam == UM_FILES_DONE) {
        AbortFlagAtEnd = AbortFlag.load();
        ++EndsSeen;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class AbortHold : public testsupport::PackageTest {
  protected:
    void SetUp() override {
        PackageTest::SetUp();
        lstrcpyA(ModuleCaption, "Installation of Demo");
        BackgroundWindow =
            testsupport::CreateTestWindow("KpAbortHoldBackground", StandInBackground, WS_POPUP);
        AbortFlag = 0;
        EndsSeen = 0;
        OpenPackage({{"KPII", "[General]\n"}, {"Src\\a.txt", "a"}});
    }
    void TearDown() override {
        if (IsWindow(page_)) DestroyWindow(page_);
        DestroyWindow(BackgroundWindow);
        BackgroundWindow = nullptr;
        WorkerHeld = 0;
        PackageTest::TearDown();  // clears the abort flag
    }
    // Handles this thread's messages until done() holds or the patience is spent.
    template <typename Done>
    void PumpUntil(Done done, DWORD patience) {
        const DWORD start = GetTickCount();
        MSG message;
        while (!done() && GetTickCount() - start < patience) {
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            Sleep(10);
        }
    }
    HWND page_ = nullptr;
};

TEST_F(AbortHold, AnEndThatArrivesUnderTheQuestionWaitsForTheAnswer) {
    // The worker copies its file, then waits as it does at a report while the question is open.
    WorkerHeld = 1;
    // The page from the module's own template (loaded as data, so created from a copy of it).
    HRSRC resource = FindResourceA(ModuleInstance, MAKEINTRESOURCEA(IDD_PROGRESS), RT_DIALOG);
    ASSERT_NE(resource, nullptr);
    std::vector<BYTE> page(SizeofResource(ModuleInstance, resource) + 4);
    memcpy(page.data(), LockResource(LoadResource(ModuleInstance, resource)), page.size() - 4);
    page_ = CreateDialogIndirectParamA(ModuleInstance, reinterpret_cast<DLGTEMPLATE*>(page.data()),
                                       BackgroundWindow, ProgressPageProc, 0);
    ASSERT_NE(page_, nullptr);
    CurrentPage = page_;
    PumpUntil([] { return false; }, 800);  // the page starts the file phase after half a second
    ASSERT_EQ(EndsSeen, 0);

    int endsUnderTheQuestion = -1;
    bool pageAliveUnderTheQuestion = false;
    std::thread user([&] {
        HWND box = ui::WaitForMessageBox(GetCurrentProcessId(), 5000);
        if (box == nullptr) return;
        // Let the worker go: its end is sent to the page while the question's own loop runs.
        WorkerHeld = 0;
        Sleep(1000);
        endsUnderTheQuestion = EndsSeen;
        pageAliveUnderTheQuestion = IsWindow(page_) != FALSE;
        ui::ClickButton(box, IDYES);
    });
    PostMessageA(page_, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpUntil([] { return EndsSeen > 0; }, 15000);
    user.join();

    EXPECT_EQ(endsUnderTheQuestion, 0) << "the next step ran under the open question";
    EXPECT_TRUE(pageAliveUnderTheQuestion);
    EXPECT_EQ(EndsSeen, 1);
    EXPECT_TRUE(Exists(std::string(InstallDir) + "\\a.txt")) << "the file phase itself succeeded";
    EXPECT_EQ(AbortFlagAtEnd, 1) << "a Yes after the end must still roll back";
}

}  // namespace
