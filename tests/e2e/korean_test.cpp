// The wizard in Korean: with Language=0 every text is the Korean one, shown in the Korean code page.
// Runs only in the Korean run of the end-to-end tests (a ko_KR locale, code page 949).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/messages.h"
#include "tests/e2e/install_run.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

namespace {

// The Korean text of the message, with the argument put in when one is given.
std::string InKorean(MessageId id, const char* argument = "") {
    char text[1024];
    wsprintfA(text, MessageOf(id).korean, argument);
    return text;
}

// Hello in Korean, with more lines of [General] and more members.
std::string HelloKo(const std::string& general, const std::vector<e2e::Member>& more) {
    return e2e::WritePackage(
        "hello-ko.exe", e2e::WizardMembers("[General]\r\nTitle=Hello\r\nLanguage=0\r\n" + general, more));
}

class Korean : public e2e::WizardTest {
  protected:
    void SetUp() override {
        if (GetACP() != 949) GTEST_SKIP() << "needs the Korean code page (the Korean run)";
    }
};

TEST_F(Korean, TheWelcomeAndLicensePagesAndTheAbortQuestionSpeakKorean) {
    HWND welcome = Start(HelloKo("[Info]\r\nLicenseInfo=1\r\n", {{"KPLI", "License\r\n"}}));
    ExpectTexts(welcome,
                {{e2e::Caption, InKorean(MessageId::InstallationOf, "Hello")},
                 {IDC_WELCOME_TITLE, InKorean(MessageId::WelcomeWillInstall, "Hello")},
                 {IDC_WELCOME_ADVICE, InKorean(MessageId::WelcomeExitOthers)},
                 {IDC_NEXT, InKorean(MessageId::Next)},
                 {IDC_CANCEL, InKorean(MessageId::Cancel)}},
                "korean-welcome");

    HWND license = Go(welcome, IDC_NEXT, IDC_TEXT);
    EXPECT_EQ(Text(license, IDC_PREV), InKorean(MessageId::IAgree));
    Agree(license);
    ui::ClickButton(license, IDC_CANCEL);
    HWND question = Box(InKorean(MessageId::AbortInstallQuestion));
    ui::CaptureScreen(license, "korean-license");
    ui::CaptureScreen(question, "korean-abort-question");
    ui::ClickButton(question, IDYES);
    ExpectEndsWith(0);
}

TEST_F(Korean, TheInstallPagesAndTheOverwriteQuestionSpeakKorean) {
    CreateDirectoryA("C:\\Program Files\\Hello-ko", nullptr);
    testsupport::SetFileBytes("C:\\Program Files\\Hello-ko\\hello.txt", "old");
    HWND folder = StartPastWelcome(
        HelloKo("DefInstallFolder={ProgramFiles}\\Hello-ko\r\n", {{"Src\\hello.txt", "hello"}}));
    ExpectTexts(folder,
                {{IDC_FOLDER_TITLE, InKorean(MessageId::WillBeInstalledTo, "Hello")},
                 {IDC_BROWSE, InKorean(MessageId::Browse)},
                 {IDC_INSTALL, InKorean(MessageId::Install)}},
                "korean-install-folder");
    ui::ClickButton(folder, IDC_INSTALL);

    HWND question = Page(IDC_NO_MORE_CONFIRMATION);
    HWND progress = Page(IDC_PROGRESS_TITLE);
    ExpectTexts(progress, {{IDC_PROGRESS_TITLE, InKorean(MessageId::Installing, "Hello")},
                           {IDC_ABORT, InKorean(MessageId::Abort)}});
    ExpectTexts(question,
                {{IDC_QUESTION, InKorean(MessageId::FileAlreadyExists, "C:\\Program Files\\Hello-ko")},
                 {IDC_LINE2, InKorean(MessageId::ReplaceFileQuestion)},
                 {IDC_NO_MORE_CONFIRMATION, InKorean(MessageId::NoMoreConfirmation)},
                 {IDC_ABORT, InKorean(MessageId::Abort)}},
                "korean-overwrite-question");
    ui::ClickButton(question, IDC_YES_BUTTON);
    ExpectEndsWith(0);
    EXPECT_EQ(testsupport::FileBytes("C:\\Program Files\\Hello-ko\\hello.txt"), "hello");
}

}  // namespace
