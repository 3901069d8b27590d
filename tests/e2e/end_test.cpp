// The end of an installation: a restart (Wine's own, through wineboot), the silent tool, the finish page.
#include "tests/e2e/install_run.h"

#include <optional>

namespace {

// A file in use is replaced across the restart; the finish run registers what waited, then the page comes.
constexpr const char* Folder = "C:\\Program Files\\Restarted";
constexpr const char* Ran = "C:\\kp-e2e\\ran.txt";

const std::string Busy = std::string(Folder) + "\\busy.txt";
using e2e::Exists;

std::string Package() {
    const std::string info =
        e2e::Info("Restarted", Folder,
                  std::string("ConfirmOverwriteSourceFolderFile=0\r\n"
                              "[MiscFile]\r\n"
                              "MiscFile1={InstallDir}\\server.dll,2,1,0,1,0\r\n"
                              "MiscFile2={InstallDir}\\library.tlb,2,1,0,0,1\r\n"
                              "[Run]\r\nRunAppPath={WinSysDir}\\cmd.exe\r\nRunAppArg=/c cd > ") +
                      Ran +
                      "\r\nAllowCancelRunApp=0\r\n"
                      "[Uninstall]\r\nCPLUninstallName=Restarted\r\n");
    return e2e::WritePackage("restarted.exe",
                             e2e::WizardMembers(info, {{"Src\\busy.txt", "new"},
                                                       {"Misc1", e2e::Fixture("com_server.dll")},
                                                       {"Misc2", e2e::Fixture("fixture.tlb")}}));
}

constexpr const char* Library = "{6B1F0C3E-4D2A-4A51-9E0B-2C7D5F1A9E01}";  // the fixture's type library

// What the runs after the restart leave: the file replaced, the server and the type library registered,
// nothing else.
void ExpectCompleted() {
    EXPECT_EQ(testsupport::FileBytes(Busy), "new");
    EXPECT_EQ(testsupport::ServerRecord(std::string(Folder) + "\\server.dll"), "registered");
    char library[MAX_PATH] = "";
    LONG size = sizeof library;
    RegQueryValueA(HKEY_CLASSES_ROOT, ("TypeLib\\" + std::string(Library) + "\\1.0\\0\\win32").c_str(),
                   library, &size);
    EXPECT_EQ(library, std::string(Folder) + "\\library.tlb");
    EXPECT_EQ(e2e::FinishRunCommand("Restarted"), "(none)");
    EXPECT_EQ(e2e::LeftoversIn(e2e::TempFolder()), e2e::Strings{});
    EXPECT_FALSE(Exists(e2e::WindowsFolder() + "\\WININIT.BAK"));
    EXPECT_FALSE(Exists(e2e::WindowsFolder() + "\\WININIT.INI"));
}

// The end of a session reaches console programs too; the test stays to see the restart through.
BOOL WINAPI OutliveTheSession(DWORD) { return TRUE; }

class AfterRestart : public e2e::WizardTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        DeleteFileA(Ran);
        // The other family's run must not have registered them already.
        RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Kelpack Tests",
                           (std::string(Folder) + "\\server.dll").c_str());
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ("TypeLib\\" + std::string(Library)).c_str());
        if (GetParam()) {
            ASSERT_TRUE(asWindows98_.emplace().On());
        }
    }
    std::optional<e2e::AsWindows98> asWindows98_;
    std::string Shot(const char* name) { return std::string(GetParam() ? "95-" : "") + name; }
};

