// Misc files marked as COM server and type library, installed through the wizard: registered at once,
// or, when the package needs a restart, recorded in the end-install information for the run after it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/install_run.h"
#include "tests/support/archive_fixture.h"
#include "tests/support/server_fixture.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

namespace {

constexpr const char* Library = "{6B1F0C3E-4D2A-4A51-9E0B-2C7D5F1A9E01}";

// A package with one source file, the fixture server as Misc1 and the fixture type library as Misc2,
// installed into folder.
std::string RegisteringPackage(const std::string& folder, const std::string& general) {
    const std::string info = "[General]\r\nTitle=Registered\r\nLanguage=1\r\nDefInstallFolder=" + folder +
                             "\r\n" + general +
                             "[MiscFile]\r\n"
                             "MiscFile1={InstallDir}\\server.dll,2,1,0,1,0\r\n"
                             "MiscFile2={InstallDir}\\library.tlb,2,1,0,0,1\r\n";
    return e2e::WritePackage("registered.exe",
                             e2e::WizardMembers(info, {{"Src\\readme.txt", "readme"},
                                                       {"Misc1", e2e::Fixture("com_server.dll")},
                                                       {"Misc2", e2e::Fixture("fixture.tlb")}}));
}

// The file registered for the type library, or empty.
std::string RegisteredTypeLibrary() {
    char value[MAX_PATH] = "";
    LONG size = sizeof value;
    const std::string key = std::string("TypeLib\\") + Library + "\\1.0\\0\\win32";
    return RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), value, &size) == ERROR_SUCCESS ? value : "";
}

class Registration : public e2e::WizardTest {
  protected:
    // Starts the package and walks it to the end of the file phase: welcome, install folder, progress.
    void InstallUpToTheEnd(const std::string& package) {
        HWND folder = StartAtFolderPage(package);
        ASSERT_NE(folder, nullptr);
        ui::ClickButton(folder, IDC_INSTALL);
    }
    // The MiscFile entries of this run's installation log, which exists until the run ends.
    std::string LoggedMiscFiles() {
        for (const std::string& log : e2e::WorkingFilesWith("MiscFile")) {
            const std::string first = e2e::Setting(log, "MiscFile", "1");
            if (first.compare(0, folder_.size() + 1, folder_ + "\\") == 0)
                return first + "|" + e2e::Setting(log, "MiscFile", "2");
        }
        return "(no log)";
    }

    // Each test installs into a folder of its own, so that one's registrations are not the other's.
    const std::string folder_ =
        std::string("C:\\Program Files\\") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string server_ = folder_ + "\\server.dll";
    const std::string typeLibrary_ = folder_ + "\\library.tlb";
};

TEST_F(Registration, MarkedMiscFilesAreRegisteredDuringTheInstallation) {
    InstallUpToTheEnd(RegisteringPackage(folder_, ""));
    // The run goes on to its end by itself; a registration error would have stopped it at a message.
    // Nothing is deferred: no working file stays.
    ExpectFinished();
    EXPECT_EQ(testsupport::ServerRecord(server_), "registered");
    EXPECT_EQ(RegisteredTypeLibrary(), typeLibrary_);
}

TEST_F(Registration, WithARestartNeededTheyAreRecordedForTheRunAfterIt) {
    InstallUpToTheEnd(RegisteringPackage(folder_, "NeedRestart=1\r\n"));
    HWND question = Box(e2e::RestartQuestion);
    ASSERT_NE(question, nullptr);
    // Logged as registered: the registration is arranged.
    EXPECT_EQ(LoggedMiscFiles(), server_ + ",1,0,1,0,0|" + typeLibrary_ + ",1,0,0,1,0");
    ASSERT_NO_FATAL_FAILURE(DeclineRestart(question));

    EXPECT_EQ(testsupport::FileBytes(server_), e2e::Fixture("com_server.dll"));
    EXPECT_EQ(testsupport::ServerRecord(server_), "");
    EXPECT_NE(RegisteredTypeLibrary(), typeLibrary_);
    // The end-install information outlives the run, for the run after the restart.
    std::vector<std::string> endInstall = e2e::WorkingFilesWith("RegisterServer");
    ASSERT_EQ(endInstall.size(), 1u);
    EXPECT_EQ(e2e::Setting(endInstall[0], "RegisterServer", "1"), server_);
    EXPECT_EQ(e2e::Setting(endInstall[0], "RegisterServer", "2"), "(none)");
    EXPECT_EQ(e2e::Setting(endInstall[0], "RegisterTypeLibrary", "1"), typeLibrary_);
    EXPECT_EQ(e2e::Setting(endInstall[0], "RegisterTypeLibrary", "2"), "(none)");
    e2e::DeleteWorkingFile(endInstall[0]);
    EXPECT_EQ(e2e::LeftoversIn(e2e::TempFolder()), std::vector<std::string>{}) << "only that file stays";
}

}  // namespace
