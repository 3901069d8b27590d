// A package run as a user runs it: the module copies itself to the Windows folder, starts the copy in
// install mode, which checks the package, reads its install information and opens its background
// window; and every way out leaves no working files behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "archive/format.h"
#include "tools/ui_driver/ui_driver.h"
#include "tests/e2e/install_run.h"
#include "tests/support/archive_fixture.h"
#include "ui/resources/resource_ids.h"

namespace {

using e2e::LeftoversIn;
using e2e::ModuleBytes;
using e2e::Patience;
using e2e::TempFolder;
using e2e::WindowsFolder;

const char* const Info = "[General]\r\nTitle=Hello\r\nLanguage=1\r\n";
const char* const DamagedPackageText =
    "This install file was corrupted or truncated, Please get a new copy of install file.\n\n"
    "Aborting installation.";

class InstallStart : public ::testing::Test {
  protected:
    void TearDown() override { e2e::EndStrayRuns(); }

    std::string WritePackage(const char* name, const std::vector<testsupport::Member>& members) {
        return e2e::WritePackage(name, members);
    }
    DWORD RunPackage(const std::string& package, DWORD excluding = 0) {
        return e2e::RunPackage(package, excluding);
    }

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
    const std::string package =
        WritePackage("hello.exe", {{"KPII", Info}, {"KPWB", "BM"}, {"Src\\a.txt", "a"}});
    ui::Process run;
    ASSERT_TRUE(run.Attach(RunPackage(package)));