TEST_P(AfterRestart, AFileInUseIsReplacedAndTheDeferredStepsAndTheFinishPageFollow) {
    e2e::HeldFile inUse = e2e::PlaceAndHold(Busy, "old");
    ASSERT_TRUE(inUse);
    StartInstall(Package());
    HWND question = Box(e2e::RestartQuestion);
    ui::CaptureScreen(question, Shot("restart-question").c_str());
    EXPECT_EQ(testsupport::FileBytes(Busy), "old");
    EXPECT_NE(e2e::FinishRunCommand("Restarted"), "(none)");
    EXPECT_EQ(testsupport::ServerRecord(std::string(Folder) + "\\server.dll"), "") << "deferred";
    inUse.reset();  // a restart ends every program: the file is free by then

    // Yes: the finish run's box and the post-install run's finish page follow.
    SetConsoleCtrlHandler(OutliveTheSession, TRUE);
    ui::ClickButton(question, IDYES);
    ASSERT_TRUE(run_.WaitForExit(e2e::Patience));
    EXPECT_EQ(run_.ExitCode(), 0u);
    const DWORD finishRun = ui::WaitForProcessNamed("KPinst27.exe", 2 * e2e::Patience, run_.Id());
    ASSERT_NE(finishRun, 0u) << "no finish run after the restart";
    HWND box = ui::WaitForDialogWithControl(finishRun, IDC_BUSY_TEXT, e2e::Patience);
    ASSERT_NE(box, nullptr) << "no finishing box";
    EXPECT_EQ(ui::WindowText(GetDlgItem(box, IDC_BUSY_TEXT)), "Finishing installation...");
    ui::CaptureScreen(box, Shot("restart-finishing").c_str());
    const DWORD postInstall = ui::WaitForProcessNamed("KPinst27.exe", 2 * e2e::Patience, finishRun);
    ui::Process finish;
    ASSERT_TRUE(postInstall != 0 && finish.Attach(postInstall)) << "no post-install run";
    HWND page = ui::WaitForDialogWithControl(postInstall, IDC_COMPLETED, e2e::Patience);
    ASSERT_NE(page, nullptr) << "no finish page after the restart";
    ui::WaitUntilPainted(page);
    ui::CaptureScreen(page, Shot("restart-finish-page").c_str());
    ui::ClickButton(page, IDC_OK);
    ASSERT_TRUE(finish.WaitForExit(e2e::Patience));
    EXPECT_EQ(finish.ExitCode(), 0u);
    EXPECT_EQ(e2e::WaitForLine(Ran), e2e::Lower(e2e::SystemFolder() + "\r\n"))
        << "the application runs in its own folder";
    ExpectCompleted();
}

INSTANTIATE_TEST_SUITE_P(Families, AfterRestart, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Family95" : "FamilyNt");
                         });

// Halves run by scripts/wine-restart-test.sh around the end of the Wine session; skipped on their own.
class SessionRestart : public e2e::WizardTest {
  protected:
    void SetUp() override {
        if (ui::Environment("KP_CHECK").empty()) GTEST_SKIP() << "a half of the session restart tests";
    }
    // The first half's file in use.
    void PlaceBusy() {
        inUse_ = e2e::PlaceAndHold(Busy, "old");
        ASSERT_TRUE(inUse_);
    }
    e2e::HeldFile inUse_;
};

TEST_F(SessionRestart, ADeclinedRestartLeavesTheRunsForTheNextSession) {
    ASSERT_NO_FATAL_FAILURE(PlaceBusy());
    StartInstall(Package());
    HWND question = Box(e2e::RestartQuestion);
    inUse_.reset();
    ui::ClickButton(question, IDNO);
    ASSERT_TRUE(ui::WaitForWindowToGo(question, e2e::Patience));
    ASSERT_TRUE(Answer("Installation will be completed after system restarted.", IDOK));
    ASSERT_TRUE(run_.WaitForExit(e2e::Patience));
    EXPECT_EQ(testsupport::FileBytes(Busy), "old");
    EXPECT_NE(e2e::FinishRunCommand("Restarted"), "(none)");
}

