// The welcome, license/information and finish pages, built from in-memory templates with the controls
// of the module's templates, reporting to a stand-in background window.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "script/leading_members.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/process_state.h"
#include "startup/working_files.h"
#include "tests/support/archive_fixture.h"
#include "tests/support/win_fixture.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/background_window.h"
#include "ui/pages.h"
#include "common/private_messages.h"
#include "ui/resources/resource_ids.h"
#include "ui/wizard_bitmap.h"

namespace {

// A dialog template in memory: no menu, class or title; controls by predefined class atom, no text.
class DialogTemplate {
  public:
    explicit DialogTemplate(DWORD style) {
        DLGTEMPLATE header = {};
        header.style = style;
        header.cx = 240;
        header.cy = 160;
        Append(&header, sizeof header);
        words_.insert(words_.end(), {0, 0, 0});
    }
    void Add(WORD id, WORD classAtom, DWORD style, short x, short y, short cx, short cy) {
        if (words_.size() % 2 != 0) words_.push_back(0);
        DLGITEMTEMPLATE item = {};
        item.style = style | WS_CHILD;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = id;
        Append(&item, sizeof item);
        words_.insert(words_.end(), {0xFFFF, classAtom, 0, 0});
        reinterpret_cast<DLGTEMPLATE*>(words_.data())->cdit++;
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void Append(const void* data, size_t size) {
        size_t at = words_.size();
        words_.resize(at + size / 2);
        std::memcpy(&words_[at], data, size);
    }
    std::vector<WORD> words_;
};

constexpr WORD Button = 0x0080, Edit = 0x0081, Static = 0x0082;
constexpr DWORD PushButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD DefaultButton = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD Text = WS_VISIBLE | SS_LEFT;
constexpr DWORD PageStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

DialogTemplate WelcomeTemplate() {
    DialogTemplate page(PageStyle | WS_VISIBLE | WS_MINIMIZEBOX);
    page.Add(IDC_BITMAP_FRAME, Static, WS_VISIBLE | SS_SUNKEN, 5, 5, 60, 120);
    page.Add(IDC_WELCOME_TITLE, Static, Text, 70, 5, 160, 20);
    page.Add(IDC_WELCOME_ADVICE, Static, Text, 70, 30, 160, 20);
    page.Add(IDC_WELCOME_INSTRUCTIONS, Static, Text, 70, 55, 160, 20);
    page.Add(IDC_NEXT, Button, DefaultButton, 120, 135, 50, 14);
    page.Add(IDC_CANCEL, Button, PushButton, 180, 135, 50, 14);
    page.Add(IDC_WIZARD_STAMP, Static, Text | WS_DISABLED, 5, 135, 60, 10);
    return page;
}

DialogTemplate LicenseTemplate() {
    DialogTemplate page(PageStyle | WS_VISIBLE | WS_MINIMIZEBOX);
    page.Add(IDC_TEXT, Edit, WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 5, 5, 230,
             120);
    page.Add(IDC_PREV, Button, PushButton, 60, 135, 50, 14);
    page.Add(IDC_NEXT, Button, DefaultButton, 120, 135, 50, 14);
    page.Add(IDC_CANCEL, Button, PushButton, 180, 135, 50, 14);
    page.Add(IDC_WIZARD_STAMP, Static, Text | WS_DISABLED, 5, 135, 50, 10);
    return page;
}

DialogTemplate FinishTemplate() {
    DialogTemplate page(PageStyle);
    page.Add(IDC_BITMAP_FRAME, Static, WS_VISIBLE | SS_SUNKEN, 5, 5, 60, 120);
    page.Add(IDC_COMPLETED, Static, Text, 70, 5, 160, 20);
    page.Add(IDC_RUN_APPLICATION, Button, WS_TABSTOP | BS_AUTOCHECKBOX, 70, 40, 160, 12);
    page.Add(IDC_VIEW_INFORMATION, Button, WS_TABSTOP | BS_AUTOCHECKBOX, 70, 60, 160, 12);
    page.Add(IDC_OK, Button, DefaultButton, 180, 135, 50, 14);
    page.Add(IDC_WIZARD_STAMP, Static, Text | WS_DISABLED, 5, 135, 60, 10);
    return page;
}

// What the stand-in background window received.
struct Report {
    WPARAM code;
    LPARAM result;
    bool pageAlive;  // the reporting page still existed during the send
};
std::vector<Report> Reports;
std::vector<WPARAM> SysCommands;
HWND ReportingPage = nullptr;
std::function<void()> OnReport;  // what the background window does next, during the send

LRESULT CALLBACK StandInBackgroundProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) {
        Reports.push_back({wParam, lParam, IsWindow(ReportingPage) != FALSE});
        if (OnReport) OnReport();
        return 0;
    }
    if (message == WM_SYSCOMMAND) {
        SysCommands.push_back(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
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

std::string TextOf(HWND page, int controlId) {
    char text[512] = "";
    GetDlgItemTextA(page, controlId, text, sizeof text);
    return text;
}

void Click(HWND page, int controlId) {
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, controlId)));
}

void PressKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

char License[] = "License line 1\r\nLicense line 2";
char Info[] = "Read me first.";

class PagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LanguageFlag = 1;
        lstrcpyA(ModuleCaption, "Installation of Demo");
        lstrcpyA(Title, "Demo");
        lstrcpyA(WizardStampValue, "Demo 1.0");
        LicenseText = License;
        InfoText = Info;
        LicenseAgreed = 0;
        ReturnedFromFolder = 0;
        Reports.clear();
        SysCommands.clear();
        OnReport = nullptr;
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
        OnReport = nullptr;
    }

    HWND Open(const DialogTemplate& page, DLGPROC procedure, LPARAM parameter) {
        HWND window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), page.Get(), BackgroundWindow,
                                                 procedure, parameter);
        pages_.push_back(window);
        ReportingPage = window;
        SetForegroundWindow(window);
        Pump(window, 100);  // the posted focus change
        return window;
    }
    HWND OpenLicensePage(int mode) { return Open(LicenseTemplate(), LicensePageProc, mode); }

    // Answers the next message box with button from a second thread; its text lands in boxText_.
    std::thread Answer(int button, DWORD patience = 5000) {
        return std::thread([this, button, patience] {
            // The pages are dialogs too; a message box carries the bare module caption.
            HWND box = ui::WaitForWindow(GetCurrentProcessId(), "#32770", ModuleCaption, patience);
            if (!box) return;
            boxText_ = ui::MessageBoxText(box);
            ui::ClickButton(box, button);
        });
    }

    std::vector<HWND> pages_;
    std::string boxText_;
};

