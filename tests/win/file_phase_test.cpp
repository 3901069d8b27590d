// The file phase: a package installed, the misc overwrite rules, the overwrite question answered.
#include "archive/archive_reader.h"
#include "common/strings.h"
#include "files/file_phase.h"
#include "files/overwrite_dialog.h"
#include "items/server_registration.h"
#include "script/path_variables.h"
#include "tests/win/win_test.h"

namespace {

using testsupport::Member;

const uint32_t Year2024 = (44u << 25 | 3u << 21 | 15u << 16) | (13u << 11 | 45u << 5);
const uint32_t Year1990 = (10u << 25 | 1u << 21 | 1u << 16);
const uint32_t Year2100 = (120u << 25 | 1u << 21 | 1u << 16);  // newer than any file in place

// What the last run reported: its result, and the bytes and the last item it reported for the page.
int FilesDone = -1;
DWORD ProgressSum = 0;
std::string LastItem;

// Entries of a counted log section, oldest first (the file list is in that order already).
Strings Logged(const char* section) {
    Strings items = LoggedEntries(section);
    std::reverse(items.begin(), items.end());
    return items;
}

// Answers the coming overwrite question with button, for all; its lines and focused button land in shown.
std::thread Answer(int button, std::string* shown) {
    return std::thread([=] {
        HWND dialog = ui::WaitForDialogWithControl(GetCurrentProcessId(), IDC_NO_MORE_CONFIRMATION, 10000);
        if (dialog == nullptr) return;
        *shown = ui::WindowText(GetDlgItem(dialog, IDC_LINE1)) + "|" +
                 ui::WindowText(GetDlgItem(dialog, IDC_LINE3)) + "|" +
                 ui::WindowText(ui::FocusedControl(dialog));
        SendMessageA(GetDlgItem(dialog, IDC_NO_MORE_CONFIRMATION), BM_SETCHECK, BST_CHECKED, 0);
        ui::ClickButton(dialog, button);
        ui::WaitForWindowToGo(dialog, 10000);
    });
}

class FilePhaseTest : public testsupport::PackageTest {
  protected:
    void SetUp() override {
        PackageTest::SetUp();
        FilesDone = -1;
    }
    // The package of the members as the package reader, on a leading member as start-up leaves it.
    void Run(std::vector<Member> members) {
        members.insert(members.begin(), Member{"KPII", "[General]\n"});
        OpenPackage(members);
        if (HasFatalFailure()) return;
        FilesDone = RunFilePhase();
        ProgressSum = TakeReportedProgress();
        char item[260] = "";
        TakeReportedItem(item);
        LastItem = item;
    }
    std::string App(const std::string& name) { return folder_.Path("App\\" + name); }
};

TEST_F(FilePhaseTest, InstallsNestedFilesEmptyFoldersAndMiscFilesAndLogsThem) {
    // The third after a gap: not installed.
    WriteItems("MiscFile", {"{InstallDir}\\Misc\\m.dll,2,1,1,1,1", "", "{InstallDir}\\never.dat,2,1,0,0,0"});
    // a.txt is there already and is replaced without a question.
    WriteSetting("General", "ConfirmOverwriteSourceFolderFile", "0", InstallInfoFile);
    CreateDirectoryA(InstallDir, nullptr);
    SetFileBytes(App("a.txt"), "old");
    const std::string server = FileBytes(testsupport::Beside("com_server.dll"));
    testsupport::MessageBoxWatcher boxes;
    Run({{"Src\\a.txt", "alpha", Year2024},
         {"Src\\sub\\deep\\b.txt", "bravo", Year2024},
         {"Src\\empty\\", ""},
         {"Misc1", server, Year2024},
         {"Misc2", "stray"}});
    boxes.Stop();
    EXPECT_EQ(FilesDone, 1);
    EXPECT_TRUE(FileBytes(App("Misc\\m.dll")) == server);
    EXPECT_EQ(GetFileAttributesA(App("never.dat").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ProgressSum, 5 + 5 + server.size());
    EXPECT_EQ(LastItem, App("Misc\\m.dll"));

    EXPECT_EQ(FileBytes(App("a.txt")), "alpha");
    EXPECT_EQ(Logged("Folder"), (Strings{App("sub"), App("sub\\deep"), App("empty"), App("Misc")}));
    // A replaced file is marked: a rollback or an uninstallation must not take it away.
    EXPECT_EQ(LoggedEntries("SourceFile"), (Strings{App("a.txt*"), App("sub\\deep\\b.txt")}));
    // The server registered itself; the missing type library is shown and logged, and the phase goes on.
    EXPECT_EQ(testsupport::ServerRecord(App("Misc\\m.dll")), "registered");
    EXPECT_EQ(boxes.Texts(), Strings{"Error registering file '" + App("Misc\\m.dll") + "'."});
    EXPECT_EQ(Logged("MiscFile"), (Strings{App("Misc\\m.dll") + ",1,1,1,0,0"}));
    EXPECT_EQ(UnregisterServerFile(App("Misc\\m.dll").c_str()), 1);
}

TEST_F(FilePhaseTest, UnsafeOrMisnamedMembersFailThePhase) {
    Run({{"Src\\..\\evil.txt", "x"}});
    EXPECT_EQ(FilesDone, 0);
    EXPECT_EQ(GetFileAttributesA(folder_.Path("evil.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    FilesDone = -1;
    WriteItems("MiscFile", {"{InstallDir}\\one.dat,2,1,0,0,0"});
    Run({{"Src\\a.txt", "alpha"}, {"Misc2", "wrong"}});
    EXPECT_EQ(FilesDone, 0);
    EXPECT_EQ(GetFileAttributesA(App("one.dat").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FilePhaseTest, MiscOverwriteModesCompareVersionsAndTimes) {
    CreateDirectoryA(InstallDir, nullptr);
    const std::string versioned = testsupport::Beside("versioned.dll");
    for (const char* name : {"newer.dll", "same.dll", "always.dll", "ask.dll", "asked.dll", "never.dll"})
        ASSERT_TRUE(CopyFileA(versioned.c_str(), App(name).c_str(), FALSE));
    for (const char* name : {"newer.txt", "older.txt"}) SetFileBytes(App(name), "old");
    const std::string original = FileBytes(versioned);
    WriteSetting("General", "NeedRestart", "1", InstallInfoFile);
    // The same version is kept but shared and registered; an empty mode asks, answered for all before it.
    WriteItems(
        "MiscFile",
        {"{InstallDir}\\newer.dll,1,1", "{InstallDir}\\same.dll,1,1,1,1", "{InstallDir}\\always.dll,2,1",
         "{InstallDir}\\ask.dll,0,1", "{InstallDir}\\asked.dll,,1", "{InstallDir}\\never.dll,7,1",
         "{InstallDir}\\newer.txt,1,1", "{InstallDir}\\older.txt,1,1", "{InstallDir}\\fresh.txt,7,1"});
    std::string shown;
    std::thread answer = Answer(IDC_NO_BUTTON, &shown);
    testsupport::MessageBoxWatcher boxes;
    Run({{"Misc1", "v1.2.3.5", Year1990, 0x00010002, 0x00030005},
         {"Misc2", "v1.2.3.4", Year1990, 0x00010002, 0x00030004},
         {"Misc3", "older", Year1990, 0x00010001, 0},
         {"Misc4", "newest", Year2024},
         {"Misc5", "newest", Year2024},
         {"Misc6", "newest", Year2024, 0x00090000, 0},
         {"Misc7", "future", Year2100},  // without versions the times decide
         {"Misc8", "older", Year1990},
         {"Misc9", "fresh"}});  // a missing file is installed in any mode
    answer.join();
    boxes.Stop();
    EXPECT_EQ(FilesDone, 1);
    EXPECT_EQ(FileBytes(App("newer.dll")), "v1.2.3.5");
    EXPECT_TRUE(FileBytes(App("same.dll")) == original);
    EXPECT_EQ(FileBytes(App("always.dll")), "older");
    EXPECT_TRUE(FileBytes(App("ask.dll")) == original);
    EXPECT_TRUE(FileBytes(App("asked.dll")) == original);
    EXPECT_TRUE(FileBytes(App("never.dll")) == original);
    EXPECT_EQ(FileBytes(App("newer.txt")), "future");
    EXPECT_EQ(FileBytes(App("older.txt")), "old");
    EXPECT_EQ(FileBytes(App("fresh.txt")), "fresh");
    // The question described both files with their sizes and suggested No: the package file is older.
    const std::string sizes =
        "; " + std::string(GroupDigits(original.size())) + "Bytes)|ask.dll(2024-3-15/13:45; 6Bytes)|";
    EXPECT_EQ(shown.substr(0, 18), "ask.dll(1.2.3.4; 2") << shown;
    EXPECT_EQ(shown.find(sizes) + sizes.size(), shown.rfind('|') + 1) << shown;
    EXPECT_EQ(shown.substr(shown.rfind('|') + 1), "No") << shown;

    EXPECT_EQ(Logged("MiscFile"), (Strings{App("newer.dll") + ",1,0,0,0,1", App("same.dll") + ",2,1,1,0,0",
                                           App("always.dll") + ",1,0,0,0,1", App("ask.dll") + ",2,0,0,0,0",
                                           App("asked.dll") + ",2,0,0,0,0", App("never.dll") + ",2,0,0,0,0",
                                           App("newer.txt") + ",1,0,0,0,1", App("older.txt") + ",2,0,0,0,0",
                                           App("fresh.txt") + ",1,0,0,0,0"}));
    // With a restart pending the server is recorded for after it, silently; no type library.
    EXPECT_TRUE(boxes.Texts().empty());
    FlushSettings(EndInstallFile);
    EXPECT_EQ(wintest::Setting(EndInstallFile, "RegisterServer", "1"), App("same.dll"));
    EXPECT_EQ(SettingExists("RegisterServer", "2", EndInstallFile), 0);
    EXPECT_EQ(SettingExists("RegisterTypeLibrary", nullptr, EndInstallFile), 0);
    EXPECT_EQ(ProgressSum, 8u + 8 + 5 + 3 * 6 + 6 + 5 + 5);
}

}  // namespace
