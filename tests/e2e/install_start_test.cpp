// A package run as a user runs it: the module copies itself to the Windows folder, starts the copy in
// install mode, which checks the package, reads its install information and opens its background
// window; and every way out leaves no working files behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "archive/format.h"
#include "tests/e2e/install_run.h"
#include "tests/support/archive_fixture.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

namespace {

using e2e::LeftoversIn;
using e2e::Patience;
using e2e::TempFolder;

const std::string Info = e2e::HelloInfo();

class InstallStart : public e2e::WizardTest {
  protected:
    // Runs the package and takes hold of the install run it starts; false when none appeared.
    bool Run(const std::string& package) { return run_.Attach(e2e::RunPackage(package)); }

    // Ends the install run the way a user would at this point, with Cancel on the welcome page, and
    // returns its exit code.
    DWORD CloseInstallRun(ui::Process& run) {
        HWND welcome = ui::WaitForDialogWithControl(run.Id(), IDC_WELCOME_TITLE, Patience);
        EXPECT_NE(welcome, nullptr);
        ui::ClickButton(welcome, IDC_CANCEL);
        EXPECT_TRUE(run.WaitForExit(Patience));
        return run.ExitCode();
    }
};

TEST_F(InstallStart, PackageRunCopiesTheModuleAndOpensTheBackgroundWindow) {
    ASSERT_TRUE(Run(e2e::WritePackage("hello.exe", {{"KPII", Info}, {"KPWB", "BM"}, {"Src\\a.txt", "a"}})));
    HWND background = Backdrop("Installation of Hello");
    ASSERT_NE(background, nullptr);
    // Without a header the window keeps out of sight (the system may give it its minimum size).
    RECT area;
    GetWindowRect(background, &area);
    EXPECT_EQ(area.left, 9999);
    EXPECT_GT(area.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_TRUE(testsupport::FileBytes(e2e::WindowsFolder() + "\\KPinst27.exe") == e2e::ModuleBytes());
    EXPECT_FALSE(LeftoversIn(TempFolder()).empty()) << "the run works in the temporary folder";

    EXPECT_EQ(CloseInstallRun(run_), 0u);
    EXPECT_EQ(LeftoversIn(TempFolder()), std::vector<std::string>{});
}

// The longest title the install information can give: the caption holds "Installation of " and as much
// of the title as fits its 259 characters, and the run goes on (it wrote past the caption before).
TEST_F(InstallStart, ALongTitleIsCutToFitTheCaption) {
    const std::string title(259, 'T');
    ASSERT_TRUE(Run(e2e::WritePackage(
        "long.exe", {{"KPII", "[General]\r\nTitle=" + title + "\r\nLanguage=1\r\n"}, {"KPWB", "BM"}})));
    EXPECT_NE(Backdrop(("Installation of " + title).substr(0, 259).c_str()), nullptr);
    EXPECT_EQ(CloseInstallRun(run_), 0u);
}

TEST_F(InstallStart, DamagedPackagesAreRefusedWithoutLeftovers) {
    struct Case {
        const char* what;
        std::vector<testsupport::Member> members;
        int cutBytes;
        bool crcFails;  // a byte of the install information's data changed
    };
    const Case cases[] = {
        {"no install information", {{"KPWB", "BM"}, {"Src\\a.txt", "a"}}, 0, false},
        {"install information misnamed", {{"KPIX", Info}, {"KPWB", "BM"}}, 0, false},
        {"file shorter than its header", {{"KPII", Info}, {"KPWB", "BM"}}, 1, false},
        {"install information damaged", {{"KPII", Info}, {"KPWB", "BM"}}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string package = e2e::WritePackage("damaged.exe", c.members);
        std::string bytes = testsupport::FileBytes(package);
        if (c.crcFails)
            bytes[ArchiveFormat::HeaderSize + ModuleSize + ArchiveFormat::MemberHeaderSize + 4 + 2] ^= 0x10;
        testsupport::SetFileBytes(package, bytes.substr(0, bytes.size() - c.cutBytes));
        ui::Process run;
        ASSERT_TRUE(run.Attach(e2e::RunPackage(package)));
        HWND box = ui::WaitForMessageBox(run.Id(), Patience);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(ui::WindowText(box), "Kelpack");
        EXPECT_EQ(ui::MessageBoxText(box), e2e::PackageDamagedText);
        ui::CaptureScreen(box, "install-damaged-package");
        ui::ClickButton(box, IDOK);
        ASSERT_TRUE(run.WaitForExit(Patience));
        EXPECT_EQ(run.ExitCode(), static_cast<DWORD>(-1));
        EXPECT_EQ(LeftoversIn(TempFolder()), std::vector<std::string>{});
    }
}

TEST_F(InstallStart, ASecondRunOfTheSameProductOnlyRestoresTheFirst) {
    const std::string package = e2e::WritePackage("hello.exe", {{"KPII", Info}, {"KPWB", "BM"}});
    ASSERT_TRUE(Run(package));
    HWND background = Backdrop("Installation of Hello");
    ASSERT_NE(background, nullptr);
    ShowWindow(background, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(background));

    // The running copy cannot be overwritten; it is started anew and finds the first run's window.
    ui::Process second;
    ASSERT_TRUE(second.Attach(e2e::RunPackage(package, run_.Id())));
    ASSERT_TRUE(second.WaitForExit(Patience));
    EXPECT_EQ(second.ExitCode(), 0u);
    for (int wait = 0; wait < 100 && IsIconic(background); ++wait) Sleep(50);
    EXPECT_FALSE(IsIconic(background));
    EXPECT_FALSE(run_.WaitForExit(0)) << "the first run goes on";
    EXPECT_EQ(CloseInstallRun(run_), 0u);
}

TEST_F(InstallStart, AMissingWizardBitmapIsWarnedAboutAndTheRunGoesOn) {
    ASSERT_TRUE(Run(e2e::WritePackage("nobitmap.exe", {{"KPII", Info}, {"Src\\a.txt", "a"}})));
    HWND box = Box("This install file was corrupted or truncated, Can't extract wizard bitmap.");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ui::WindowText(box), "Installation of Hello");
    ui::CaptureScreen(box, "install-missing-wizard-bitmap");
    ui::ClickButton(box, IDOK);
    ASSERT_NE(Backdrop(), nullptr);
    EXPECT_EQ(CloseInstallRun(run_), 0u);
}

TEST_F(InstallStart, ATemporaryFolderThatIsMissingIsMadeAndUsed) {
    const std::string package = e2e::WritePackage("hello.exe", {{"KPII", Info}, {"KPWB", "BM"}});
    const char* const missing = "C:\\kp-e2e\\made\\by\\module";
    char saved[MAX_PATH] = "";
    GetEnvironmentVariableA("TEMP", saved, sizeof saved);
    SetEnvironmentVariableA("TEMP", missing);  // the package run inherits it
    const bool attached = Run(package);
    SetEnvironmentVariableA("TEMP", saved);
    ASSERT_TRUE(attached);
    ASSERT_NE(Backdrop(), nullptr);
    EXPECT_FALSE(LeftoversIn(missing).empty());
    EXPECT_EQ(CloseInstallRun(run_), 0u);
    EXPECT_NE(GetFileAttributesA(missing), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(LeftoversIn(missing), std::vector<std::string>{});
}

TEST_F(InstallStart, AdministratorRightsNeverBlockOnThe95Family) {
    const std::string package = e2e::WritePackage(
        "admin.exe", {{"KPII", e2e::HelloInfo("RequiresAdminPrivilege=1\r\n")}, {"KPWB", "BM"}});
    ASSERT_TRUE(e2e::ReportWindows98(true));
    const bool attached = Run(package);
    HWND background = attached ? Backdrop() : nullptr;
    e2e::ReportWindows98(false);
    ASSERT_NE(background, nullptr) << "no administrator question, the run went on";
    EXPECT_EQ(CloseInstallRun(run_), 0u);
}

}  // namespace
