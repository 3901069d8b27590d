// The uninstall entry, the uninstall shortcut and the folder list, against the real registry and shell.
#include <shlobj.h>

#include "items/uninstall_registration.h"
#include "script/path_variables.h"
#include "tests/support/shell_link.h"
#include "tests/win/win_test.h"

namespace {

using wintest::RunOnce;

constexpr char TestTitle[] = "Kelpack Registration Test";
const std::string Entry =
    std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + TestTitle;

// A string value under HKLM, or "(none)".
std::string Text(const std::string& key, const char* name) {
    return wintest::RegText(HKEY_LOCAL_MACHINE, key, name);
}

void SetText(const std::string& key, const char* name, const char* text) {
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, REG_SZ, text,
                    static_cast<DWORD>(strlen(text) + 1));
}

bool EntryExists() { return wintest::KeyExists(HKEY_LOCAL_MACHINE, Entry); }

class UninstallRegistrationTest : public testsupport::PackageTest {
  protected:
    void SetUp() override {
        PackageTest::SetUp();
        lstrcpynA(InstallDir, folder_.Path("My App").c_str(), sizeof InstallDir);
        GetWindowsDirectoryA(WinDir, sizeof WinDir);
        CreateDirectoryA(InstallDir, nullptr);
        lstrcpyA(Title, TestTitle);
        UninstallInfoPath[0] = '\0';
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, Entry.c_str());
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, Entry.c_str());
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, RunOnce, TestTitle);
        Title[0] = '\0';
        PackageTest::TearDown();
    }
    void Ask(const char* key, const char* value) { WriteSetting("Uninstall", key, value, InstallInfoFile); }
    std::string Copy() const { return std::string(WinDir) + "\\KPinst27.exe"; }
};

// (The entry, the shortcut and their removal at work: the end-to-end uninstallation Life.)
TEST_F(UninstallRegistrationTest, EntryAndShortcutStartTheCopyWithTheInformationFile) {
    Ask("CPLUninstallName", "Kelpack Test Application");
    Ask("UninstallShortcutName", "{ProgramMenu}\\Vendor\\Product,Uninstall Product");
    // What an earlier installation of the title left is cleared first, not merged into.
    SetText(Entry, "Stale", "old");
    SetText(RunOnce, TestTitle, "old");
    EXPECT_EQ(DeleteRunOnceValue(), 1);
    EXPECT_EQ(DeleteUninstallEntry(), 1);
    ASSERT_EQ(RegisterUninstall(), 1);

    const std::string info = UninstallInfoPath;
    EXPECT_EQ(info.find(std::string(InstallDir) + "\\KPU"), 0u) << info;
    EXPECT_EQ(info.substr(info.size() - 4), ".inf");
    EXPECT_EQ(Text(Entry, "UninstallString"), "\"" + Copy() + "\" -U" + info);
    EXPECT_EQ(Text(Entry, "Stale"), "(none)");
    EXPECT_EQ(Text(RunOnce, TestTitle), "(none)");
    const testsupport::Link link =
        testsupport::ReadLink(std::string(ProgramMenuDir) + "\\Vendor\\Product\\Uninstall Product.LNK");
    EXPECT_EQ(wintest::Lower(link.path) + " " + link.arguments, wintest::Lower(Copy()) + " -U" + info);
}

TEST_F(UninstallRegistrationTest, NothingAskedRegistersNothingAndABlankTitleNamesNoEntry) {
    EXPECT_EQ(RegisterUninstall(), 1);
    EXPECT_STREQ(UninstallInfoPath, "");
    EXPECT_FALSE(EntryExists());

    // A blank title would name the whole list (or a value without a name): refused everywhere.
    SetText(RunOnce, "", "someone else's");
    lstrcpyA(Title, " \\\\ ");
    Ask("CPLUninstallName", "");
    EXPECT_EQ(RegisterUninstall(), 0);
    DeleteRunOnceValue();
    DeleteUninstallEntry();
    ScheduleUninstallAfterRestart();
    EXPECT_EQ(Text(RunOnce, ""), "someone else's");
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, RunOnce, "");
    HKEY list;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                            KEY_QUERY_VALUE, &list),
              ERROR_SUCCESS);
    DWORD values = 99;
    RegQueryInfoKeyA(list, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(list);
    EXPECT_EQ(values, 0u);  // no DisplayName or UninstallString on the list itself
}

TEST_F(UninstallRegistrationTest, FoldersListedForTheRestartGoWithTheEntryAfterIt) {
    Ask("CPLUninstallName", "Kelpack Test Application");
    ASSERT_EQ(RegisterUninstall(), 1);
    const std::string kept = folder_.Path("kept"), deep = folder_.Path("a\\b"), outer = folder_.Path("a");
    for (const std::string& folder : {outer, deep, kept}) CreateDirectoryA(folder.c_str(), nullptr);
    SetFileBytes(kept + "\\user.txt", "made by the user");

    RecordFolderForRestart("dropped");
    ClearFolderList();  // the list starts again at 1
    for (const std::string& folder : {deep, outer, kept}) RecordFolderForRestart(folder.c_str());
    EXPECT_EQ(Text(Entry, "1"), deep);
    EXPECT_EQ(Text(Entry, "3"), kept);
    DWORD count = 0, size = sizeof count;
    RegGetValueA(HKEY_LOCAL_MACHINE, Entry.c_str(), "UninstallFolderCount", RRF_RT_REG_DWORD, nullptr, &count,
                 &size);
    EXPECT_EQ(count, 3u);

    ScheduleUninstallAfterRestart();
    EXPECT_EQ(Text(RunOnce, TestTitle), "\"" + Copy() + "\" -u" + TestTitle);
    EXPECT_EQ(Text(Entry, "DisplayName"), "(none)");
    EXPECT_EQ(Text(Entry, "UninstallString"), "(none)");

    FinishUninstallAfterRestart();
    EXPECT_FALSE(Exists(outer));
    EXPECT_TRUE(Exists(kept));
    EXPECT_FALSE(EntryExists());
}

}  // namespace
