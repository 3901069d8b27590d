// The shell folders in both families: the all-users profile only on the NT family.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <string>

#include "tests/e2e/install_run.h"
#include "tests/support/archive_fixture.h"
#include "tools/ui_driver/ui_driver.h"

namespace {

// Runs the probe beside this program, as Windows 98 when asked, and returns what it wrote.
std::string RunProbe(bool asWindows98) {
    const std::string probe = ui::BesideThisProgram("shell_folders_probe.exe");
    const std::string out = "C:\\kp-e2e\\shell-folders.txt";
    CreateDirectoryA("C:\\kp-e2e", nullptr);
    DeleteFileA(out.c_str());
    SetEnvironmentVariableA("KP_PROBE_OUT", out.c_str());

    if (asWindows98) e2e::ReportWindows98(true);
    ui::Process run;
    const bool ended = run.Start(probe, "") && run.WaitForExit(e2e::Patience);
    e2e::ReportWindows98(false);
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
