// The installation log against the real profile API and a real file list.
#include "script/log_records.h"
#include "tests/win/win_test.h"

namespace {

class InstallLogTest : public testsupport::PackageTest {
  protected:
    static std::string Raw(const char* section, const char* key) {
        char value[1024];
        GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, InstallLogFile);
        return value;
    }
    // Every entry NextLogItem gives, joined by "|", after the counter is loaded from the log.
    static std::string ReadBack(const char* section) {
        std::string all;
        for (const std::string& entry : LoggedEntries(section)) all += "|" + entry;
        return all.empty() ? all : all.substr(1);
    }
    static std::string FileList() {
        RewindFileList();
        char bytes[2048];
        DWORD read = 0;
        ReadFile(FileListHandle, bytes, sizeof bytes, &read, nullptr);
        return std::string(bytes, read);
    }
};

// Newest first; shell folders once in any case, other folders each time; uncounted sections by name only.
TEST_F(InstallLogTest, CountedSectionsComeBackNewestFirst) {
    LogItem("Folder", nullptr, "C:\\a");
    LogItem("Folder", nullptr, "C:\\a");
    LogItem("Folder", "ignored", "C:\\a\\b\\c");
    for (const char* folder : {"C:\\Menu\\Group", "c:\\menu\\GROUP", "C:\\Menu\\Group\\Sub"})
        LogItem("ShellFolder", nullptr, folder);
    LogItem("MiscFile", nullptr, "\"C:\\q r.dll\"");
    LogItem("General", "UninstallType", "2");
    LogItem("General", nullptr, "lost");
    EXPECT_EQ(Raw("Folder", "FolderCount"), "3");
    EXPECT_EQ(Raw("Folder", "1"), "C:\\a");
    EXPECT_EQ(Raw("General", "UninstallType"), "2");
    EXPECT_EQ(Raw("General", "GeneralCount"), "<none>");

    ResetLogCounters();
    EXPECT_EQ(ReadBack("Folder"), "C:\\a\\b\\c|C:\\a|C:\\a");
    EXPECT_EQ(ReadBack("ShellFolder"), "C:\\Menu\\Group\\Sub|C:\\Menu\\Group");
    EXPECT_EQ(ReadBack("MiscFile"), "\"C:\\q r.dll\"");
    EXPECT_EQ(ReadBack("General"), "");

    // A missing entry reads as empty; a damaged, negative count gives nothing.
    WritePrivateProfileStringA("Shortcut", "ShortcutCount", "2", InstallLogFile);
    WritePrivateProfileStringA("Shortcut", "1", "C:\\s.lnk", InstallLogFile);
    EXPECT_EQ(ReadBack("Shortcut"), "|C:\\s.lnk");
    WritePrivateProfileStringA("IniKey", "IniKeyCount", "-4", InstallLogFile);
    EXPECT_EQ(ReadBack("IniKey"), "");
}

TEST_F(InstallLogTest, SourceFilesAreRecordsInLoggingOrder) {
    LogItem("SourceFile", nullptr, "C:\\app\\one.exe");
    LogItem("SourceFile", nullptr, "C:\\app\\two.dll*");
    LogItem("SourceFile", nullptr, "C:\\x");
    EXPECT_EQ(Raw("SourceFile", "SourceFileCount"), "<none>") << "not rewritten with every file";
    WriteSourceFileCount();
    EXPECT_EQ(Raw("SourceFile", "SourceFileCount"), "3");
    EXPECT_EQ(ReadBack("SourceFile"), "C:\\app\\one.exe|C:\\app\\two.dll*|C:\\x");

    // The count decides, not the length of the list; a short list ends the entries early.
    WriteIntSetting("SourceFile", "SourceFileCount", 2, InstallLogFile);
    EXPECT_EQ(ReadBack("SourceFile"), "C:\\app\\one.exe|C:\\app\\two.dll*");
    WriteIntSetting("SourceFile", "SourceFileCount", 5, InstallLogFile);
    EXPECT_EQ(ReadBack("SourceFile"), "C:\\app\\one.exe|C:\\app\\two.dll*|C:\\x");
}

TEST_F(InstallLogTest, PathsTooLongForARecordGoByTheirShortNames) {
    // A real file whose full path is 257 bytes, in a folder with a long name.
    std::string folder = folder_.Path(std::string(120, 'd'));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string path = folder + "\\" + std::string(256 - folder.size() - 4, 'f') + ".txt";
    ASSERT_EQ(path.size(), 257u);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    char shortName[MAX_PATH];
    DWORD shortLength = GetShortPathNameA(path.c_str(), shortName, sizeof shortName);
    ASSERT_GT(shortLength, 0u);
    ASSERT_LE(shortLength, 254u);

    LogItem("SourceFile", nullptr, path.c_str());
    LogItem("SourceFile", nullptr, (path + "*").c_str());
    // No such file, so no short name: neither recorded nor counted.
    std::string missing = folder + "\\" + std::string(256 - folder.size(), 'm');
    LogItem("SourceFile", nullptr, missing.c_str());
    WriteSourceFileCount();
    EXPECT_EQ(Raw("SourceFile", "SourceFileCount"), "2");
    EXPECT_EQ(FileList(), std::string(1, static_cast<char>(shortLength)) + shortName +
                              std::string(1, static_cast<char>(shortLength + 1)) + shortName + "*");
    EXPECT_EQ(ReadBack("SourceFile"), std::string(shortName) + "|" + shortName + "*");
}

// The last field of a record takes the rest, commas and all; an INI file's keep flag comes back.
TEST_F(InstallLogTest, RecordsComeBackWhole) {
    LogRegistryValue({"1", "Software\\Kelpack\\App", "Name, with comma"});
    LogIniFile({"C:\\win\\app.ini", 1});
    ResetLogCounters();
    LoadLogCounter("RegistryValue");
    LoadLogCounter("IniFile");
    RegistryValueRecord value;
    ASSERT_TRUE(NextRegistryValue(&value));
    EXPECT_EQ(std::string(value.root) + "|" + value.key + "|" + value.name,
              "1|Software\\Kelpack\\App|Name, with comma");
    IniFileRecord ini;
    ASSERT_TRUE(NextIniFile(&ini));
    EXPECT_EQ(std::string(ini.path) + "|" + std::to_string(ini.keep), "C:\\win\\app.ini|1");
}

}  // namespace
