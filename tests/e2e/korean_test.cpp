// The wizard in Korean: with Language=0 every text is the Korean one, shown in the Korean code page.
// Runs only in the Korean run of the end-to-end tests (a ko_KR locale, code page 949).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/messages.h"
#include "tests/e2e/driver/ui_driver.h"
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

}  // namespace
