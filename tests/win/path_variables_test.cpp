// Path variables and the folders behind them, against the real shell and registry.
#include "script/path_variables.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <string.h>
#include <windows.h>

#include <string>

#include "common/file_system.h"
#include "common/process_state.h"

namespace {

char* const AllVariables[] = {WinDrive,       WinDir,     WinSysDir,        ProgramFilesDir, CommonFilesDir,
                              InstallDrive,   InstallDir, InstallFileDrive, InstallFileDir,  TempFolder,
                              WorkFolder,     DeskTopDir, StartMenuDir,     ProgramMenuDir,  StartupMenuDir,
                              QuickLaunchDir, SendToDir};

class PathVariablesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (char* variable : AllVariables) variable[0] = '\0';
    }
    // The text after expansion, and what ExpandPathVariables said.
    std::string Expand(const char* text, int* result = nullptr) {
        char buffer[260];
        strcpy(buffer, text);
        int found = ExpandPathVariables(buffer);
        if (result != nullptr) *result = found;
        return buffer;
    }
};

TEST_F(PathVariablesTest, BackslashAfterADriveRootIsNotDoubled) {
    strcpy(InstallDir, "C:\\");
    strcpy(WinDrive, "D:");
    EXPECT_EQ(Expand("{InstallDir}\\a.txt"), "C:\\a.txt");
    EXPECT_EQ(Expand("{WinDrive}\\Folder"), "D:\\Folder");
    strcpy(InstallDir, "C:\\Apps");
    EXPECT_EQ(Expand("{InstallDir}\\a.txt"), "C:\\Apps\\a.txt");
}

TEST_F(PathVariablesTest, OnlyTheTableSpellingIsAToken) {
    strcpy(WinDir, "C:\\WINDOWS");
    int found = 1;
    EXPECT_EQ(Expand("{windir}\\{WINDIR}", &found), "{windir}\\{WINDIR}");
    EXPECT_EQ(found, 0);
    EXPECT_EQ(Expand("{Foo} and {InstallDirectory} stay", &found), "{Foo} and {InstallDirectory} stay");
    EXPECT_EQ(found, 0);
    EXPECT_EQ(Expand("{{}InstallDir{}}", &found), "{InstallDir}");
    EXPECT_EQ(found, 0);
    // A brace produced by an escape does not pair up with the text after it.
    EXPECT_EQ(Expand("{{}}}"), "{}}");
    EXPECT_EQ(Expand("{{}{}}"), "{}");
}

TEST_F(PathVariablesTest, ResultTellsWhetherAFolderVariableOccurred) {
    // An occurrence counts even while the variable is still empty.
    const char* folders[] = {"{WinDrive}",       "{WinDir}",       "{WinSysDir}",  "{ProgramFiles}",
                             "{CommonFiles}",    "{InstallDrive}", "{InstallDir}", "{InstallFileDrive}",
                             "{InstallFileDir}", "{TempDir}",      "{UserTempDir}"};
    for (const char* token : folders) {
        int found = 0;
        std::string text = std::string("x") + token;
        EXPECT_EQ(Expand(text.c_str(), &found), "x") << token;
        EXPECT_NE(found, 0) << token;
    }
    const char* others[] = {"{WinIni}",      "{InstallDate}", "{DeskTop}", "{StartMenu}", "{ProgramMenu}",
                            "{StartupMenu}", "{QuickLaunch}", "{SendTo}",  "{{}",         "{}}"};
    for (const char* token : others) {
        int found = 1;
        Expand((std::string("x") + token).c_str(), &found);
        EXPECT_EQ(found, 0) << token;
    }
    char blank[260] = " \t";
    EXPECT_EQ(ExpandPathVariables(blank), 0);
    EXPECT_STREQ(blank, " \t");
}

TEST_F(PathVariablesTest, WinIniIsEmptyAndTheDateIsToday) {
    EXPECT_EQ(Expand("{WinIni}"), "");
    SYSTEMTIME now;
    GetLocalTime(&now);
    char expected[32];
    wsprintfA(expected, "v%04d-%02d-%02d.log", now.wYear, now.wMonth, now.wDay);
    EXPECT_EQ(Expand("v{InstallDate}.log"), expected);
}

