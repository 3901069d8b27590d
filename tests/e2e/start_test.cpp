// The module and packages started as a user starts them; the UI driver and the shell folders.
#include "tests/e2e/install_run.h"

namespace {

// The bare module, unknown options and a truncated package in bootstrap mode.
using e2e::Patience;

const char* const BareModuleText =
    "This file, Kelpack install/uninstall module V2.70, must be invoked with proper command line argument.";

// Copies the first size bytes of the built module to C:\kp-e2e\name, where a user might keep a download.
std::string PlaceModule(const char* name, DWORD size) {
    CreateDirectoryA("C:\\kp-e2e", nullptr);
    const std::string source = ui::WinePathOf(ui::Environment("KP_MODULE"));
    const std::string target = std::string("C:\\kp-e2e\\") + name;
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) return std::string();
    HANDLE file = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    bool cut = SetFilePointer(file, size, nullptr, FILE_BEGIN) == size && SetEndOfFile(file);
    CloseHandle(file);
    return cut ? target : std::string();
}

TEST(Bootstrap, TheBareModuleAsksForACommandLineAndACutPackageIsDamaged) {
    struct Case {
        const char* file;
        DWORD size;
        const char* arguments;
        const char* screenshot;
        const char* text;
        DWORD exitCode;
    };
    // Which lines are unknown options is ModeDispatch's business (host tests); one shows what they run.
    const Case cases[] = {
        {"KPinst27.exe", ModuleSize, "", "bootstrap-bare-module", BareModuleText, 0},
        {"KPinst27.exe", ModuleSize, "-X", "bootstrap-unknown-option", BareModuleText, 0},
        {"setup.exe", ModuleSize - 1, "", "bootstrap-truncated-package", e2e::PackageDamagedText,
         static_cast<DWORD>(-1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.arguments);
        const std::string program = PlaceModule(c.file, c.size);
        ASSERT_FALSE(program.empty());
        ui::Process run;
        ASSERT_TRUE(run.Start(program, c.arguments));
        HWND box = ui::WaitForMessageBox(run.Id(), Patience);
        if (box == nullptr) run.Kill();
        ASSERT_NE(box, nullptr) << "no message box";
        EXPECT_EQ(ui::WindowText(box), "Kelpack");
        EXPECT_EQ(ui::MessageBoxText(box), c.text);
        EXPECT_EQ(ui::ButtonLabels(box), std::vector<std::string>{"OK"});
        EXPECT_FALSE(ui::CaptureScreen(box, c.screenshot).empty()) << "screenshot " << c.screenshot;
        EXPECT_TRUE(ui::ClickButton(box, IDOK));
        const bool ended = run.WaitForExit(Patience);
        if (!ended) run.Kill();
        ASSERT_TRUE(ended) << "the module did not end after its message";
        EXPECT_EQ(run.ExitCode(), c.exitCode);
    }
}

// The module copies itself to the Windows folder and starts the copy, which opens its background window.
using e2e::LeftoversIn;
using e2e::TempFolder;

const std::string Info = e2e::HelloInfo();

class InstallStart : public e2e::WizardTest {
  protected:
    // Runs the package and takes hold of the install run it starts; false when none appeared.
    bool Run(const std::string& package) { return run_.Attach(e2e::RunPackage(package)); }

    // Ends the install run with Cancel on the welcome page, as a user would here; its exit code.
    DWORD CloseInstallRun() {
        ui::ClickButton(Page(IDC_WELCOME_TITLE), IDC_CANCEL);
        EXPECT_TRUE(run_.WaitForExit(Patience));
        return run_.ExitCode();
    }
};

// A second run of the same product only restores the first.
TEST_F(InstallStart, PackageRunCopiesTheModuleAndOpensTheBackgroundWindowWhichASecondRunRestores) {
    const std::string package =
        e2e::WritePackage("hello.exe", {{"KPII", Info}, {"KPWB", "BM"}, {"Src\\a.txt", "a"}});
    ASSERT_TRUE(Run(package));
    HWND background = Backdrop("Installation of Hello");
    // Without a header the window keeps out of sight (the system may give it its minimum size).
    RECT area;
    GetWindowRect(background, &area);
    EXPECT_EQ(area.left, 9999);
    EXPECT_GT(area.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_TRUE(testsupport::FileBytes(e2e::WindowsFolder() + "\\KPinst27.exe") == e2e::ModuleBytes());
    EXPECT_FALSE(LeftoversIn(TempFolder()).empty()) << "the run works in the temporary folder";

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
    EXPECT_EQ(CloseInstallRun(), 0u);
    EXPECT_EQ(LeftoversIn(TempFolder()), std::vector<std::string>{});
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

TEST_F(InstallStart, AMissingWizardBitmapIsWarnedAboutAndTheRunGoesOn) {
    ASSERT_TRUE(Run(e2e::WritePackage("nobitmap.exe", {{"KPII", Info}, {"Src\\a.txt", "a"}})));
    HWND box = Box("This install file was corrupted or truncated, Can't extract wizard bitmap.");
    EXPECT_EQ(ui::WindowText(box), "Installation of Hello");
    ui::CaptureScreen(box, "install-missing-wizard-bitmap");
    ui::ClickButton(box, IDOK);
    Backdrop();
    EXPECT_EQ(CloseInstallRun(), 0u);
}

// What must not stop the run: the longest title (the caption holds as much as fits its 259 characters),
// a missing temporary folder (made and used), administrator rights asked for on the 95 family.
TEST_F(InstallStart, ALongTitleAMissingTemporaryFolderAndAdministratorRightsOnThe95FamilyLetTheRunGoOn) {
    const std::string title(259, 'T');
    const std::string package = e2e::WritePackage(
        "long.exe",
        {{"KPII", "[General]\r\nTitle=" + title + "\r\nLanguage=1\r\nRequiresAdminPrivilege=1\r\n"},
         {"KPWB", "BM"}});
    const char* const missing = "C:\\kp-e2e\\made\\by\\module";
    const e2e::AsWindows98 asWindows98;
    ASSERT_TRUE(asWindows98.On());
    char saved[MAX_PATH] = "";
    GetEnvironmentVariableA("TEMP", saved, sizeof saved);
    SetEnvironmentVariableA("TEMP", missing);  // the package run inherits it
    const bool attached = Run(package);
    SetEnvironmentVariableA("TEMP", saved);
    ASSERT_TRUE(attached);
    EXPECT_NE(Backdrop(("Installation of " + title).substr(0, 259).c_str()), nullptr);
    EXPECT_FALSE(LeftoversIn(missing).empty());
    EXPECT_EQ(CloseInstallRun(), 0u);
    EXPECT_NE(GetFileAttributesA(missing), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(LeftoversIn(missing), std::vector<std::string>{});
}

// The shell folders in both families: the all-users profile only on the NT family.
// Runs the probe beside this program, as Windows 98 when asked, and returns what it wrote.
std::string RunProbe(bool asWindows98) {
    const std::string probe = ui::BesideThisProgram("restart_probe.exe");
    const std::string out = "C:\\kp-e2e\\shell-folders.txt";
    CreateDirectoryA("C:\\kp-e2e", nullptr);
    DeleteFileA(out.c_str());
    SetEnvironmentVariableA("KP_PROBE_OUT", out.c_str());

    if (asWindows98) e2e::ReportWindows98(true);
    ui::Process run;
    const bool ended = run.Start(probe, "shell-folders") && run.WaitForExit(e2e::Patience);
    e2e::ReportWindows98(false);
    return ended ? testsupport::FileBytes(out) : "probe did not run";
}

TEST(ShellFolders, AllUsersProfileOnlyOnTheNtFamily) {
    const std::string common = e2e::ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY),
                      own = e2e::ShellFolder(CSIDL_DESKTOP);
    ASSERT_NE(common, own);
    EXPECT_EQ(RunProbe(false), "NT|" + common);
    EXPECT_EQ(RunProbe(true), "95|" + own);
}

}  // namespace
