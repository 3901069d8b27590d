// Path variables and the folders behind them, against the real registry.
#include "script/path_variables.h"

#include "common/file_system.h"
#include "tests/win/win_test.h"

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

// Rows: the text, what it becomes, whether a folder variable is reported (-1: not looked at).
TEST_F(PathVariablesTest, TokensOfTheTableExpandAndFolderVariablesAreReported) {
    strcpy(InstallDir, "C:\\");
    strcpy(WinDrive, "D:");
    SYSTEMTIME now;
    GetLocalTime(&now);
    char today[32];
    wsprintfA(today, "v%04d-%02d-%02d.log", now.wYear, now.wMonth, now.wDay);
    const std::tuple<const char*, const char*, int> rows[] = {
        {"{InstallDir}\\a.txt", "C:\\a.txt", 1},
        {"v{InstallDate}.log", today, 0},
        {"{WinDrive}\\Folder", "D:\\Folder", 1},
        {"{windir}\\{WINDIR}", "{windir}\\{WINDIR}", 0},
        {"{Foo} and {InstallDirectory} stay", "{Foo} and {InstallDirectory} stay", 0},
        {"{{}InstallDir{}}", "{InstallDir}", 0},
        {"{{}{}}", "{}", -1},
        {"{WinIni}", "", 0},
        {" \t", " \t", 0}};
    for (const auto& [text, expanded, folder] : rows) {
        int found = 0;
        EXPECT_EQ(Expand(text, &found), expanded) << text;
        if (folder >= 0) {
            EXPECT_EQ(found != 0, folder == 1) << text;
        }
    }
    // A folder variable counts even while it is still empty; the others never count.
    for (const char* token : {"{WinSysDir}", "{ProgramFiles}", "{CommonFiles}", "{InstallDrive}",
                              "{InstallFileDrive}", "{InstallFileDir}", "{TempDir}", "{UserTempDir}"}) {
        int found = 0;
        EXPECT_EQ(Expand((std::string("x") + token).c_str(), &found), "x") << token;
        EXPECT_NE(found, 0) << token;
    }
    for (const char* token : {"{DeskTop}", "{StartMenu}", "{ProgramMenu}", "{StartupMenu}", "{QuickLaunch}",
                              "{SendTo}", "{{}", "{}}"}) {
        int found = 1;
        Expand((std::string("x") + token).c_str(), &found);
        EXPECT_EQ(found, 0) << token;
    }
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

TEST_F(PathVariablesTest, ReplaceTokenDoesNotExpandAValueAgainAndShellFoldersExpandAlone) {
    char text[260] = "{X}-{X}";
    EXPECT_EQ(ReplaceToken(text, "{X}", "a{X}"), 1);
    EXPECT_STREQ(text, "a{X}-a{X}");
    EXPECT_EQ(ReplaceToken(text, "{Y}", "b"), 0);
    EXPECT_STREQ(text, "a{X}-a{X}");

    // A variable expanded in place keeps its own value for the token.
    strcpy(InstallDir, "{InstallDir}\\x");
    ReplaceToken(InstallDir, "{InstallDir}", InstallDir);
    EXPECT_STREQ(InstallDir, "{InstallDir}\\x\\x");

    // Shell folder expansion touches only shell folders.
    strcpy(DeskTopDir, "C:\\Desk");
    strcpy(SendToDir, "C:\\Send");
    strcpy(WinDir, "C:\\WINDOWS");
    strcpy(text, "{DeskTop}\\{WinDir}|{SendTo}|{{}");
    ExpandShellFolders(text);
    EXPECT_STREQ(text, "C:\\Desk\\{WinDir}|C:\\Send|{{}");
}

// A folder under the temporary folder, removed so that it is missing.
std::string MissingFolder(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + name;
    RemoveDirectoryA(folder.c_str());
    return folder;
}

void SetString(HKEY key, const char* name, const std::string& value) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), value.size() + 1);
}

// Wine lets the test change HKEY_LOCAL_MACHINE; both values are put back.
TEST_F(PathVariablesTest, ProgramAndCommonFilesFromTheRegistryAreMadeWhenMissing) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const char* const names[] = {"ProgramFilesDir", "CommonFilesDir"};
    char saved[2][MAX_PATH] = {};
    for (int i = 0; i < 2; ++i) ReadRegistryString(key, names[i], saved[i], MAX_PATH);

    const std::string programs = MissingFolder("kpprograms"), common = MissingFolder("kpcommon");
    SetString(key, names[0], programs + "\\");
    SetString(key, names[1], common);
    ResolveProgramFiles();
    ResolveCommonFiles();
    EXPECT_EQ(ProgramFilesDir, programs);
    EXPECT_EQ(CommonFilesDir, common);
    EXPECT_TRUE(FolderExists(ProgramFilesDir));
    EXPECT_TRUE(FolderExists(CommonFilesDir));
    MissingFolder("kpprograms");
    MissingFolder("kpcommon");
    for (const char* name : names) RegDeleteValueA(key, name);
    for (int i = 0; i < 2; ++i)
        if (saved[i][0] != '\0') SetString(key, names[i], saved[i]);
    RegCloseKey(key);
}

}  // namespace