TEST_F(SessionRestart, TheNextSessionCompletesTheInstallation) {
    // The session's start runs the finish run, which starts the post-install run with the page.
    DWORD postInstall = 0, finishRun = 0;
    HWND page = nullptr;
    for (DWORD waited = 0; page == nullptr && waited < 4 * e2e::Patience; waited += 500) {
        const DWORD id = ui::WaitForProcessNamed("KPinst27.exe", 500, finishRun);
        if (id == 0) continue;
        page = ui::WaitForDialogWithControl(id, IDC_COMPLETED, 500);
        if (page != nullptr)
            postInstall = id;
        else if (ui::WaitForDialogWithControl(id, IDC_BUSY_TEXT, 0) != nullptr)
            finishRun = id;
    }
    ASSERT_NE(page, nullptr) << "no finish page after the restart";
    ui::Process finish;
    ASSERT_TRUE(finish.Attach(postInstall));
    ui::ClickButton(page, IDC_OK);
    ASSERT_TRUE(finish.WaitForExit(e2e::Patience));
    // Also keeps the session until the application has started: one ended while its console was still
    // starting leaves that loader waiting for a server that is gone.
    EXPECT_EQ(e2e::WaitForLine(Ran), e2e::Lower(e2e::SystemFolder() + "\r\n")) << "the finish page's action";
    ExpectCompleted();
}

// After a silent installation the run ends with 3010 and restarts nothing; the next session's runs show
// nothing: no box, no finish page, none of its actions.
TEST_F(SessionRestart, ASilentInstallationLeavesTheRestartToItsCaller) {
    ASSERT_NO_FATAL_FAILURE(PlaceBusy());
    ui::Process silent;
    ASSERT_TRUE(silent.Start(Package(), "/S"));
    ASSERT_TRUE(silent.WaitForExit(4 * e2e::Patience));
    inUse_.reset();
    EXPECT_EQ(silent.ExitCode(), 3010u);
    EXPECT_EQ(testsupport::FileBytes(Busy), "old");
    EXPECT_NE(e2e::FinishRunCommand("Restarted"), "(none)");
}

TEST_F(SessionRestart, TheNextSessionCompletesTheSilentInstallationUnseen) {
    bool done = false;
    for (DWORD waited = 0; !done && waited < 4 * e2e::Patience; waited += 200) {
        // The finish run and the post-install run it starts.
        const DWORD first = ui::WaitForProcessNamed("KPinst27.exe", 0);
        for (DWORD id : {first, first != 0 ? ui::WaitForProcessNamed("KPinst27.exe", 0, first) : 0}) {
            if (id == 0) continue;
            EXPECT_EQ(ui::WaitForDialogWithControl(id, IDC_BUSY_TEXT, 0), nullptr) << "the finishing box";
            EXPECT_EQ(ui::WaitForDialogWithControl(id, IDC_COMPLETED, 0), nullptr) << "the finish page";
        }
        done = first == 0 && e2e::FinishRunCommand("Restarted") == "(none)" && e2e::WorkingFiles().empty();
        Sleep(200);
    }
    ASSERT_TRUE(done) << "the runs after the restart did not end by themselves";
    ExpectCompleted();
    EXPECT_FALSE(Exists(Ran)) << "the finish page's action";
}

// Without a restart: the silent tool, then the finish page's actions, whose openings go to a recorder.
constexpr const char* FinishedFolder = "C:\\Program Files\\Finished";
constexpr const char* Asked = "C:\\kp-e2e\\asked.txt";
constexpr const char* ToolSaw = "C:\\kp-e2e\\tool.txt";
constexpr const char* ToolMayEnd = "C:\\kp-e2e\\tool-may-end";
constexpr const char* AppRan = "C:\\kp-e2e\\app.txt";

// The shell's open command for web addresses pointed at the recorder (cmd) while it lasts.
class RecordedOpening {
  public:
    RecordedOpening() {
        DWORD size = sizeof old_;
        hadOld_ = RegGetValueA(HKEY_CLASSES_ROOT, Key, nullptr, RRF_RT_REG_SZ, nullptr, old_, &size) ==
                  ERROR_SUCCESS;
        SetText(("\"" + e2e::SystemFolder() + "\\cmd.exe\" /c echo opened %1>> " + Asked).c_str());
    }
    ~RecordedOpening() {
        if (hadOld_) SetText(old_);
    }