TEST_F(PathVariablesTest, ExpansionIsCutAt259Characters) {
    memset(InstallDir, 'a', 200);
    InstallDir[200] = '\0';
    std::string tail(100, 'b');
    std::string result = Expand(("{InstallDir}\\" + tail).c_str());
    EXPECT_EQ(result, std::string(InstallDir) + "\\" + std::string(58, 'b'));

    // A full buffer with a token at its very end.
    char text[260];
    memset(text, 'c', 259 - 8);
    strcpy(text + 251, "{WinIni}");
    EXPECT_EQ(ExpandPathVariables(text), 0);
    EXPECT_EQ(strlen(text), 251u);
}

TEST_F(PathVariablesTest, ReplaceTokenDoesNotExpandAValueAgain) {
    char text[260] = "{X}-{X}";
    EXPECT_EQ(ReplaceToken(text, "{X}", "a{X}"), 1);
    EXPECT_STREQ(text, "a{X}-a{X}");
    EXPECT_EQ(ReplaceToken(text, "{Y}", "b"), 0);
    EXPECT_STREQ(text, "a{X}-a{X}");

    // A variable expanded in place keeps its own value for the token.
    strcpy(InstallDir, "{InstallDir}\\x");
    ReplaceToken(InstallDir, "{InstallDir}", InstallDir);
    EXPECT_STREQ(InstallDir, "{InstallDir}\\x\\x");
}

TEST_F(PathVariablesTest, ShellFolderExpansionTouchesOnlyShellFolders) {
    strcpy(DeskTopDir, "C:\\Desk");
    strcpy(SendToDir, "C:\\Send");
    strcpy(WinDir, "C:\\WINDOWS");
    char text[260] = "{DeskTop}\\{WinDir}|{SendTo}|{{}";
    ExpandShellFolders(text);
    EXPECT_STREQ(text, "C:\\Desk\\{WinDir}|C:\\Send|{{}");
}

// A folder under the temporary folder, removed (with one inner level) so that it is missing.
std::string MissingFolder(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + name;
    RemoveDirectoryA((folder + "\\inner").c_str());
    RemoveDirectoryA(folder.c_str());
    return folder;
}

void SetString(HKEY key, const char* name, const std::string& value) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), value.size() + 1);
}

std::string Special(int folderId) {
    char buffer[260];
    GetSpecialFolder(folderId, buffer);
    return buffer;
}

TEST(ShellFolderLookup, FoldersComeBackWithoutTrailingBackslashAndExist) {
    char buffer[260] = "stale";
    ASSERT_EQ(GetSpecialFolder(CSIDL_APPDATA, buffer), 1);
    EXPECT_NE(buffer[strlen(buffer) - 1], '\\');
    EXPECT_TRUE(FolderExists(buffer));
    EXPECT_EQ(GetSpecialFolder(0x7F, buffer), 0);
    EXPECT_STREQ(buffer, "");

    // A registry value names a missing folder: it is made with its parents.
    std::string folder = MissingFolder("kpshell");
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER,
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", &key),
              ERROR_SUCCESS);
    SetString(key, "KelpackTest", folder + "\\inner\\");
    EXPECT_EQ(ReadShellFolderFromRegistry(HKEY_CURRENT_USER, "KelpackTest", buffer), 1);
    EXPECT_EQ(buffer, folder + "\\inner");
    EXPECT_TRUE(FolderExists(buffer));
    RegDeleteValueA(key, "KelpackTest");
    RegCloseKey(key);
    EXPECT_EQ(ReadShellFolderFromRegistry(HKEY_CURRENT_USER, "KelpackTest", buffer), 0);
    EXPECT_STREQ(buffer, "");
    MissingFolder("kpshell");
}