TEST_F(PagesTest, WelcomeSetsItsTextsAndReportsNextCancelAndCloseAfterTheSend) {
    HWND page = Open(WelcomeTemplate(), WelcomePageProc, 0);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ui::WindowText(page), "Installation of Demo");
    EXPECT_EQ(TextOf(page, IDC_WELCOME_TITLE), "This will install Demo on your computer.");
    EXPECT_EQ(TextOf(page, IDC_WELCOME_INSTRUCTIONS),
              "Click <Next> to continue installation,\nOr, click <Cancel> to cancel installation.");
    EXPECT_EQ(TextOf(page, IDC_NEXT), "Next");
    EXPECT_EQ(TextOf(page, IDC_CANCEL), "Cancel");
    EXPECT_EQ(TextOf(page, IDC_WIZARD_STAMP), "Demo 1.0");
    RECT frame;
    GetControlRect(page, IDC_BITMAP_FRAME, &frame);
    EXPECT_EQ(BitmapRect.left, frame.left + 1);
    EXPECT_EQ(BitmapRect.bottom, frame.bottom - 1);

    // Minimize goes to the background window; the page stays as it is.
    SendMessageA(page, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_EQ(SysCommands.size(), 1u);
    EXPECT_EQ(SysCommands[0], static_cast<WPARAM>(SC_MINIMIZE));
    EXPECT_FALSE(IsIconic(page));

    Click(page, IDC_NEXT);
    EXPECT_FALSE(IsWindow(page));
    page = Open(WelcomeTemplate(), WelcomePageProc, 0);
    Click(page, IDC_CANCEL);
    EXPECT_FALSE(IsWindow(page));
    page = Open(WelcomeTemplate(), WelcomePageProc, 0);
    SendMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(page));

    ASSERT_EQ(Reports.size(), 3u);
    EXPECT_EQ(Reports[0].code, static_cast<WPARAM>(UM_WELCOME_DONE));
    EXPECT_EQ(Reports[0].result, 1);
    EXPECT_EQ(Reports[1].result, 0);
    EXPECT_EQ(Reports[2].result, 0);
    for (const Report& report : Reports) EXPECT_TRUE(report.pageAlive);
}

TEST_F(PagesTest, LicenseBeforeAgreeingLeavesWithoutAQuestion) {
    HWND page = OpenLicensePage(1);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ui::WindowText(page), "Installation of Demo - License");
    EXPECT_EQ(TextOf(page, IDC_TEXT), License);
    EXPECT_EQ(TextOf(page, IDC_PREV), "I Agree");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_PREV)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_NEXT)));
    EXPECT_EQ(GetFocus(), GetDlgItem(page, IDC_CANCEL));

    // The text shows on white; other statics keep the default colours.
    HDC dc = GetDC(page);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_TEXT))));
    LOGBRUSH colour = {};
    ASSERT_NE(brush, nullptr);
    GetObjectA(brush, sizeof colour, &colour);
    EXPECT_EQ(colour.lbColor, RGB(255, 255, 255));
    EXPECT_NE(SendMessageA(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_WIZARD_STAMP))),
              reinterpret_cast<LRESULT>(brush));
    ReleaseDC(page, dc);

    // A Next that reaches the page anyway does not pass the license.
    Click(page, IDC_NEXT);
    EXPECT_TRUE(IsWindow(page));
    EXPECT_TRUE(Reports.empty());

    std::thread user = Answer(IDYES, 1000);
    Click(page, IDC_CANCEL);
    user.join();
    EXPECT_TRUE(boxText_.empty());
    EXPECT_FALSE(IsWindow(page));
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Reports[0].code, static_cast<WPARAM>(UM_LICENSE_DONE));
    EXPECT_EQ(Reports[0].result, 0);
    EXPECT_EQ(LicenseAgreed, 0);
}

TEST_F(PagesTest, AgreeingEnablesNextAndLaterLeavingAsks) {
    HWND page = OpenLicensePage(1);
    Click(page, IDC_PREV);
    Pump(page, 100);
    EXPECT_EQ(LicenseAgreed, 1);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_NEXT)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_PREV)));
    EXPECT_EQ(GetFocus(), GetDlgItem(page, IDC_NEXT));

    std::thread user = Answer(IDNO);
    SendMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
    user.join();
    EXPECT_EQ(boxText_, "Installation is not yet completed.\n\nAbort installation?");
    EXPECT_TRUE(IsWindow(page));
    EXPECT_TRUE(Reports.empty());

    // Shown again (back from the information page): agreed stays agreed.
    Click(page, IDC_NEXT);
    page = OpenLicensePage(1);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_PREV)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_NEXT)));

    boxText_.clear();
    user = Answer(IDYES);
    Click(page, IDC_CANCEL);
    user.join();
    EXPECT_FALSE(boxText_.empty());
    EXPECT_FALSE(IsWindow(page));
    ASSERT_EQ(Reports.size(), 2u);
    EXPECT_EQ(Reports[0].code, static_cast<WPARAM>(UM_LICENSE_DONE));
    EXPECT_EQ(Reports[0].result, 1);
    EXPECT_EQ(Reports[1].code, static_cast<WPARAM>(UM_LICENSE_DONE));
    EXPECT_EQ(Reports[1].result, 0);
}