  private:
    static constexpr const char* Key = "http\\shell\\open\\command";
    static void SetText(const char* text) {
        RegSetKeyValueA(HKEY_CLASSES_ROOT, Key, nullptr, REG_SZ, text, static_cast<DWORD>(strlen(text) + 1));
    }
    char old_[1024] = "";
    bool hadOld_ = false;
};

// The information is a web address: a document in the install folder takes the same way through the
// shell, and the label for each kind is the finish page's (PagesTest.TheEndInstallFileDecides...).
constexpr const char* InfoAddress = "http://example.invalid/kelpack";

class FinishPage : public e2e::WizardTest {};

TEST_F(FinishPage, TheSilentToolRunsHiddenThenThePagesChoicesOpenTheirTargets) {
    for (const char* file : {Asked, ToolSaw, ToolMayEnd, AppRan}) DeleteFileA(file);
    RecordedOpening recorded;
    const std::string group = e2e::ShellFolder(CSIDL_PROGRAMS) + "\\Finish Group";
    CreateDirectoryA(group.c_str(), nullptr);

    const std::string info =
        std::string("[General]\r\nTitle=Finished\r\nLanguage=1\r\nDefInstallFolder=") + FinishedFolder +
        "\r\nConfirmOverwriteSourceFolderFile=0\r\n[Shortcut]\r\nProgramGroupName=Finish Group\r\n"
        "[Run]\r\nSilentToolPath={InstallDir}\\tool.cmd\r\nSilentToolArg=silent\r\nHideWizardWindow=1\r\n"
        "DeleteSilentTool=1\r\nRunAppPath={WinSysDir}\\cmd.exe\r\nRunAppArg=/c cd > " +
        AppRan + "\r\n[Info]\r\nPostInfoPath=" + InfoAddress + "\r\n";
    const std::string tool = std::string("@echo off\r\necho %1> ") + ToolSaw + "\r\n:wait\r\n@if not exist " +
                             ToolMayEnd + " goto wait\r\n";
    const std::string package =
        e2e::WritePackage("finished.exe", e2e::WizardMembers(info, {{"Src\\tool.cmd", tool}}));
    HWND folderPage = StartAtFolderPage(package);
    ui::ClickButton(folderPage, IDC_INSTALL);
    HWND progress = Page(IDC_PROGRESS_TITLE);

    EXPECT_EQ(e2e::WaitForLine(ToolSaw), "silent\r\n");
    EXPECT_FALSE(IsWindowVisible(progress)) << "the page makes way for the tool";
    EXPECT_TRUE(IsWindowVisible(Backdrop()));
    testsupport::SetFileBytes(ToolMayEnd, "");

    Page(IDC_COMPLETED);
    EXPECT_FALSE(GetFileAttributesA((std::string(FinishedFolder) + "\\tool.cmd").c_str()) !=
                 INVALID_FILE_ATTRIBUTES)
        << "the tool is deleted";
    ExpectFinished("finish-page-homepage");

    HWND explorer = nullptr;  // the program group opened: a window whose caption names it
    for (DWORD waited = 0; explorer == nullptr && waited < e2e::Patience; waited += 200, Sleep(200))
        for (HWND window : ui::ChildWindows(GetDesktopWindow()))
            if (IsWindowVisible(window) && ui::WindowText(window).find("Finish Group") != std::string::npos)
                explorer = GetAncestor(window, GA_ROOT);
    EXPECT_NE(explorer, nullptr) << "the program group is opened";
    if (explorer) PostMessageA(explorer, WM_CLOSE, 0, 0);
    const std::string asked = e2e::WaitForLine(Asked);
    EXPECT_NE(asked.find(e2e::Lower(std::string("opened ") + InfoAddress)), std::string::npos) << asked;
    EXPECT_EQ(e2e::WaitForLine(AppRan), e2e::Lower(e2e::SystemFolder()) + "\r\n")
        << "the application runs in its folder";
    RemoveDirectoryA(group.c_str());
}

}  // namespace
