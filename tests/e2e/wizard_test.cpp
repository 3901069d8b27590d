// The wizard's pages up to the file phase, every way out of them, the backdrop, and minimizing.
#include "tests/e2e/install_run.h"

namespace {

// A package of Hello: install information with the extra lines, a bitmap, and the texts asked for.
std::string Hello(const std::string& extra = "", bool license = false, bool information = false) {
    const std::string info = e2e::HelloInfo(extra) + "[Info]\r\nLicenseInfo=" + (license ? "1" : "0") +
                             "\r\nPreInfo=" + (information ? "1" : "0") + "\r\n";
    std::vector<testsupport::Member> members = e2e::WizardMembers(info);
    std::string text;  // longer than the page shows
    for (int line = 1; line <= 200; ++line) text += "License line " + std::to_string(line) + "\r\n";
    if (license) members.push_back({"KPLI", text});
    if (information) members.push_back({"KPPI", "Read me before you install.\r\n"});
    members.push_back({"Src\\hello.txt", "hello"});
    return e2e::WritePackage("hello.exe", members);
}

using Wizard = e2e::WizardTest;

// The backdrop covers the screen; minimizing the page minimizes it, restoring brings both back. Cancel
// before the license is agreed to ends the run without a question.
TEST_F(Wizard, TheWelcomePageMinimizesWithTheBackdropAndCancelBeforeAgreeingEndsTheRunAtOnce) {
    HWND welcome =
        Start(Hello("[Background]\r\nHeader=Hello Setup\r\nFooter=Kelpack\r\n", true), IDC_WELCOME_TITLE);
    HWND background = Backdrop();
    EXPECT_EQ(ui::WindowText(welcome), "Installation of Hello");
    EXPECT_EQ(Text(welcome, IDC_WELCOME_TITLE), "This will install Hello on your computer.");
    ui::CaptureScreen(welcome, "wizard-welcome");
    RECT area;
    GetWindowRect(background, &area);
    EXPECT_EQ(area.right - area.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(area.bottom - area.top, GetSystemMetrics(SM_CYSCREEN));
    ui::WaitUntilPainted(background);
    ui::CaptureScreen(nullptr, "wizard-backdrop");

    PostMessageA(welcome, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    for (int wait = 0; wait < 50 && !IsIconic(background); ++wait) Sleep(50);
    EXPECT_TRUE(IsIconic(background));
    PostMessageA(background, WM_SYSCOMMAND, SC_RESTORE, 0);
    for (int wait = 0; wait < 50 && IsIconic(background); ++wait) Sleep(50);
    EXPECT_FALSE(IsIconic(background));
    EXPECT_TRUE(IsWindowVisible(welcome));
    CancelUnasked(Go(welcome, IDC_NEXT, IDC_TEXT));
}

// Cancel asks only once the license is agreed to; Prev and Next then walk between the pages.
TEST_F(Wizard, TheLicenseMustBeAgreedToAndPrevAndNextWalkBetweenLicenseInformationAndFolder) {
    HWND license =
        StartPastWelcome(Hello("DefInstallFolder={ProgramFiles}\\Hello\r\n", true, true), IDC_TEXT);
    EXPECT_EQ(ui::WindowText(license), "Installation of Hello - License");
    EXPECT_EQ(Text(license, IDC_PREV), "I Agree");
    EXPECT_FALSE(Enabled(license, IDC_NEXT));
    EXPECT_EQ(Text(license, IDC_TEXT).substr(0, 14), "License line 1");
    ui::CaptureScreen(license, "wizard-license");
    // With the focus on a button, Down scrolls the text a line, Page Down further, Right moves nothing.
    ASSERT_EQ(SettledFocus(license), GetDlgItem(license, IDC_CANCEL));
    HWND text = GetDlgItem(license, IDC_TEXT);
    ui::PressKey(license, VK_DOWN);
    EXPECT_EQ(SendMessageA(text, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
    ui::PressKey(license, VK_NEXT);
    EXPECT_GT(SendMessageA(text, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
    ui::PressKey(license, VK_RIGHT);
    EXPECT_EQ(ui::FocusedControl(license), GetDlgItem(license, IDC_CANCEL));
    Agree(license);
    EXPECT_TRUE(Enabled(license, IDC_NEXT));
    EXPECT_FALSE(Enabled(license, IDC_PREV));

    ui::ClickButton(license, IDC_CANCEL);
    ASSERT_TRUE(Answer(e2e::AbortQuestion, IDNO, "wizard-abort-question"));
    EXPECT_TRUE(IsWindow(license)) << "No keeps the page";

    HWND information = Go(license, IDC_NEXT, IDC_TEXT);

    EXPECT_EQ(ui::WindowText(information), "Installation of Hello - Information");
    EXPECT_EQ(Text(information, IDC_PREV), "Prev");
    EXPECT_TRUE(Visible(information, IDC_PREV));
    EXPECT_EQ(Text(information, IDC_TEXT), "Read me before you install.\r\n");
    ui::CaptureScreen(information, "wizard-information");

    license = Go(information, IDC_PREV, IDC_TEXT);
    EXPECT_EQ(ui::WindowText(license), "Installation of Hello - License");
    EXPECT_FALSE(Enabled(license, IDC_PREV)) << "agreed once, I Agree stays off";
    EXPECT_TRUE(Enabled(license, IDC_NEXT));
    information = Go(license, IDC_NEXT, IDC_TEXT);

    HWND folder = Go(information, IDC_NEXT, IDC_FOLDER_EDIT);
    EXPECT_EQ(ui::WindowText(folder), "Installation of Hello - Select install folder");
    EXPECT_EQ(Text(folder, IDC_FOLDER_TITLE), "Hello will be installed to following folder.");
    EXPECT_EQ(Text(folder, IDC_FOLDER_EDIT), "C:\\Program Files\\Hello");
    EXPECT_TRUE(Visible(folder, IDC_PREV));
    ui::CaptureScreen(folder, "wizard-install-folder");

    // Alt+F4 on the backdrop is the page's close: after agreeing it asks.
    Go(folder, IDC_PREV, IDC_TEXT);
    ui::PressKey(Backdrop(), VK_F4, true);
    ASSERT_TRUE(Answer(e2e::AbortQuestion, IDYES));
    ExpectEndsWith(0);
}

// The install folder page on Install: each check in its order with its message, and the folder made.
using testsupport::FileBytes;

std::string Package(const std::string& general, const char* folder = "Hello") {
    return e2e::WritePackage("folder.exe",
                             e2e::WizardMembers(e2e::HelloInfo("DefInstallFolder={ProgramFiles}\\" +
                                                               std::string(folder) + "\r\n" + general),
                                                {{"Src\\hello.txt", "hello"}}));
}

class FolderPage : public e2e::WizardTest {
  protected:
    // Types the folder and presses Install.
    void Install(HWND page, const char* folder) {
        ASSERT_TRUE(ui::TypeInto(GetDlgItem(page, IDC_FOLDER_EDIT), folder));
        ui::ClickButton(page, IDC_INSTALL);
    }
};

TEST_F(FolderPage, ATypedMissingFolderIsCreatedOnlyAfterTheUserAgrees) {
    // Without license and information texts, Next leads straight to the folder page, which has no Prev.
    HWND page = StartAtFolderPage(Package("SpaceNeeded=5\r\n"));
    EXPECT_FALSE(Visible(page, IDC_PREV));
    EXPECT_EQ(Text(page, IDC_SPACE_NEEDED), "Space needed: 0KBytes");
    Install(page, "C:\\Typed\\Deeper");
    const std::string question = "Folder 'C:\\Typed\\Deeper' does not exists.\n\nCreate this folder?";
    ASSERT_TRUE(Answer(question, IDNO));
    EXPECT_FALSE(e2e::Exists("C:\\Typed")) << "No creates nothing";
    EXPECT_TRUE(IsWindow(page));

    ui::ClickButton(page, IDC_INSTALL);
    ASSERT_TRUE(Answer(question, IDYES));
    HWND progress = Page(IDC_PROGRESS_TITLE);
    if (progress) ui::CaptureScreen(progress, "wizard-progress");
    ExpectFinished("wizard-finish");
    EXPECT_EQ(FileBytes("C:\\Typed\\Deeper\\hello.txt"), "hello");
}

TEST_F(FolderPage, RemoteInvalidRemovableAndFullDrivesEachKeepThePage) {
    // More space than any drive offers (read as signed, compared as unsigned): the removable drive, once
    // accepted, fails the space check.
    HWND page = StartAtFolderPage(Package("SpaceNeeded=-1\r\n"));
    Install(page, "\\\\server\\share\\Hello");
    ASSERT_TRUE(Answer("Can't install to remote computer.", IDOK));
    Install(page, "Q:\\Hello");
    ASSERT_TRUE(Answer("'Q:' is not valid drive specification or not accessible.", IDOK));
    Install(page, "F:\\Hello");
    const std::string removable = "Drive 'F:' is removable.\n\nContinue installation on this drive anyway?";
    ASSERT_TRUE(Answer(removable, IDNO, "folder-removable-drive"));
    ui::ClickButton(page, IDC_INSTALL);
    ASSERT_TRUE(Answer(removable, IDYES));
    ASSERT_TRUE(Answer("Folder 'F:\\Hello' does not exists.\n\nCreate this folder?", IDYES));
    ASSERT_TRUE(Answer("Not enough free space on drive 'F:'.", IDOK));
    EXPECT_FALSE(e2e::Exists("F:\\Hello")) << "nothing is created before every check has passed";
    EXPECT_TRUE(IsWindow(page));
    Abort(page);
}

}  // namespace
