// The install folder behind the page: the registry form, the proposed folder, free space and creation.
#include "common/strings.h"
#include "script/path_variables.h"
#include "tests/win/win_test.h"
#include "ui/folder_page.h"

namespace {

const char TestKey[] = "Software\\KelpackFolderTest";

struct RegForm {
    char root[PathBufferSize], key[PathBufferSize], value[PathBufferSize];
    char subfolder[PathBufferSize], fallback[PathBufferSize];
    int complete;
    explicit RegForm(const char* text) {
        complete = ParseRegForm(text, root, key, value, subfolder, fallback);
    }
};

// Only "{Reg:" opens the form; each field is cleaned in its own way (root 7: ProposedFolder).
TEST(RegistryForm, OpenedParsedAndRooted) {
    EXPECT_EQ(IsRegForm(" \t{ \tReg\t :2"), 1);
    EXPECT_EQ(IsRegForm("{reg:2,K,V}S;D"), 0);  // case matters
    EXPECT_EQ(IsRegForm(nullptr), 0);

    RegForm form(
        " { Reg : 2 , \\SOFTWARE\\Example\\ , Path }\\Example App\\ ; {ProgramFiles}\\Example App\\ ");
    EXPECT_EQ(form.complete, 1);
    EXPECT_STREQ(form.root, "2");
    EXPECT_STREQ(form.key, "SOFTWARE\\Example");
    EXPECT_STREQ(form.value, "Path");
    EXPECT_STREQ(form.subfolder, "Example App");
    EXPECT_STREQ(form.fallback, "{ProgramFiles}\\Example App");

    // A missing separator leaves the later fields empty and says so.
    RegForm cut("{Reg:1,Key,Value}Sub");
    EXPECT_EQ(cut.complete, 0);
    EXPECT_STREQ(cut.value, "Value");
    EXPECT_STREQ(cut.fallback, "");

    EXPECT_EQ(RegFormRoot("2x"), HKEY_LOCAL_MACHINE);  // read as atol reads it
}

TEST(FreeSpace, ClusterProductIsCappedBelowFourGigabytes) {
    EXPECT_EQ(CapFreeBytes(8, 512, 1000), 4096000u);
    EXPECT_EQ(CapFreeBytes(1, 1, 0xFFFFFFFFu), 0xFFFFFFFFu);
    EXPECT_EQ(CapFreeBytes(8, 512, 1048576), 0xFFFFFFFFu);  // exactly 4 GB
    EXPECT_EQ(CapFreeBytes(65536, 65536, 5), 0u);           // the cluster size wraps in 32 bits

    EXPECT_GT(DiskFreeBytes(wintest::WindowsFolder().c_str()), 0u);
    EXPECT_EQ(DiskFreeBytes("Q:\\Nowhere"), 0u);  // no such drive counts as full
}

class ProposedFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        lstrcpynA(WinDrive, wintest::WindowsFolder().c_str(), 3);
        CopyBounded(sizeof ProgramFilesDir, ProgramFilesDir, "C:\\Program Files");
        CopyBounded(sizeof InstallFileDir, InstallFileDir, scratch_.Root().string().c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, TestKey);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, TestKey); }

    static void SetValue(const std::string& value) {
        ASSERT_EQ(
            RegSetKeyValueA(HKEY_CURRENT_USER, TestKey, "Path", REG_SZ, value.c_str(), value.size() + 1),
            ERROR_SUCCESS);
    }
    // "folder|default subfolder"
    static std::string Propose(const char* setting) {
        char folder[PathBufferSize], subfolder[PathBufferSize];
        ProposeInstallFolder(setting, folder, subfolder);
        return std::string(folder) + "|" + subfolder;
    }

    testsupport::ScratchFolder scratch_;
};

TEST_F(ProposedFolder, VariablesAbsoluteRelativeAndRegistryFolders) {
    EXPECT_EQ(Propose("{ProgramFiles}\\App"), "C:\\Program Files\\App|App");
    EXPECT_EQ(Propose("C:\\App"), "C:\\App|");
    // The package lies on a hard disk here: beside it.
    EXPECT_EQ(Propose("App"), scratch_.Path("App") + "|App");
    EXPECT_EQ(Propose(""), std::string(InstallFileDir) + "|");

    // The registry names a folder, a file or nothing.
    const std::string form = "{Reg:1,Software\\KelpackFolderTest,Path}\\Sub\\;C:\\Fallback\\";
    EXPECT_EQ(Propose(form.c_str()), "C:\\Fallback|");  // no key

    SetValue(scratch_.Root().string() + "\\ ");
    EXPECT_EQ(Propose(form.c_str()), scratch_.Path("Sub") + "|Sub");

    SetFileBytes(scratch_.Path("app.exe"), "x");
    SetValue(scratch_.Path("app.exe"));
    EXPECT_EQ(Propose(form.c_str()), scratch_.Path("Sub") + "|Sub");

    SetValue(scratch_.Path("missing\\app"));
    EXPECT_EQ(Propose(form.c_str()), "C:\\Fallback|");
    SetValue("  ");
    EXPECT_EQ(Propose(form.c_str()), "C:\\Fallback|");

    // Environment references in the value are expanded.
    SetEnvironmentVariableA("KP_FOLDER_TEST", scratch_.Root().string().c_str());
    SetValue("%KP_FOLDER_TEST%");
    EXPECT_EQ(Propose(form.c_str()), scratch_.Path("Sub") + "|Sub");

    // Root 7 cannot be opened; a default with a variable has its own subfolder.
    EXPECT_EQ(Propose("{Reg:7,Software\\KelpackFolderTest,Path}Sub;{ProgramFiles}\\App"),
              "C:\\Program Files\\App|App");
}

TEST_F(ProposedFolder, CreatedFoldersAreLoggedOuterFirst) {
    ASSERT_TRUE(testsupport::OpenScratchLog(scratch_.Root().string()));
    const std::string inner = scratch_.Path("a\\b\\c");
    CreateLoggedFolders((inner + "\\").c_str());
    EXPECT_NE(GetFileAttributesA(inner.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(LoggedEntries("Folder"),
              (Strings{inner, scratch_.Path("a\\b"), scratch_.Path("a")}));  // newest first

    // Nothing left to create logs nothing.
    ResetLogCounters();
    CreateLoggedFolders(inner.c_str());
    EXPECT_EQ(GetPrivateProfileIntA("Folder", "FolderCount", -1, InstallLogFile), 3u);
    testsupport::CloseScratchLog();
}

}  // namespace
