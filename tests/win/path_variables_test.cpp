// Path variables: tokens expanded, the buffer's limit, values replaced in place.
#include "script/path_variables.h"

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

}  // namespace
