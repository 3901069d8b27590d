// With Language=0 every text is Korean, in code page 949: only in the Korean run (a ko_KR locale).
#include "tests/e2e/install_run.h"

namespace {

std::string KoreanText(MessageId id) { return MessageOf(id).korean; }

std::string Formatted(MessageId id, const char* argument) {
    char text[1024];
    wsprintfA(text, MessageOf(id).korean, argument);
    return text;
}

// A package in Korean of the title proposing the folder (none when empty), with the members.
std::string Package(const char* name, const std::string& title, const std::string& folder,
                    const std::string& more = "",
                    const std::vector<testsupport::Member>& members = {{"Src\\hello.txt", "hello"}}) {
    return e2e::WritePackage(name, e2e::WizardMembers(e2e::Info(title, folder, more, 0), members));
}

class Korean : public e2e::WizardTest {
  protected:
    void SetUp() override {
        if (GetACP() != 949) GTEST_SKIP() << "needs the Korean code page (the Korean run)";
    }
};

// And shortcut and registry names keep their Korean letters.
TEST_F(Korean, TheWizardAndTheOverwriteQuestionSpeakKorean) {
    // "Hello", "Kelpack" and "Name" in Korean, in code page 949.
    const std::string hello = "\xBE\xC8\xB3\xE7", kelpack = "\xC4\xCC\xC6\xD1", name = "\xC0\xCC\xB8\xA7";
    CreateDirectoryA("C:\\Program Files\\Hello-ko", nullptr);
    testsupport::SetFileBytes("C:\\Program Files\\Hello-ko\\hello.txt", "old");
    HWND welcome =
        Start(Package("hello-ko.exe", "Hello", "{ProgramFiles}\\Hello-ko",
                      "[Shortcut]\r\nShortcut1=" + hello + ",{InstallDir}\\hello.txt,{ProgramMenu}\\" +
                          kelpack + "\r\n[Registry]\r\nRegistry1=0,0,1,Software\\Kelpack Korean," + name +
                          ",1," + hello + "\r\n[Info]\r\nLicenseInfo=1\r\n",
                      {{"KPLI", "License\r\n"}, {"Src\\hello.txt", "hello"}}),
              IDC_WELCOME_TITLE);
    EXPECT_EQ(ui::WindowText(welcome), Formatted(MessageId::InstallationOf, "Hello"));
    EXPECT_EQ(Text(welcome, IDC_WELCOME_TITLE), Formatted(MessageId::WelcomeWillInstall, "Hello"));
    ui::CaptureScreen(welcome, "korean-welcome");

    HWND license = Go(welcome, IDC_NEXT, IDC_TEXT);
    EXPECT_EQ(Text(license, IDC_PREV), KoreanText(MessageId::IAgree));
    Agree(license);
    ui::ClickButton(license, IDC_CANCEL);
    HWND abort = Box(KoreanText(MessageId::AbortInstallQuestion));
    ui::CaptureScreen(license, "korean-license");
    ui::CaptureScreen(abort, "korean-abort-question");
    ui::ClickButton(abort, IDNO);
    HWND folder = Go(license, IDC_NEXT, IDC_FOLDER_EDIT);
    EXPECT_EQ(Text(folder, IDC_FOLDER_TITLE), Formatted(MessageId::WillBeInstalledTo, "Hello"));
    ui::CaptureScreen(folder, "korean-install-folder");
    ui::ClickButton(folder, IDC_INSTALL);

    HWND question = Page(IDC_NO_MORE_CONFIRMATION);
    EXPECT_EQ(Text(question, IDC_QUESTION),
              Formatted(MessageId::FileAlreadyExists, "C:\\Program Files\\Hello-ko"));
    EXPECT_EQ(Text(Page(IDC_PROGRESS_TITLE), IDC_PROGRESS_TITLE), Formatted(MessageId::Installing, "Hello"));
    ui::WaitUntilPainted(question);
    ui::CaptureScreen(question, "korean-overwrite-question");
    ui::ClickButton(question, IDC_YES_BUTTON);
    ExpectFinished("korean-finish");
    EXPECT_EQ(testsupport::FileBytes("C:\\Program Files\\Hello-ko\\hello.txt"), "hello");
    CoInitialize(nullptr);
    EXPECT_EQ(
        testsupport::ReadLink(e2e::ShellFolder(CSIDL_PROGRAMS) + "\\" + kelpack + "\\" + hello + ".LNK").path,
        "C:\\Program Files\\Hello-ko\\hello.txt");
    char value[64] = "";
    DWORD size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\Kelpack Korean", name.c_str(), RRF_RT_REG_SZ, nullptr, value,
                 &size);
    EXPECT_EQ(value, hello);
}

TEST_F(Korean, TheUninstallationAndItsQuestionsSpeakKorean) {
    const std::string folder = "C:\\Program Files\\Uninstall-ko";
    StartInstall(Package("uninstall-ko.exe", "Hello", folder,
                         "[MiscFile]\r\nMiscFile1={InstallDir}\\extra.dat,2,0,0,0,0\r\n"
                         "[Uninstall]\r\nCPLUninstallName=Hello\r\n",
                         {{"Src\\hello.txt", "hello"}, {"Misc1", "extra"}}));
    ExpectFinished();
    testsupport::SetFileBytes(folder + "\\mine.txt", "mine");
    const std::string command = e2e::UninstallEntry("Hello", "UninstallString");
    ASSERT_NE(command, "(none)");
    StartCommand(command);

    const std::string caption = "Hello" + KoreanText(MessageId::UninstallCaptionSuffix);
    HWND confirmation = Box(Formatted(MessageId::UninstallQuestion, "Hello"));
    EXPECT_EQ(ui::WindowText(confirmation), caption);
    ui::CaptureScreen(confirmation, "korean-uninstall-confirmation");
    ui::ClickButton(confirmation, IDYES);

    // The shared-file question about the misc file, then the unknown-file question about mine.txt.
    for (const auto& [heading, shot] :
         {std::pair{MessageId::FileMayBeShared, "korean-uninstall-shared-file"},
          std::pair{MessageId::FileNotInstalledByUs, "korean-uninstall-unknown-file"}}) {
        HWND question = Page(IDC_DELETE_QUESTION);
        EXPECT_EQ(Text(question, IDC_DELETE_QUESTION), KoreanText(heading));
        ui::WaitUntilPainted(question);
        ui::CaptureScreen(question, shot);
        ui::ClickButton(question, IDC_YES_BUTTON);
        ASSERT_TRUE(ui::WaitForWindowToGo(question, e2e::Patience));
    }
    HWND dialog = Page(IDC_UNINSTALL_HEADING);
    EXPECT_EQ(ui::WindowText(dialog), caption);
    const std::string completed = Formatted(MessageId::UninstallCompleted, "Hello");
    for (int wait = 0; wait < 300 && Text(dialog, IDC_UNINSTALL_HEADING) != completed; ++wait) Sleep(100);
    EXPECT_EQ(Text(dialog, IDC_UNINSTALL_HEADING), completed);
    ui::WaitUntilPainted(dialog);
    ui::CaptureScreen(dialog, "korean-uninstall");
    ui::ClickButton(dialog, IDC_UNINSTALL_BUTTON);
    ExpectEndsWith(0);
    EXPECT_FALSE(e2e::Exists(folder));
}

}  // namespace