TEST_F(PathVariablesTest, TheFlagChoosesTheAllUsersProfileOnNt) {
    GetWindowsDirectoryA(WinDir, sizeof WinDir);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    GetTempFileNameA(temp, "kpv", 0, InstallInfoFile);

    WritePrivateProfileStringA("Shortcut", "CreateIconsInAllUsersProfile", "0", InstallInfoFile);
    ResolveShellFolders();
    EXPECT_EQ(DeskTopDir, Special(CSIDL_DESKTOPDIRECTORY));
    EXPECT_EQ(StartMenuDir, Special(CSIDL_STARTMENU));
    EXPECT_EQ(ProgramMenuDir, Special(CSIDL_PROGRAMS));
    EXPECT_EQ(StartupMenuDir, Special(CSIDL_STARTUP));
    std::string userSendTo = SendToDir, userQuickLaunch = QuickLaunchDir;

    WritePrivateProfileStringA("Shortcut", "CreateIconsInAllUsersProfile", "1", InstallInfoFile);
    ResolveShellFolders();
    EXPECT_EQ(DeskTopDir, Special(CSIDL_COMMON_DESKTOPDIRECTORY));
    EXPECT_EQ(StartMenuDir, Special(CSIDL_COMMON_STARTMENU));
    EXPECT_EQ(ProgramMenuDir, Special(CSIDL_COMMON_PROGRAMS));
    EXPECT_EQ(StartupMenuDir, Special(CSIDL_COMMON_STARTUP));
    EXPECT_NE(DeskTopDir, Special(CSIDL_DESKTOPDIRECTORY));
    // These two have no all-users form.
    EXPECT_EQ(SendToDir, userSendTo);
    EXPECT_EQ(QuickLaunchDir, userQuickLaunch);
    EXPECT_EQ(QuickLaunchDir, Special(CSIDL_APPDATA) + "\\Microsoft\\Internet Explorer\\Quick Launch");
    for (const char* folder :
         {DeskTopDir, StartMenuDir, ProgramMenuDir, StartupMenuDir, QuickLaunchDir, SendToDir}) {
        EXPECT_TRUE(FolderExists(folder)) << folder;
    }
    DeleteFileA(InstallInfoFile);
    InstallInfoFile[0] = '\0';
}

// Wine lets the test change HKEY_LOCAL_MACHINE; both values are put back.
TEST_F(PathVariablesTest, ProgramAndCommonFilesFromTheRegistryOrTheWindowsDrive) {
    GetWindowsDirectoryA(WinDrive, sizeof WinDrive);
    WinDrive[2] = '\0';
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    char savedPrograms[MAX_PATH] = "", savedCommon[MAX_PATH] = "";
    DWORD size = sizeof savedPrograms;
    RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr, reinterpret_cast<BYTE*>(savedPrograms), &size);
    size = sizeof savedCommon;
    RegQueryValueExA(key, "CommonFilesDir", nullptr, nullptr, reinterpret_cast<BYTE*>(savedCommon), &size);

    std::string programs = MissingFolder("kpprograms"), common = MissingFolder("kpcommon");
    SetString(key, "ProgramFilesDir", programs + "\\");
    SetString(key, "CommonFilesDir", common);
    ResolveProgramFiles();
    ResolveCommonFiles();
    EXPECT_EQ(ProgramFilesDir, programs);
    EXPECT_EQ(CommonFilesDir, common);
    EXPECT_TRUE(FolderExists(ProgramFilesDir));
    EXPECT_TRUE(FolderExists(CommonFilesDir));
    MissingFolder("kpprograms");
    MissingFolder("kpcommon");

    RegDeleteValueA(key, "ProgramFilesDir");
    RegDeleteValueA(key, "CommonFilesDir");
    ResolveProgramFiles();
    ResolveCommonFiles();
    EXPECT_EQ(ProgramFilesDir, std::string(WinDrive) + "\\Program Files");
    EXPECT_EQ(CommonFilesDir, std::string(WinDrive) + "\\Program Files\\Common Files");
    EXPECT_TRUE(FolderExists(CommonFilesDir));

    if (savedPrograms[0] != '\0') SetString(key, "ProgramFilesDir", savedPrograms);
    if (savedCommon[0] != '\0') SetString(key, "CommonFilesDir", savedCommon);
    RegCloseKey(key);
}

}  // namespace
