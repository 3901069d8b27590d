// The install folder page on Install: each check in its order with the message it gives, and the
// folder it creates.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/e2e/install_run.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

namespace {

using testsupport::FileBytes;

bool FolderExists(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string Package(const std::string& general, const char* folder = "Hello") {
    return e2e::WritePackage("folder.exe",
                             e2e::WizardMembers(e2e::HelloInfo("DefInstallFolder={ProgramFiles}\\" +
                                                               std::string(folder) + "\r\n" + general),
                                                {{"Src\\hello.txt", "hello"}}));
}

class FolderPage : public e2e::WizardTest {
  protected:
    // Types the folder and presses Install.
    void Install(HWND page, const char* folder) {
        ASSERT_TRUE(ui::TypeInto(GetDlgItem(page, IDC_FOLDER_EDIT), folder));
        ui::ClickButton(page, IDC_INSTALL);
    }
};

TEST_F(FolderPage, ATypedMissingFolderIsCreatedOnlyAfterTheUserAgrees) {
    HWND page = StartAtFolderPage(Package("SpaceNeeded=5\r\n"));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Text(page, IDC_SPACE_NEEDED), "Space needed: 0KBytes");
    Install(page, "C:\\Typed\\Deeper");
    const std::string question = "Folder 'C:\\Typed\\Deeper' does not exists.\n\nCreate this folder?";
    ASSERT_TRUE(Answer(question, IDNO));
    EXPECT_FALSE(FolderExists("C:\\Typed")) << "No creates nothing";
    EXPECT_TRUE(IsWindow(page));

    ui::ClickButton(page, IDC_INSTALL);
    ASSERT_TRUE(Answer(question, IDYES));
    ExpectFinished();
    EXPECT_EQ(FileBytes("C:\\Typed\\Deeper\\hello.txt"), "hello");
}

TEST_F(FolderPage, RemoteInvalidRemovableAndFullDrivesEachKeepThePage) {
    // More space than any drive offers (read as signed, compared as unsigned): the removable drive, once
    // accepted, fails the space check.
    HWND page = StartAtFolderPage(Package("SpaceNeeded=-1\r\n"));
    ASSERT_NE(page, nullptr);
    Install(page, "\\\\server\\share\\Hello");
    ASSERT_TRUE(Answer("Can't install to remote computer.", IDOK));
    Install(page, "Q:\\Hello");
    ASSERT_TRUE(Answer("'Q:' is not valid drive specification or not accessible.", IDOK));
    Install(page, "F:\\Hello");
    const std::string removable = "Drive 'F:' is removable.\n\nContinue installation on this drive anyway?";
    ASSERT_TRUE(Answer(removable, IDNO, "folder-removable-drive"));
    ui::ClickButton(page, IDC_INSTALL);
    ASSERT_TRUE(Answer(removable, IDYES));
    ASSERT_TRUE(Answer("Folder 'F:\\Hello' does not exists.\n\nCreate this folder?", IDYES));
    ASSERT_TRUE(Answer("Not enough free space on drive 'F:'.", IDOK));
    EXPECT_FALSE(FolderExists("F:\\Hello")) << "nothing is created before every check has passed";
    EXPECT_TRUE(IsWindow(page));
    Abort(page);
}

TEST_F(FolderPage, AForcedFolderCannotBeChanged) {
    HWND page = StartAtFolderPage(Package("ForceInstallFolder=1\r\n", "Forced"));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ui::WindowText(page), "Installation of Hello");
    EXPECT_EQ(Text(page, IDC_FOLDER_INSTRUCTIONS),
              "Click <Install> to begin installation to following folder.");
    EXPECT_FALSE(Enabled(page, IDC_BROWSE));
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(page, IDC_FOLDER_EDIT), GWL_STYLE) & ES_READONLY);
    ui::CaptureScreen(page, "folder-forced");
    ui::ClickButton(page, IDC_INSTALL);
    // The proposed folder is created without a question.
    ExpectFinished();
    EXPECT_EQ(FileBytes("C:\\Program Files\\Forced\\hello.txt"), "hello");
}

}  // namespace
