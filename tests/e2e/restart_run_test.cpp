// An installation that needs a restart completes itself across one: a file in use is replaced, the
// finish run from RunOnce registers what had to wait and starts the post-install run, whose finish page
// carries out its choices. The restart is Wine's own: the module's ExitWindowsEx ends the session
// through wineboot, which then works as a system start does.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/e2e/install_run.h"
#include "tests/support/archive_fixture.h"
#include "tests/support/server_fixture.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

namespace {

constexpr const char* Folder = "C:\\Program Files\\Restarted";
constexpr const char* Ran = "C:\\kp-e2e\\ran.txt";

std::string Package() {
    const std::string info = std::string("[General]\r\nTitle=Restarted\r\nLanguage=1\r\nDefInstallFolder=") +
                             Folder +
                             "\r\nConfirmOverwriteSourceFolderFile=0\r\n"
                             "[MiscFile]\r\n"
                             "MiscFile1={InstallDir}\\server.dll,2,1,0,1,0\r\n"
                             "MiscFile2={InstallDir}\\library.tlb,2,1,0,0,1\r\n"
                             "[Run]\r\nRunAppPath={WinSysDir}\\cmd.exe\r\nRunAppArg=/c cd > " +
                             Ran +
                             "\r\nAllowCancelRunApp=0\r\n"
                             "[Uninstall]\r\nCPLUninstallName=Restarted\r\n";
    return e2e::WritePackage("restarted.exe",
                             e2e::WizardMembers(info, {{"Src\\busy.txt", "new"},
                                                       {"Misc1", e2e::Fixture("com_server.dll")},
                                                       {"Misc2", e2e::Fixture("fixture.tlb")}}));
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class AfterRestart : public e2e::WizardTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        DeleteFileA(Ran);
        if (GetParam()) {
            ASSERT_TRUE(e2e::ReportWindows98(true));
        }
    }
    void TearDown() override {
        if (GetParam()) e2e::ReportWindows98(false);
        e2e::WizardTest::TearDown();
    }
    std::string Shot(const char* name) { return std::string(GetParam() ? "95-" : "") + name; }
};

TEST_P(AfterRestart, AFileInUseIsReplacedAndTheDeferredStepsAndTheFinishPageFollow) {
    CreateDirectoryA(Folder, nullptr);
    const std::string busy = std::string(Folder) + "\\busy.txt";
    testsupport::SetFileBytes(busy, "old");
    // Open as a running program holds its files: others may read, nobody may write.
    HANDLE inUse =
        CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
    Leave(StartAtFolderPage(Package()), IDC_INSTALL);
    HWND question = Box(e2e::RestartQuestion);
    ASSERT_NE(question, nullptr);
    ui::CaptureScreen(question, Shot("restart-question").c_str());
    EXPECT_EQ(testsupport::FileBytes(busy), "old");
    EXPECT_NE(e2e::FinishRunCommand("Restarted"), "(none)");
    // A restart ends every program: the file is free by then.
    CloseHandle(inUse);

    ASSERT_NO_FATAL_FAILURE(RestartAndFinish(question, "Finishing installation...", Shot("restart-")));
    EXPECT_EQ(testsupport::FileBytes(busy), "new");
    EXPECT_EQ(testsupport::ServerRecord(std::string(Folder) + "\\server.dll"), "registered");
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(e2e::WaitForLine(Ran), e2e::Lower(std::string(system) + "\r\n"))
        << "the application runs in its own folder";
    EXPECT_EQ(e2e::FinishRunCommand("Restarted"), "(none)");
    EXPECT_EQ(e2e::LeftoversIn(e2e::TempFolder()), std::vector<std::string>{});
    EXPECT_FALSE(Exists(e2e::WindowsFolder() + "\\WININIT.BAK"));
    EXPECT_FALSE(Exists(e2e::WindowsFolder() + "\\WININIT.INI"));
}

INSTANTIATE_TEST_SUITE_P(Families, AfterRestart, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Family95" : "FamilyNt");
                         });

