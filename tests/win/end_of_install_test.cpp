// What the end of an installation leaves for later runs: the uninstall information and end-install files.
#include <stdlib.h>

#include "common/messages.h"
#include "common/working_files_state.h"
#include "items/end_install_info.h"
#include "items/uninstall_info.h"
#include "script/leading_members.h"
#include "script/log_records.h"
#include "script/path_variables.h"
#include "startup/uninstall_info_reader.h"
#include "tests/win/win_test.h"

namespace {

using wintest::Setting;

constexpr char TestTitle[] = "Kelpack End Test";
const std::string Bitmap = "BM" + std::string(300, 'x');

void SetWizardBitmap(const std::string& bytes) {
    free(WizardBitmap);
    WizardBitmap = nullptr;
    WizardBitmapSize = 0;
    if (bytes.empty()) return;
    WizardBitmap = static_cast<unsigned char*>(malloc(bytes.size()));
    memcpy(WizardBitmap, bytes.data(), bytes.size());
    WizardBitmapSize = static_cast<uint32_t>(bytes.size());
}

std::string WizardBitmapBytes() {
    return WizardBitmap ? std::string(reinterpret_cast<char*>(WizardBitmap), WizardBitmapSize) : "";
}

bool HiddenAndReadOnly() {
    const DWORD both = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    return (GetFileAttributesA(UninstallInfoPath) & both) == both;
}

// The run's working files in the temporary folder and in its own folder there.
Strings WorkingFiles() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    Strings found = wintest::Entries(temp, "_kp*");
    for (const std::string& folder : wintest::Entries(temp, "_kp*"))
        for (const std::string& name : wintest::Entries(std::string(temp) + folder)) found.push_back(name);
    return found;
}

class EndOfInstallTest : public testsupport::PackageTest {
  protected:
    void SetUp() override {
        PackageTest::SetUp();
        lstrcpynA(UninstallInfoPath, folder_.Path("KPU0001.inf").c_str(), sizeof UninstallInfoPath);
        lstrcpyA(Title, TestTitle);
        lstrcpyA(WizardStampValue, "Stamp");
        SetWizardBitmap(Bitmap);
        before_ = WorkingFiles();
    }
    void TearDown() override {
        SetFileAttributesA(UninstallInfoPath, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(UninstallInfoPath);
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, wintest::RunOnce, TestTitle);
        SetWizardBitmap("");
        Title[0] = WizardStampValue[0] = '\0';
        PackageTest::TearDown();
    }
    void Info(const std::string& text) { SetFileBytes(InstallInfoFile, text); }

    // Writes the file from a log with a folder and two source files, then ends the installation's log.
    void WriteInstalled() {
        Info("[Uninstall]\r\nCPLUninstallName=\r\nUninstallSilentToolPath={InstallDir}\\tool.exe\r\n");
        LogPath(PathKind::Folder, InstallDir);
        LogSourceFile((std::string(InstallDir) + "\\a.txt").c_str(), 0);
        LogSourceFile((std::string(InstallDir) + "\\b.txt").c_str(), 1);
        ASSERT_EQ(WriteUninstallInfo(), 1);
        FlushSettings(InstallLogFile);
        log_ = FileBytes(InstallLogFile);
        testsupport::CloseScratchLog();
        SetWizardBitmap("");
    }
    // Reads the file as the uninstall run does; the messages it showed.
    Strings Read(int expected) {
        testsupport::MessageBoxWatcher boxes;
        EXPECT_EQ(ReadUninstallInfo(), expected);
        boxes.Stop();
        return boxes.Texts();
    }
    Strings before_;
    std::string log_;
};

TEST_F(EndOfInstallTest, TheUninstallInformationComesBackAsTheUninstallRunsWorkingFiles) {
    WriteInstalled();
    EXPECT_TRUE(HiddenAndReadOnly());
    ASSERT_EQ(Read(1), Strings{});
    EXPECT_TRUE(HiddenAndReadOnly()) << "read as it is";
    EXPECT_EQ(FileBytes(InstallLogFile), log_);
    EXPECT_EQ(Setting(InstallLogFile, "UninstallSilentTool", "Path"), std::string(InstallDir) + "\\tool.exe");
    EXPECT_EQ(Setting(InstallLogFile, "UninstallSilentTool", "Arg"), "");
    EXPECT_EQ(LoggedEntries("Folder"), Strings{InstallDir});
    RewindFileList();
    EXPECT_EQ(LoggedEntries("SourceFile"),
              (Strings{std::string(InstallDir) + "\\a.txt", std::string(InstallDir) + "\\b.txt*"}));
    RemoveUninstallWorkFiles();
    EXPECT_EQ(WorkingFiles(), before_);
}