TEST_F(PagesTest, InformationPageFocusPrevAndHiddenButton) {
    HWND page = OpenLicensePage(0);
    EXPECT_EQ(ui::WindowText(page), "Installation of Demo - Information");
    EXPECT_EQ(TextOf(page, IDC_TEXT), Info);
    EXPECT_EQ(TextOf(page, IDC_PREV), "Prev");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_PREV)));
    EXPECT_EQ(GetFocus(), GetDlgItem(page, IDC_NEXT));

    // Prev while the background window opens the license page during the send, as it does: the new
    // page keeps its own brush when the old one goes.
    HWND next = nullptr;
    OnReport = [this, &next] { next = OpenLicensePage(1); };
    Click(page, IDC_PREV);
    OnReport = nullptr;
    EXPECT_FALSE(IsWindow(page));
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Reports[0].code, static_cast<WPARAM>(UM_INFO_DONE));
    EXPECT_EQ(Reports[0].result, 2);
    ASSERT_TRUE(IsWindow(next));
    HDC dc = GetDC(next);
    EXPECT_NE(SendMessageA(next, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(GetDlgItem(next, IDC_TEXT))),
              0);
    ReleaseDC(next, dc);
    DestroyWindow(next);

    ReturnedFromFolder = 1;
    page = OpenLicensePage(0);
    EXPECT_EQ(GetFocus(), GetDlgItem(page, IDC_PREV));
    // Leaving the information page asks even when no license was ever agreed to.
    std::thread user = Answer(IDYES);
    Click(page, IDC_CANCEL);
    user.join();
    EXPECT_FALSE(boxText_.empty());
    ASSERT_EQ(Reports.size(), 2u);
    EXPECT_EQ(Reports[1].code, static_cast<WPARAM>(UM_INFO_DONE));
    EXPECT_EQ(Reports[1].result, 0);

    LicenseText = nullptr;
    page = OpenLicensePage(0);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_PREV)));
    Click(page, IDC_NEXT);
    ASSERT_EQ(Reports.size(), 3u);
    EXPECT_EQ(Reports[2].code, static_cast<WPARAM>(UM_INFO_DONE));
    EXPECT_EQ(Reports[2].result, 1);
}

