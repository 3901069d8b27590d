// A package run as a user runs it: the module copies itself to the Windows folder, starts the copy in
// install mode, which checks the package, reads its install information and opens its background
// window; and every way out leaves no working files behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "archive/format.h"
#include "tests/e2e/driver/ui_driver.h"
#include "tests/support/archive_fixture.h"

namespace {

constexpr DWORD Patience = 30000;
const char* const Info = "[General]\r\nTitle=Hello\r\nLanguage=1\r\n";
const char* const DamagedPackageText =
    "This install file was corrupted or truncated, Please get a new copy of install file.\n\n"
    "Aborting installation.";

std::string ModuleBytes() { return testsupport::FileBytes(ui::WinePathOf(ui::Environment("KP_MODULE"))); }

std::string WindowsFolder() {
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, sizeof folder);
    return folder;
}

// Names of the run's working files and folders ("_kp*") left in the temporary folder.
std::vector<std::string> LeftoversIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\_kp*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string TempFolder() {
    char folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TEMP", folder, sizeof folder);
    return length > 0 && length < sizeof folder ? folder : WindowsFolder();
}

class InstallStart : public ::testing::Test {
  protected:
    void SetUp() override { CreateDirectoryA("C:\\kp-e2e", nullptr); }
    void TearDown() override {
        // Whatever a failed test left running must not meet the next test.
        for (DWORD id; (id = ui::WaitForProcessNamed("KPinst27.exe", 0)) != 0;) {
            ui::Process stray;
            if (stray.Attach(id)) stray.Kill();
        }
    }

    std::string WritePackage(const char* name, const std::vector<testsupport::Member>& members) {
        const std::string path = std::string("C:\\kp-e2e\\") + name;
        EXPECT_TRUE(testsupport::WriteArchiveAfter(path, ModuleBytes(), ArchiveFormat::NotSplit, members));
        return path;
    }

    // Runs the package as the user does; the bootstrap run ends at once, and the id of the install
    // run it started is returned (0 when none appeared).
    DWORD RunPackage(const std::string& package, DWORD excluding = 0) {
        ui::Process bootstrap;
        if (!bootstrap.Start(package, "")) return 0;
        EXPECT_TRUE(bootstrap.WaitForExit(Patience));
        EXPECT_EQ(bootstrap.ExitCode(), 0u) << "bootstrap run";
        return ui::WaitForProcessNamed("KPinst27.exe", Patience, excluding);
    }

    // Closes the install run's background window and returns its exit code.
    DWORD CloseInstallRun(ui::Process& run, HWND background) {
        PostMessageA(background, WM_CLOSE, 0, 0);
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

    EXPECT_EQ(CloseInstallRun(run, background), 0u);
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
    EXPECT_EQ(CloseInstallRun(first, background), 0u);
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
    EXPECT_EQ(CloseInstallRun(run, background), 0u);
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
    EXPECT_EQ(CloseInstallRun(run, background), 0u);
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
    EXPECT_EQ(CloseInstallRun(run, background), 0u);
}

}  // namespace