    HWND background = ui::WaitForWindow(run.Id(), "KPBG", "Installation of Hello", Patience);
    ASSERT_NE(background, nullptr);
    // Without a header the window keeps out of sight (the system may give it its minimum size).
    RECT area;
    GetWindowRect(background, &area);
    EXPECT_EQ(area.left, 9999);
    EXPECT_GT(area.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_TRUE(testsupport::FileBytes(WindowsFolder() + "\\KPinst27.exe") == ModuleBytes());
    EXPECT_FALSE(LeftoversIn(TempFolder()).empty()) << "the run works in the temporary folder";

    EXPECT_EQ(CloseInstallRun(run), 0u);
    EXPECT_EQ(LeftoversIn(TempFolder()), std::vector<std::string>{});
}

TEST_F(InstallStart, DamagedPackagesAreRefusedWithoutLeftovers) {
    const std::string good = ModuleBytes();
    struct Case {
        const char* what;
        std::vector<testsupport::Member> members;
        int cutBytes;
    };
    const Case cases[] = {
        {"no install information", {{"KPWB", "BM"}, {"Src\\a.txt", "a"}}, 0},
        {"install information misnamed", {{"KPIX", Info}, {"KPWB", "BM"}}, 0},
        {"file shorter than its header", {{"KPII", Info}, {"KPWB", "BM"}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string package = WritePackage("damaged.exe", c.members);
        std::string bytes = testsupport::FileBytes(package);
        testsupport::SetFileBytes(package, bytes.substr(0, bytes.size() - c.cutBytes));
        ui::Process run;
        ASSERT_TRUE(run.Attach(RunPackage(package)));
        HWND box = ui::WaitForMessageBox(run.Id(), Patience);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(ui::WindowText(box), "Kelpack");
        EXPECT_EQ(ui::MessageBoxText(box), DamagedPackageText);
        ui::CaptureScreen(box, "install-damaged-package");
        ui::ClickButton(box, IDOK);
        ASSERT_TRUE(run.WaitForExit(Patience));
        EXPECT_EQ(run.ExitCode(), static_cast<DWORD>(-1));
        EXPECT_EQ(LeftoversIn(TempFolder()), std::vector<std::string>{});
    }

    // Damaged data in the install information: its CRC fails.
    std::string package = WritePackage("damaged.exe", {{"KPII", Info}, {"KPWB", "BM"}});
    std::string bytes = testsupport::FileBytes(package);
    bytes[ArchiveFormat::HeaderSize + ModuleSize + ArchiveFormat::MemberHeaderSize + 4 + 2] ^= 0x10;
    testsupport::SetFileBytes(package, bytes);
    ui::Process run;
    ASSERT_TRUE(run.Attach(RunPackage(package)));
    HWND box = ui::WaitForMessageBox(run.Id(), Patience);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ui::MessageBoxText(box), DamagedPackageText);
    ui::ClickButton(box, IDOK);
    ASSERT_TRUE(run.WaitForExit(Patience));
    EXPECT_EQ(run.ExitCode(), static_cast<DWORD>(-1));
}

TEST_F(InstallStart, ASecondRunOfTheSameProductOnlyRestoresTheFirst) {
    const std::string package = WritePackage("hello.exe", {{"KPII", Info}, {"KPWB", "BM"}});
    ui::Process first;
    ASSERT_TRUE(first.Attach(RunPackage(package)));
    HWND background = ui::WaitForWindow(first.Id(), "KPBG", "Installation of Hello", Patience);
    ASSERT_NE(background, nullptr);
    ShowWindow(background, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(background));

    // The running copy cannot be overwritten; it is started anew and finds the first run's window.
    ui::Process second;
    ASSERT_TRUE(second.Attach(RunPackage(package, first.Id())));
    ASSERT_TRUE(second.WaitForExit(Patience));
    EXPECT_EQ(second.ExitCode(), 0u);
    for (int wait = 0; wait < 100 && IsIconic(background); ++wait) Sleep(50);
    EXPECT_FALSE(IsIconic(background));
    EXPECT_FALSE(first.WaitForExit(0)) << "the first run goes on";
    EXPECT_EQ(CloseInstallRun(first), 0u);
}

TEST_F(InstallStart, AMissingWizardBitmapIsWarnedAboutAndTheRunGoesOn) {
    const std::string package = WritePackage("nobitmap.exe", {{"KPII", Info}, {"Src\\a.txt", "a"}});
    ui::Process run;
    ASSERT_TRUE(run.Attach(RunPackage(package)));
    HWND box = ui::WaitForMessageBox(run.Id(), Patience);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ui::WindowText(box), "Installation of Hello");
    EXPECT_EQ(ui::MessageBoxText(box),
              "This install file was corrupted or truncated, Can't extract wizard bitmap.");
    ui::CaptureScreen(box, "install-missing-wizard-bitmap");
    ui::ClickButton(box, IDOK);
    HWND background = ui::WaitForWindow(run.Id(), "KPBG", nullptr, Patience);
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(CloseInstallRun(run), 0u);
}

TEST_F(InstallStart, ATemporaryFolderThatIsMissingIsMadeAndUsed) {
    const std::string package = WritePackage("hello.exe", {{"KPII", Info}, {"KPWB", "BM"}});
    const char* const missing = "C:\\kp-e2e\\made\\by\\module";
    char saved[MAX_PATH] = "";
    GetEnvironmentVariableA("TEMP", saved, sizeof saved);
    SetEnvironmentVariableA("TEMP", missing);  // the package run inherits it
    ui::Process run;
    const bool attached = run.Attach(RunPackage(package));
    SetEnvironmentVariableA("TEMP", saved);
    ASSERT_TRUE(attached);
    HWND background = ui::WaitForWindow(run.Id(), "KPBG", nullptr, Patience);
    ASSERT_NE(background, nullptr);
    EXPECT_FALSE(LeftoversIn(missing).empty());
    EXPECT_EQ(CloseInstallRun(run), 0u);
    EXPECT_NE(GetFileAttributesA(missing), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(LeftoversIn(missing), std::vector<std::string>{});
}

TEST_F(InstallStart, AdministratorRightsNeverBlockOnThe95Family) {
    const std::string package = WritePackage(
        "admin.exe", {{"KPII", std::string(Info) + "RequiresAdminPrivilege=1\r\n"}, {"KPWB", "BM"}});
    // Wine reports Windows 98 to processes started from now on.
    HKEY wine;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine", &wine), ERROR_SUCCESS);
    RegSetValueExA(wine, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
    ui::Process run;
    const bool attached = run.Attach(RunPackage(package));
    HWND background = attached ? ui::WaitForWindow(run.Id(), "KPBG", nullptr, Patience) : nullptr;
    RegDeleteValueA(wine, "Version");
    RegCloseKey(wine);
    ASSERT_NE(background, nullptr) << "no administrator question, the run went on";
    EXPECT_EQ(CloseInstallRun(run), 0u);
}

}  // namespace
