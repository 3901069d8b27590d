// The wizard in Korean: with Language=0 every text is the Korean one, shown in the Korean code page.
// Runs only in the Korean run of the end-to-end tests (a ko_KR locale, code page 949).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/messages.h"
#include "tools/ui_driver/ui_driver.h"
#include "tests/e2e/install_run.h"
#include "ui/resources/resource_ids.h"

namespace {

using e2e::Patience;

std::string Korean(MessageId id) { return MessageOf(id).korean; }

std::string Formatted(MessageId id, const char* argument) {
    char text[1024];
    wsprintfA(text, MessageOf(id).korean, argument);
    return text;
}

TEST(Korean, TheWizardSpeaksKorean) {
    if (GetACP() != 949) GTEST_SKIP() << "needs the Korean code page (the Korean run)";
    const std::string package = e2e::WritePackage(
        "hello-ko.exe", {{"KPII", "[General]\r\nTitle=Hello\r\nLanguage=0\r\n[Info]\r\nLicenseInfo=1\r\n"},
                         {"KPWB", e2e::SampleBitmap(110, 250, RGB(0, 96, 160), RGB(240, 200, 0))},
                         {"KPLI", "License\r\n"}});
    ui::Process run;
    ASSERT_TRUE(run.Attach(e2e::RunPackage(package)));
    HWND welcome = ui::WaitForDialogWithControl(run.Id(), IDC_WELCOME_TITLE, Patience);
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(ui::WindowText(welcome), Formatted(MessageId::InstallationOf, "Hello"));
    EXPECT_EQ(ui::WindowText(GetDlgItem(welcome, IDC_WELCOME_TITLE)),
              Formatted(MessageId::WelcomeWillInstall, "Hello"));
    EXPECT_EQ(ui::WindowText(GetDlgItem(welcome, IDC_WELCOME_ADVICE)), Korean(MessageId::WelcomeExitOthers));
    EXPECT_EQ(ui::WindowText(GetDlgItem(welcome, IDC_NEXT)), Korean(MessageId::Next));
    EXPECT_EQ(ui::WindowText(GetDlgItem(welcome, IDC_CANCEL)), Korean(MessageId::Cancel));
    ui::CaptureScreen(welcome, "korean-welcome");

    ui::ClickButton(welcome, IDC_NEXT);
    HWND license = ui::WaitForDialogWithControl(run.Id(), IDC_TEXT, Patience);
    ASSERT_NE(license, nullptr);
    EXPECT_EQ(ui::WindowText(GetDlgItem(license, IDC_PREV)), Korean(MessageId::IAgree));
    ui::ClickButton(license, IDC_PREV);  // I Agree; the page then disables it
    for (int wait = 0; wait < 50 && IsWindowEnabled(GetDlgItem(license, IDC_PREV)); ++wait) Sleep(50);
    ui::ClickButton(license, IDC_CANCEL);
    HWND question = ui::WaitForMessageBox(run.Id(), Patience);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(ui::MessageBoxText(question), Korean(MessageId::AbortInstallQuestion));
    ui::CaptureScreen(license, "korean-license");
    ui::CaptureScreen(question, "korean-abort-question");
    ui::ClickButton(question, IDYES);
    ASSERT_TRUE(run.WaitForExit(Patience));
    EXPECT_EQ(run.ExitCode(), 0u);
}

TEST(Korean, TheInstallPagesAndTheOverwriteQuestionSpeakKorean) {
    if (GetACP() != 949) GTEST_SKIP() << "needs the Korean code page (the Korean run)";
    CreateDirectoryA("C:\\Program Files\\Hello-ko", nullptr);
    testsupport::SetFileBytes("C:\\Program Files\\Hello-ko\\hello.txt", "old");
    const std::string package = e2e::WritePackage(
        "hello-ko.exe",
        {{"KPII", "[General]\r\nTitle=Hello\r\nLanguage=0\r\nDefInstallFolder={ProgramFiles}\\Hello-ko\r\n"},
         {"KPWB", e2e::SampleBitmap(110, 250, RGB(0, 96, 160), RGB(240, 200, 0))},
         {"Src\\hello.txt", "hello"}});
    ui::Process run;
    ASSERT_TRUE(run.Attach(e2e::RunPackage(package)));
    HWND welcome = ui::WaitForDialogWithControl(run.Id(), IDC_WELCOME_TITLE, Patience);
    ASSERT_NE(welcome, nullptr);
    ui::ClickButton(welcome, IDC_NEXT);
    HWND folder = ui::WaitForDialogWithControl(run.Id(), IDC_FOLDER_EDIT, Patience);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(ui::WindowText(GetDlgItem(folder, IDC_FOLDER_TITLE)),
              Formatted(MessageId::WillBeInstalledTo, "Hello"));
    EXPECT_EQ(ui::WindowText(GetDlgItem(folder, IDC_BROWSE)), Korean(MessageId::Browse));
    EXPECT_EQ(ui::WindowText(GetDlgItem(folder, IDC_INSTALL)), Korean(MessageId::Install));
    ui::CaptureScreen(folder, "korean-install-folder");
    ui::ClickButton(folder, IDC_INSTALL);

    HWND question = ui::WaitForDialogWithControl(run.Id(), IDC_NO_MORE_CONFIRMATION, Patience);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(ui::WindowText(GetDlgItem(question, IDC_QUESTION)),
              Formatted(MessageId::FileAlreadyExists, "C:\\Program Files\\Hello-ko"));
    EXPECT_EQ(ui::WindowText(GetDlgItem(question, IDC_LINE2)), Korean(MessageId::ReplaceFileQuestion));
    EXPECT_EQ(ui::WindowText(GetDlgItem(question, IDC_NO_MORE_CONFIRMATION)),
              Korean(MessageId::NoMoreConfirmation));
    EXPECT_EQ(ui::WindowText(GetDlgItem(question, IDC_ABORT)), Korean(MessageId::Abort));
    HWND progress = ui::WaitForDialogWithControl(run.Id(), IDC_PROGRESS_TITLE, Patience);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(ui::WindowText(GetDlgItem(progress, IDC_PROGRESS_TITLE)),
              Formatted(MessageId::Installing, "Hello"));
    EXPECT_EQ(ui::WindowText(GetDlgItem(progress, IDC_ABORT)), Korean(MessageId::Abort));
    ui::WaitUntilPainted(question);
    ui::CaptureScreen(question, "korean-overwrite-question");
    ui::ClickButton(question, IDC_YES_BUTTON);
    ASSERT_TRUE(run.WaitForExit(Patience));
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_EQ(testsupport::FileBytes("C:\\Program Files\\Hello-ko\\hello.txt"), "hello");
}

}  // namespace
