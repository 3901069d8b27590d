// The license/information and finish pages from the module's templates.
#include <functional>

#include "common/message_box.h"
#include "common/messages.h"
#include "common/private_messages.h"
#include "script/leading_members.h"
#include "tests/win/win_test.h"
#include "ui/background_window.h"
#include "ui/pages.h"

namespace {

// What the stand-in background window received.
using Sent = std::vector<std::pair<WPARAM, LPARAM>>;
Sent Reports;

LRESULT CALLBACK StandInBackgroundProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_USER) return DefWindowProcA(window, message, wParam, lParam);
    Reports.push_back({wParam, lParam});
    return 0;
}

void Pump(HWND page, DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (IsWindow(page) && IsDialogMessageA(page, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < milliseconds);
}

void Click(HWND page, int id) {
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

char License[] = "License line 1\r\nLicense line 2";
char Info[] = "Read me first.";

class PagesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { module_ = testsupport::LoadModuleResources(); }
    static void TearDownTestSuite() { FreeLibrary(module_); }
    void SetUp() override {
        ASSERT_NE(module_, nullptr);
        LanguageFlag = 1;
        lstrcpyA(ModuleCaption, "Installation of Demo");
        lstrcpyA(Title, "Demo");
        LicenseText = License;
        InfoText = Info;
        LicenseAgreed = 0;
        ReturnedFromFolder = 0;
        Reports.clear();
        BackgroundWindow =
            testsupport::CreateTestWindow("PagesTestBackground", StandInBackgroundProc, WS_POPUP);
        ASSERT_NE(BackgroundWindow, nullptr);
    }
    void TearDown() override {
        for (HWND page : pages_)
            if (IsWindow(page)) DestroyWindow(page);
        DestroyWindow(BackgroundWindow);
        BackgroundWindow = nullptr;
        LicenseText = InfoText = nullptr;
    }

    HWND Open(int page, DLGPROC procedure, LPARAM parameter) {
        HWND window =
            CreateDialogParamA(module_, MAKEINTRESOURCEA(page), BackgroundWindow, procedure, parameter);
        pages_.push_back(window);
        SetForegroundWindow(window);
        Pump(window, 100);  // the posted focus change
        return window;
    }
    HWND OpenLicensePage(int mode) { return Open(IDD_LICENSE, LicensePageProc, mode); }

    // Answers the next message box with button from a second thread; its text lands in boxText_.
    std::thread Answer(int button) {
        return std::thread([this, button] {
            // The pages are dialogs too; a message box carries the bare module caption.
            HWND box = ui::WaitForWindow(GetCurrentProcessId(), "#32770", ModuleCaption, 5000);
            if (!box) return;
            boxText_ = ui::MessageBoxText(box);
            ui::ClickButton(box, button);
        });
    }

    static HMODULE module_;
    std::vector<HWND> pages_;
    std::string boxText_;
};
HMODULE PagesTest::module_ = nullptr;

// A Next that reaches the page before I Agree does not pass the license (agreeing: the end-to-end wizard).
TEST_F(PagesTest, LicenseNotPassedWithoutAgreeing) {
    HWND page = OpenLicensePage(1);
    ASSERT_NE(page, nullptr);
    Click(page, IDC_NEXT);
    EXPECT_TRUE(IsWindow(page));
    EXPECT_TRUE(Reports.empty());
}

// Leaving the information page asks even when no license was ever agreed to.
TEST_F(PagesTest, InformationPageAsksOnCancelAndHidesPrevWithoutALicense) {
    HWND page = OpenLicensePage(0);
    std::thread user = Answer(IDYES);
    Click(page, IDC_CANCEL);
    user.join();
    EXPECT_FALSE(boxText_.empty());

    LicenseText = nullptr;
    page = OpenLicensePage(0);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_PREV)));
    Click(page, IDC_NEXT);
    EXPECT_EQ(Reports, (Sent{{UM_INFO_DONE, 0}, {UM_INFO_DONE, 1}}));
}

// Runs the finish page as the finish worker does, modal; act plays the user on a second thread.
void RunFinishPage(HMODULE module, const std::function<void(HWND)>& act) {
    std::thread user([&act] {
        HWND page = ui::WaitForWindow(GetCurrentProcessId(), "#32770", "Installation of Demo", 5000);
        if (page) act(page);
    });
    EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_FINISH), nullptr, FinishPageProc, 0), 0);
    user.join();
}

// "shown" or "hidden", "checked" or "clear", and the label of a shown box.
std::string StateOf(HWND page, int controlId) {
    HWND box = GetDlgItem(page, controlId);
    const bool shown = IsWindowVisible(box);
    return std::string(shown ? "shown " : "hidden ") +
           (IsDlgButtonChecked(page, controlId) == BST_CHECKED ? "checked" : "clear") +
           (shown ? " " + ui::WindowText(box) : "");
}

// Offered actions are checked and the user's choice kept; one that may not be cancelled is hidden but done.
TEST_F(PagesTest, TheEndInstallFileDecidesWhatIsOfferedAndTheUserWhatHappens) {
    testsupport::ScratchFolder folder;
    lstrcpyA(EndInstallFile, folder.Path("end.ini").c_str());
    const char* offered = "[Run]\nRunAppPath=C:\\Demo\\demo.exe\n[Info]\nPostInfoPath=HTTP://example.com/\n";
    const char* forced =
        "[Run]\nRunAppPath=C:\\Demo\\demo.exe\nAllowCancelRunApp=0\n"
        "[Info]\nPostInfoPath=https://example.com/\n";
    const char* none = "[Run]\nSilentToolPath=C:\\tool.exe\n";
    const struct {
        const char* endInstall;
        bool uncheckRun, close;  // the user unchecks the run box; closes the page instead of Ok
        std::string run, view;
        int runChosen, viewChosen;
    } cases[] = {
        {offered, true, false, "shown checked Run application.", "shown checked Go to HomePage.", 0, 1},
        {forced, false, true, "hidden checked", "shown checked View information.", 1, 1},
        {none, false, false, "hidden clear", "hidden clear", 0, 0},
    };
    for (const auto& c : cases) {
        SetFileBytes(EndInstallFile, c.endInstall);
        RunApplicationChosen = ViewInformationChosen = -1;
        std::string run, view, completed;
        RunFinishPage(module_, [&](HWND page) {
            run = StateOf(page, IDC_RUN_APPLICATION);
            view = StateOf(page, IDC_VIEW_INFORMATION);
            completed = ui::WindowText(GetDlgItem(page, IDC_COMPLETED));
            if (c.uncheckRun)
                SendMessageA(GetDlgItem(page, IDC_RUN_APPLICATION), BM_SETCHECK, BST_UNCHECKED, 0);
            if (c.close)
                PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                ui::ClickButton(page, IDC_OK);
        });
        EXPECT_EQ(completed, "Installation of Demo completed.") << c.endInstall;
        EXPECT_EQ(run, c.run) << c.endInstall;
        EXPECT_EQ(view, c.view) << c.endInstall;
        EXPECT_EQ(RunApplicationChosen, c.runChosen) << c.endInstall;
        EXPECT_EQ(ViewInformationChosen, c.viewChosen) << c.endInstall;
    }
}

}  // namespace
