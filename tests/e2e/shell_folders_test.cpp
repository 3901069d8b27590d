// The shell folders in both families: the all-users profile only on the NT family.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <string>

#include "tools/ui_driver/ui_driver.h"
#include "tests/support/archive_fixture.h"

namespace {

// Runs the probe beside this program, as Windows 98 when asked, and returns what it wrote.
std::string RunProbe(bool asWindows98) {
    const std::string probe = ui::BesideThisProgram("shell_folders_probe.exe");
    const std::string out = "C:\\kp-e2e\\shell-folders.txt";
    CreateDirectoryA("C:\\kp-e2e", nullptr);
    DeleteFileA(out.c_str());
    SetEnvironmentVariableA("KP_PROBE_OUT", out.c_str());

    HKEY wine;
    RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine", &wine);
    if (asWindows98) RegSetValueExA(wine, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
    ui::Process run;
    const bool ended = run.Start(probe, "") && run.WaitForExit(30000);
    RegDeleteValueA(wine, "Version");
    RegCloseKey(wine);
    return ended ? testsupport::FileBytes(out) : "probe did not run";
}

std::string SpecialFolder(int id) {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, id, FALSE);
    return path;
}

TEST(ShellFolders, AllUsersProfileOnlyOnTheNtFamily) {
    ASSERT_NE(SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY), SpecialFolder(CSIDL_DESKTOP));
    EXPECT_EQ(RunProbe(false), "NT|" + SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY));
    EXPECT_EQ(RunProbe(true), "95|" + SpecialFolder(CSIDL_DESKTOP));
}

}  // namespace