// The two halves of a declined restart, run by scripts/wine-restart-test.sh around the end of the Wine
// session; each skips when run on its own.
class SessionRestart : public e2e::WizardTest {
  protected:
    void SetUp() override {
        if (ui::Environment("KP_CHECK").empty()) GTEST_SKIP() << "a half of the restart_declined tests";
        busy_ = std::string(Folder) + "\\busy.txt";
    }
    std::string busy_;
};

TEST_F(SessionRestart, ADeclinedRestartLeavesTheRunsForTheNextSession) {
    CreateDirectoryA(Folder, nullptr);
    testsupport::SetFileBytes(busy_, "old");
    HANDLE inUse =
        CreateFileA(busy_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    Leave(StartAtFolderPage(Package()), IDC_INSTALL);
    HWND question = Box(e2e::RestartQuestion);
    ASSERT_NE(question, nullptr);
    CloseHandle(inUse);
    ui::ClickButton(question, IDNO);
    ASSERT_TRUE(ui::WaitForWindowToGo(question, e2e::Patience));
    ASSERT_TRUE(Answer("Installation will be completed after system restarted.", IDOK));
    ASSERT_TRUE(run_.WaitForExit(e2e::Patience));
    EXPECT_EQ(testsupport::FileBytes(busy_), "old");
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

    EXPECT_EQ(testsupport::FileBytes(busy_), "new");
    EXPECT_EQ(testsupport::ServerRecord(std::string(Folder) + "\\server.dll"), "registered");
    EXPECT_EQ(e2e::FinishRunCommand("Restarted"), "(none)");
    EXPECT_EQ(e2e::LeftoversIn(e2e::TempFolder()), std::vector<std::string>{});
    EXPECT_FALSE(Exists(e2e::WindowsFolder() + "\\WININIT.BAK"));
}

// The same restart after a silent installation: the package's run ends with 3010 and restarts nothing;
// the runs of the next session replace the file and register the server, and show nothing: no box, no
// finish page, none of its actions.
TEST_F(SessionRestart, ASilentInstallationLeavesTheRestartToItsCaller) {
    CreateDirectoryA(Folder, nullptr);
    testsupport::SetFileBytes(busy_, "old");
    HANDLE inUse =
        CreateFileA(busy_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ui::Process silent;
    ASSERT_TRUE(silent.Start(Package(), "/S"));
    ASSERT_TRUE(silent.WaitForExit(4 * e2e::Patience));
    CloseHandle(inUse);
    EXPECT_EQ(silent.ExitCode(), 3010u);
    EXPECT_EQ(testsupport::FileBytes(busy_), "old");
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
    EXPECT_EQ(testsupport::FileBytes(busy_), "new");
    EXPECT_EQ(testsupport::ServerRecord(std::string(Folder) + "\\server.dll"), "registered");
    EXPECT_FALSE(Exists(Ran)) << "the finish page's action";
    EXPECT_EQ(e2e::LeftoversIn(e2e::TempFolder()), std::vector<std::string>{});
}

// A finish run whose file is gone (deleted, or an uninstallation came first) shows nothing itself; the
// post-install run it starts says what is missing and ends with -1.
TEST(FinishRun, WithoutItsFileThePostInstallRunSaysWhatIsMissing) {
    ui::Process finish;
    ASSERT_TRUE(finish.Start(ui::WinePathOf(ui::Environment("KP_MODULE")), "-iC:\\kp-e2e\\gone.ini"));
    const DWORD postInstall = ui::WaitForProcessNamed("KPinst27.exe", e2e::Patience, finish.Id());
    ASSERT_NE(postInstall, 0u);
    ASSERT_TRUE(finish.WaitForExit(e2e::Patience));
    EXPECT_EQ(finish.ExitCode(), 0u);
    ui::Process run;
    ASSERT_TRUE(run.Attach(postInstall));
    HWND box = ui::WaitForMessageBox(postInstall, e2e::Patience);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ui::MessageBoxText(box), "Install information file not found.\n\nAborting installation.");
    ui::ClickButton(box, IDOK);
    ASSERT_TRUE(run.WaitForExit(e2e::Patience));
    EXPECT_EQ(run.ExitCode(), static_cast<DWORD>(-1));
}

}  // namespace
