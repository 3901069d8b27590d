// Misc files marked as COM server and type library, installed through the wizard: registered at once,
// or, when the package needs a restart, recorded in the end-install information for the run after it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/install_run.h"
#include "tests/support/server_fixture.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

namespace {

using e2e::Setting;

// The file registered for the fixture type library, or empty.
std::string RegisteredTypeLibrary() {
    char value[MAX_PATH] = "";
    LONG size = sizeof value;
    return RegQueryValueA(HKEY_CLASSES_ROOT, "TypeLib\\{6B1F0C3E-4D2A-4A51-9E0B-2C7D5F1A9E01}\\1.0\\0\\win32",
                          value, &size) == ERROR_SUCCESS
               ? value
               : "";
}

class Registration : public e2e::WizardTest {
  protected:
    // Installs a package of one source file, the fixture server as Misc1 and the fixture type library as
    // Misc2 into the test's folder: welcome, install folder, then the file phase goes on by itself.
    void Install(const std::string& general) {
        const std::string info =
            "[General]\r\nTitle=Registered\r\nLanguage=1\r\nDefInstallFolder=" + folder_ + "\r\n" + general +
            "[MiscFile]\r\nMiscFile1={InstallDir}\\server.dll,2,1,0,1,0\r\n"
            "MiscFile2={InstallDir}\\library.tlb,2,1,0,0,1\r\n";
        HWND folder = StartPastWelcome(e2e::WritePackage(
            "registered.exe", e2e::WizardMembers(info, {{"Src\\readme.txt", "readme"},
                                                        {"Misc1", e2e::Fixture("com_server.dll")},
                                                        {"Misc2", e2e::Fixture("fixture.tlb")}})));
        ui::ClickButton(folder, IDC_INSTALL);
    }

    // Each test installs into a folder of its own, so that one's registrations are not the other's.
    const std::string folder_ =
        std::string("C:\\Program Files\\") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string server_ = folder_ + "\\server.dll";
    const std::string typeLibrary_ = folder_ + "\\library.tlb";
};

TEST_F(Registration, MarkedMiscFilesAreRegisteredDuringTheInstallation) {
    ASSERT_NO_FATAL_FAILURE(Install(""));
    // The run goes on to its end by itself; a registration error would have stopped it at a message.
    // Nothing is deferred: no working file stays.
    ExpectEndsWith(0);
    EXPECT_EQ(testsupport::ServerRecord(server_), "registered");
    EXPECT_EQ(RegisteredTypeLibrary(), typeLibrary_);
}

TEST_F(Registration, WithARestartNeededTheyAreRecordedForTheRunAfterIt) {
    ASSERT_NO_FATAL_FAILURE(Install("NeedRestart=1\r\n"));
    HWND question = Box(e2e::RestartQuestion);
    // Logged as registered: the registration is arranged.
    std::string logged = "(no log)";
    for (const std::string& log : e2e::WorkingFilesWith("MiscFile"))
        if (Setting(log, "MiscFile", "1").rfind(folder_ + "\\", 0) == 0)
            logged = Setting(log, "MiscFile", "1") + "|" + Setting(log, "MiscFile", "2");
    EXPECT_EQ(logged, server_ + ",1,0,1,0,0|" + typeLibrary_ + ",1,0,0,1,0");
    ASSERT_NO_FATAL_FAILURE(DeclineRestart(question));

    EXPECT_EQ(testsupport::FileBytes(server_), e2e::Fixture("com_server.dll"));
    EXPECT_EQ(testsupport::ServerRecord(server_), "");
    EXPECT_NE(RegisteredTypeLibrary(), typeLibrary_);
    // The end-install information outlives the run, for the run after the restart.
    const std::vector<std::string> endInstall = e2e::WorkingFilesWith("RegisterServer");
    ASSERT_EQ(endInstall.size(), 1u);
    EXPECT_EQ(Setting(endInstall[0], "RegisterServer", "1"), server_);
    EXPECT_EQ(Setting(endInstall[0], "RegisterServer", "2"), "(none)");
    EXPECT_EQ(Setting(endInstall[0], "RegisterTypeLibrary", "1"), typeLibrary_);
    EXPECT_EQ(Setting(endInstall[0], "RegisterTypeLibrary", "2"), "(none)");
    e2e::DeleteWorkingFile(endInstall[0]);
    EXPECT_EQ(e2e::LeftoversIn(e2e::TempFolder()), std::vector<std::string>{}) << "only that file stays";
}

}  // namespace
