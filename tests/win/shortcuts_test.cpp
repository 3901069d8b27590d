// Shortcuts through the real shell link object: the links read back, and their log.
#include <shlobj.h>

#include "items/shortcuts.h"
#include "script/path_variables.h"
#include "tests/support/shell_link.h"
#include "tests/win/win_test.h"

namespace {

using testsupport::Link;
using testsupport::ReadLink;

class ShortcutsTest : public testsupport::PackageTest {
  protected:
    void SetUp() override {
        PackageTest::SetUp();
        lstrcpynA(DeskTopDir, folder_.Path("Desktop").c_str(), sizeof DeskTopDir);
        for (const char* made : {InstallDir, ProgramMenuDir, DeskTopDir}) CreateDirectoryA(made, nullptr);
        SetFileBytes(App("app.exe"), "MZ");
        SetFileBytes(App("readme.txt"), "read me");
    }
    int Install(const Strings& items) {
        WriteItems("Shortcut", items);
        return InstallShortcuts();
    }
    std::string App(const char* name) { return std::string(InstallDir) + "\\" + name; }
};

TEST_F(ShortcutsTest, LinksCarryTheirFieldsAndTheLogNamesEachLevelOnce) {
    const std::string product = std::string(ProgramMenuDir) + "\\Vendor\\Product";
    EXPECT_EQ(
        Install({"App,{InstallDir}\\app.exe,{ProgramMenu}\\Vendor\\Product,{InstallDir},"
                 "{InstallDir}\\app.exe,/a,/b \"{InstallDir}\"",
                 "\\Read me\\ ,{InstallDir}\\readme.txt, {ProgramMenu}\\Vendor\\Product\\ ,{InstallDir}",
                 "Broken,{InstallDir}\\app.exe,Q:\\Nowhere,,", "Desk,{InstallDir}\\app.exe,{DeskTop},,,"}),
        0);

    EXPECT_EQ(
        ReadLink(product + "\\App.LNK"),
        (Link{App("app.exe"), "/a,/b \"" + std::string(InstallDir) + "\"", InstallDir, App("app.exe"), 0}));
    const Link readme = ReadLink(product + "\\Read me.LNK");
    EXPECT_EQ(readme.path, App("readme.txt"));
    EXPECT_EQ(readme.arguments, "");
    EXPECT_EQ(readme.workingFolder, InstallDir);
    EXPECT_EQ(readme.icon, "");  // no icon field: none set
    EXPECT_EQ(ReadLink(std::string(DeskTopDir) + "\\Desk.LNK").path, App("app.exe"));

    // Newest first; the shell folders themselves never appear, a failed link keeps its levels.
    EXPECT_EQ(LoggedEntries("ShellFolder"),
              (Strings{"Q:\\Nowhere", product, std::string(ProgramMenuDir) + "\\Vendor"}));
    EXPECT_EQ(LoggedEntries("Shortcut"), (Strings{std::string(DeskTopDir) + "\\Desk.LNK",
                                                  product + "\\Read me.LNK", product + "\\App.LNK"}));
}

TEST_F(ShortcutsTest, AGapEndsTheListAndAnMsDosTargetIsLoggedByItsPifName) {
    EXPECT_EQ(Install({"", "Never,{InstallDir}\\app.exe,{DeskTop}"}), 1);
    EXPECT_TRUE(wintest::Entries(DeskTopDir).empty());

    // The system saves a link to an MS-DOS program as a .PIF file of the same name.
    SetFileBytes(std::string(DeskTopDir) + "\\Old.PIF", "pif");
    EXPECT_EQ(std::string(SavedShortcutName(DeskTopDir, "Old")), std::string(DeskTopDir) + "\\Old.PIF");
    SetFileBytes(std::string(DeskTopDir) + "\\Old.LNK", "lnk");
    EXPECT_EQ(std::string(SavedShortcutName(DeskTopDir, "Old")), std::string(DeskTopDir) + "\\Old.LNK");
}

}  // namespace