TEST_F(EndOfInstallTest, ADamagedFileIsRefusedWithNothingLeftAndOnlyTheBitmapMayBeLost) {
    WriteInstalled();
    SetFileAttributesA(UninstallInfoPath, FILE_ATTRIBUTE_NORMAL);
    const std::string whole = FileBytes(UninstallInfoPath);
    using Case = std::tuple<const char*, std::string, int, const char*>;
    std::string badBitmap = whole;
    badBitmap[badBitmap.size() - 3] ^= 0x55;  // the bitmap is the last member
    const Case cases[] = {
        {"head only", whole.substr(0, 270), 0, EnglishText::UninstallInfoDamaged},
        {"cut in the archive header", whole.substr(0, 280), 0, EnglishText::UninstallInfoDamaged},
        {"one byte short", whole.substr(0, whole.size() - 1), 0, EnglishText::UninstallInfoDamaged},
        {"damaged bitmap", badBitmap, 1, EnglishText::UninstallBitmapDamaged},
    };
    for (const auto& [what, bytes, result, message] : cases) {
        SetFileBytes(UninstallInfoPath, bytes);
        EXPECT_EQ(Read(result), Strings{message}) << what;
        EXPECT_EQ(WizardBitmapBytes(), "") << what;
        if (result) RemoveUninstallWorkFiles();
        EXPECT_EQ(WorkingFiles(), before_) << what;
    }
}

TEST_F(EndOfInstallTest, WithoutAWayToUninstallNoFileIsWrittenAndWithoutABitmapNoneIsMissed) {
    Info("[Uninstall]\r\n");
    EXPECT_EQ(WriteUninstallInfo(), 1);
    EXPECT_FALSE(Exists(UninstallInfoPath));

    SetWizardBitmap("");
    Info("[Uninstall]\r\nUninstallShortcutName=\r\n");
    ASSERT_EQ(WriteUninstallInfo(), 1);
    testsupport::CloseScratchLog();
    EXPECT_EQ(Read(1), Strings{});
    EXPECT_EQ(WizardBitmapBytes(), "");
    RemoveUninstallWorkFiles();

    // A file that cannot be made leaves nothing either.
    lstrcpyA(UninstallInfoPath, "Q:\\Nowhere\\KPU0001.inf");
    ASSERT_TRUE(testsupport::OpenScratchLog(folder_.Root().string()));
    EXPECT_EQ(WriteUninstallInfo(), 0);
}

TEST_F(EndOfInstallTest, TheEndInstallInformationCarriesTheChoicesAndWithARestartTheBitmap) {
    Info(
        "[Shortcut]\r\nProgramGroupName=\r\n"
        "[Run]\r\nRunAppPath={InstallDir}\\app.exe\r\nRunAppArg=/x {InstallDir}\r\nAllowCancelRunApp=0\r\n"
        "[Info]\r\nPostInfoPath=http://example.invalid/\r\n");
    RestartNeeded = 1;
    ASSERT_EQ(WriteEndInstallInfo(), 1);
    const std::pair<const char*, const char*> keys[] = {{"General", "Title"},
                                                        {"General", "Language"},
                                                        {"General", "ProgramGroupFolder"},
                                                        {"Run", "RunAppPath"},
                                                        {"Run", "RunAppArg"},
                                                        {"Run", "AllowCancelRunApp"},
                                                        {"Info", "PostInfoPath"},
                                                        {"Info", "AllowCancelPostInfo"},
                                                        {"Window", "WizardStamp"}};
    Strings values;
    for (const auto& [section, key] : keys) values.push_back(Setting(EndInstallFile, section, key));
    EXPECT_EQ(values,
              (Strings{TestTitle, "1", ProgramMenuDir, std::string(InstallDir) + "\\app.exe",
                       std::string("/x ") + InstallDir, "0", "http://example.invalid/", "1", "Stamp"}));
    const std::string copy = Setting(EndInstallFile, "Window", "WizardBitmap");
    EXPECT_EQ(FileBytes(copy), Bitmap);
    RewindFileList();
    EXPECT_EQ(LoggedEntries("SourceFile"), (Strings{copy, EndInstallFile})) << "gone with an uninstallation";
    DeleteFileA(copy.c_str());
}

TEST_F(EndOfInstallTest, WithoutARestartNothingWaitsForOne) {
    Info("[Info]\r\nPostInfoPath=readme.txt\r\nAllowCancelPostInfo=0\r\n");
    ASSERT_EQ(WriteEndInstallInfo(), 1);
    EXPECT_EQ(Setting(EndInstallFile, "Info", "AllowCancelPostInfo"), "0");
    EXPECT_EQ(Setting(EndInstallFile, "Window", "WizardBitmap"), "(none)");
    EXPECT_EQ(Setting(EndInstallFile, "General", "ProgramGroupFolder"), "(none)");
    EXPECT_EQ(Setting(EndInstallFile, "Run", "RunAppPath"), "(none)");
    EXPECT_EQ(wintest::RegText(HKEY_LOCAL_MACHINE, wintest::RunOnce, TestTitle), "(none)");
    RewindFileList();
    EXPECT_EQ(LoggedEntries("SourceFile"), Strings{});
}

}  // namespace
