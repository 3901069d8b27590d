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

// The end of a session reaches console programs too; this one stays to see the restart through.
BOOL WINAPI OutliveTheSession(DWORD) { return TRUE; }

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

// The file with its content: a program's redirection makes the file before it writes.
std::string WaitForContent(const std::string& path, DWORD milliseconds) {
    std::string content;
    for (DWORD waited = 0; (content = testsupport::FileBytes(path)).empty() && waited < milliseconds;
         waited += 100)
        Sleep(100);
    return content;
}

class AfterRestart : public e2e::WizardTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        SetConsoleCtrlHandler(OutliveTheSession, TRUE);
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
    HANDLE inUse = CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
    Leave(StartAtFolderPage(Package()), IDC_INSTALL);
    HWND question = Box(e2e::RestartQuestion);
    ASSERT_NE(question, nullptr);
    ui::CaptureScreen(question, Shot("restart-question").c_str());
    EXPECT_EQ(testsupport::FileBytes(busy), "old");
    EXPECT_NE(e2e::FinishRunCommand("Restarted"), "(none)");
    // A restart ends every program: the file is free by then.
    CloseHandle(inUse);

    ui::ClickButton(question, IDYES);
    ASSERT_TRUE(run_.WaitForExit(e2e::Patience));
    EXPECT_EQ(run_.ExitCode(), 0u);

    const DWORD finishing = ui::WaitForProcessNamed("KPinst27.exe", 2 * e2e::Patience, run_.Id());
    ASSERT_NE(finishing, 0u) << "no finish run after the restart";
    if (HWND box = ui::WaitForDialogWithControl(finishing, IDC_BUSY_TEXT, e2e::Patience)) {
        EXPECT_EQ(ui::WindowText(GetDlgItem(box, IDC_BUSY_TEXT)), "Finishing installation...");
        ui::CaptureScreen(box, Shot("restart-finishing").c_str());
    } else {
        ADD_FAILURE() << "no finishing box";
    }
    const DWORD postInstall = ui::WaitForProcessNamed("KPinst27.exe", 2 * e2e::Patience, finishing);
    ASSERT_NE(postInstall, 0u) << "no post-install run";
    ui::Process finish;
    ASSERT_TRUE(finish.Attach(postInstall));
    HWND page = ui::WaitForDialogWithControl(postInstall, IDC_COMPLETED, e2e::Patience);
    ASSERT_NE(page, nullptr) << "no finish page after the restart";
    // The box the user may not uncheck stays hidden; the application still runs.
    EXPECT_FALSE(Visible(page, IDC_RUN_APPLICATION));
    ui::WaitUntilPainted(page);
    ui::CaptureScreen(page, Shot("restart-finish-page").c_str());
    ui::ClickButton(page, IDC_OK);
    ASSERT_TRUE(finish.WaitForExit(e2e::Patience));
    EXPECT_EQ(finish.ExitCode(), 0u);

    EXPECT_EQ(testsupport::FileBytes(busy), "new");
    EXPECT_EQ(testsupport::ServerRecord(std::string(Folder) + "\\server.dll"), "registered");
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(e2e::Lower(WaitForContent(Ran, e2e::Patience)), e2e::Lower(std::string(system) + "\r\n"))
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

}  // namespace
