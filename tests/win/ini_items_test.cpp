// INI items through the real profile API: files, folders and keys written and logged, then removed.
#include "items/ini_items.h"
#include "script/path_variables.h"
#include "tests/win/win_test.h"

namespace {

class IniItemsTest : public testsupport::PackageTest {
  protected:
    void SetUp() override {
        PackageTest::SetUp();
        WriteProfileStringA("Kelpack Test", nullptr, nullptr);
    }
    void TearDown() override {
        WriteProfileStringA("Kelpack Test", nullptr, nullptr);
        PackageTest::TearDown();
    }
    int Install(const Strings& items) {
        WriteItems("Ini", items);
        return InstallIniItems();
    }
    static std::string Read(const std::string& file, const char* section, const char* key) {
        char value[260];
        if (file.empty())
            GetProfileStringA(section, key, "<none>", value, sizeof value);
        else
            GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, file.c_str());
        return value;
    }
};

TEST_F(IniItemsTest, WritesPrivateFilesAndWinIniAndLogsWhatItCreated) {
    const std::string app = InstallDir, conf = app + "\\conf", fresh = conf + "\\app.ini";
    const std::string kept = folder_.Path("kept.ini"), old = folder_.Path("old.ini");
    SetFileBytes(old, "[Main]\r\nSet=old value\r\nBlank=  \r\n");
    EXPECT_EQ(Install({"0,0,{InstallDir}\\conf\\app.ini,Main,Path,{InstallDir}\\bin",
                       "0,0,{InstallDir}\\conf\\app.ini,Main,List,a,b,c",
                       "0,0,{InstallDir}\\conf\\app.ini,Main,Quoted,\"with quotes\"",
                       "0,1," + kept + ",Main,Mine,1", "1,0," + old + ",Main,Set,new",
                       "1,0," + old + ",Main,Blank,filled", "0,0,{WinIni},Kelpack Test,Key,win"}),
              1);
    const std::pair<std::string, std::string> values[] = {
        {Read(fresh, "Main", "Path"), app + "\\bin"},
        {Read(fresh, "Main", "List"), "a,b,c"},
        {Read(fresh, "Main", "Quoted"), "\"with quotes\""},
        {Read(kept, "Main", "Mine"), "1"},
        {Read(old, "Main", "Set"), "old value"},
        {Read(old, "Main", "Blank"), "filled"},
        {Read("", "Kelpack Test", "Key"), "win"},
    };
    for (const auto& [stored, expected] : values) EXPECT_EQ(stored, expected);

    // Newest first; nothing of the file is logged for win.ini, no key for the kept item.
    EXPECT_EQ(LoggedEntries("Folder"), (Strings{conf, app}));
    EXPECT_EQ(LoggedEntries("IniFile"), (Strings{kept + ",1", fresh + ",0"}));
    EXPECT_EQ(LoggedEntries("IniKey"),
              (Strings{",Kelpack Test,Key", old + ",Main,Blank", old + ",Main,Set", fresh + ",Main,Quoted",
                       fresh + ",Main,List", fresh + ",Main,Path"}));
}

TEST_F(IniItemsTest, RemovalEmptiesSectionsAndFilesButNeverWinIni) {
    const std::string shared = folder_.Path("shared.ini"), emptied = folder_.Path("emptied.ini");
    SetFileBytes(shared, "[Ours]\r\nA=1\r\nB=2\r\n[Theirs]\r\nC=3\r\n");
    SetFileBytes(emptied, "[Ours]\r\nA=1\r\nB=2\r\n");
    WriteProfileStringA("Kelpack Test", "Key", "win");
    for (const std::string& file : {shared, emptied}) {
        for (const char* key : {"A", "B"}) {
            IniKeyRecord record{};
            lstrcpynA(record.file, file.c_str(), sizeof record.file);
            lstrcpyA(record.section, "Ours");
            lstrcpyA(record.key, key);
            RemoveIniKey(record);
        }
    }
    char sections[64] = {};
    GetPrivateProfileSectionNamesA(sections, sizeof sections, shared.c_str());
    EXPECT_STREQ(sections, "Theirs");
    EXPECT_EQ(Read(shared, "Theirs", "C"), "3");
    EXPECT_FALSE(Exists(emptied));

    IniKeyRecord winIni{"", "Kelpack Test", "Key"};
    RemoveIniKey(winIni);
    char names[64] = "";
    EXPECT_EQ(GetProfileSectionA("Kelpack Test", names, sizeof names), 0u);
    const std::string missing = folder_.Path("missing\\gone.ini");
    IniKeyRecord gone{};
    lstrcpynA(gone.file, missing.c_str(), sizeof gone.file);
    RemoveIniKey(gone);
    EXPECT_FALSE(Exists(missing));
}

}  // namespace