TEST_F(PagesTest, PageKeysScrollTheTextWhileAButtonKeepsTheFocus) {
    static char longText[4000];
    longText[0] = '\0';
    for (int line = 1; line <= 100; ++line) wsprintfA(longText + lstrlenA(longText), "Line %d\r\n", line);
    LicenseText = longText;
    HWND page = OpenLicensePage(1);
    HWND cancel = GetDlgItem(page, IDC_CANCEL);
    ASSERT_EQ(GetFocus(), cancel);
    ASSERT_EQ(GetForegroundWindow(), page);
    HWND text = GetDlgItem(page, IDC_TEXT);
    ASSERT_EQ(SendMessageA(text, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    PressKey(VK_NEXT);
    Pump(page, 200);
    LRESULT afterPage = SendMessageA(text, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_GT(afterPage, 1);
    PressKey(VK_DOWN);
    Pump(page, 200);
    EXPECT_EQ(SendMessageA(text, EM_GETFIRSTVISIBLELINE, 0, 0), afterPage + 1);
    PressKey(VK_RIGHT);
    Pump(page, 200);
    EXPECT_EQ(GetFocus(), cancel);
}

// Runs the finish page as the finish worker does, modal; act plays the user on a second thread.
void RunFinishPage(const std::function<void(HWND)>& act) {
    DialogTemplate finish = FinishTemplate();
    std::thread user([&act] {
        HWND page = ui::WaitForWindow(GetCurrentProcessId(), "#32770", "Installation of Demo", 5000);
        if (page) act(page);
    });
    EXPECT_EQ(DialogBoxIndirectParamA(GetModuleHandleA(nullptr), finish.Get(), nullptr, FinishPageProc, 0),
              0);
    user.join();
}

class FinishPageTest : public PagesTest {
  protected:
    void WriteEndInstall(const char* contents) {
        std::string path = folder_.Path("end.ini");
        std::ofstream(path) << contents;
        lstrcpyA(EndInstallFile, path.c_str());
        RunApplicationChosen = ViewInformationChosen = -1;
    }
    testsupport::ScratchFolder folder_;
};

struct BoxState {
    bool visible = false, checked = false;
    std::string label;
};
BoxState StateOf(HWND page, int controlId) {
    return {IsWindowVisible(GetDlgItem(page, controlId)) != FALSE,
            IsDlgButtonChecked(page, controlId) == BST_CHECKED, ui::WindowText(GetDlgItem(page, controlId))};
}

// Offered actions are checked and the user's choice is kept; one the user may not cancel stays hidden
// but happens; with nothing to offer only the text shows.
TEST_F(FinishPageTest, TheEndInstallFileDecidesWhatIsOfferedAndTheUserWhatHappens) {
    struct Box {
        bool visible, checked;
        const char* label;  // null: not looked at
    };
    const char* offered = "[Run]\nRunAppPath=C:\\Demo\\demo.exe\n[Info]\nPostInfoPath=HTTP://example.com/\n";
    const char* forced =
        "[Run]\nRunAppPath=C:\\Demo\\demo.exe\nAllowCancelRunApp=0\n"
        "[Info]\nPostInfoPath=https://example.com/\n";
    const char* none = "[Run]\nSilentToolPath=C:\\tool.exe\n";
    const struct {
        const char* endInstall;
        bool uncheckRun, close;  // the user unchecks the run box; closes the page instead of Ok
        Box run, view;
        int runChosen, viewChosen;
    } cases[] = {
        {offered, true, false, {true, true, "Run application."}, {true, true, "Go to HomePage."}, 0, 1},
        {forced, false, true, {false, true, nullptr}, {true, true, "View information."}, 1, 1},
        {none, false, false, {false, false, nullptr}, {false, false, nullptr}, 0, 0},
    };
    for (const auto& c : cases) {
        WriteEndInstall(c.endInstall);
        BoxState run, view;
        std::string completed, ok;
        RunFinishPage([&](HWND page) {
            run = StateOf(page, IDC_RUN_APPLICATION);
            view = StateOf(page, IDC_VIEW_INFORMATION);
            completed = TextOf(page, IDC_COMPLETED);
            ok = TextOf(page, IDC_OK);
            if (c.uncheckRun)
                SendMessageA(GetDlgItem(page, IDC_RUN_APPLICATION), BM_SETCHECK, BST_UNCHECKED, 0);
            if (c.close)
                PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                ui::ClickButton(page, IDC_OK);
        });
        EXPECT_EQ(completed, "Installation of Demo completed.") << c.endInstall;
        EXPECT_EQ(ok, "Ok") << c.endInstall;
        for (const auto& [seen, expected] : {std::pair{run, c.run}, std::pair{view, c.view}}) {
            EXPECT_EQ(seen.visible, expected.visible) << c.endInstall;
            EXPECT_EQ(seen.checked, expected.checked) << c.endInstall;
            if (expected.label) {
                EXPECT_EQ(seen.label, expected.label) << c.endInstall;
            }
        }
        EXPECT_EQ(RunApplicationChosen, c.runChosen) << c.endInstall;
        EXPECT_EQ(ViewInformationChosen, c.viewChosen) << c.endInstall;
    }
}

}  // namespace
