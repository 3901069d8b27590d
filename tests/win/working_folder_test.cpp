// The guarded folder of an elevated run: new, held while the run lasts, gone at the end.
#include <algorithm>
#include <string>

#include "common/platform.h"
#include "common/working_files_state.h"
#include "script/path_variables.h"
#include "tests/win/win_test.h"

namespace {

using wintest::Entries;

std::string FolderPart(const std::string& path) { return path.substr(0, path.rfind('\\')); }
std::string NamePart(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

// "_kp", then least to most hex digits, then the suffix (any letter case).
bool IsHexName(const std::string& name, size_t least, size_t most, const std::string& suffix) {
    if (name.size() < 3 + least + suffix.size() || name.compare(0, 3, "_kp") != 0 ||
        lstrcmpiA(name.substr(name.size() - suffix.size()).c_str(), suffix.c_str()) != 0)
        return false;
    const std::string digits = name.substr(3, name.size() - 3 - suffix.size());
    return digits.size() <= most &&
           std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return isxdigit(c) != 0; });
}

// Each test runs with TEMP pointing into a scratch folder and gives the run's names back as they were.
class WorkingFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!IsNtPlatform() || !HasAdminRights()) GTEST_SKIP() << "the folder is made for elevated runs only";
        for (size_t i = 0; i < std::size(names_); ++i) lstrcpynA(saved_[i], names_[i], 260);
        CreateDirectoryA(temp_.c_str(), nullptr);
        SetEnvironmentVariableA("TEMP", temp_.c_str());
        lstrcpyA(TempFolder, temp_.c_str());
        active_ = true;
    }
    void TearDown() override {
        if (!active_) return;
        RemoveGuardedFolder();
        if (FileListHandle != INVALID_HANDLE_VALUE) CloseHandle(FileListHandle);
        FileListHandle = INVALID_HANDLE_VALUE;
        for (size_t i = 0; i < std::size(names_); ++i) lstrcpyA(names_[i], saved_[i]);
    }
    // Prepares the run as install mode does (a failure's box answered); the guarded folder's path.
    std::string Prepare() {
        testsupport::MessageBoxWatcher boxes;
        EXPECT_EQ(PrepareInstallWorkFiles(), 1);
        boxes.Stop();
        EXPECT_EQ(boxes.Texts(), Strings{});
        return GuardedFolder;
    }

    testsupport::ScratchFolder scratch_;
    const std::string temp_ = scratch_.Path("temp");

  private:
    char* const names_[8] = {TempFolder,   WorkFolder,     InstallInfoFile, InstallLogFile,
                             FileListFile, EndInstallFile, GuardedFolder,   HandledListFile};
    char saved_[8][260] = {};
    wintest::SavedVariable savedTemp_{"TEMP"};
    bool active_ = false;
};

TEST_F(WorkingFolder, TheWorkingFilesLiveInANewFolderHeldUntilTheEnd) {
    const std::string folder = Prepare();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(FolderPart(folder), temp_);
    EXPECT_TRUE(IsHexName(NamePart(folder), 8, 8, "")) << folder;

    CloseHandle(CreateFileA(InstallInfoFile, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    for (const char* path : {InstallInfoFile, InstallLogFile, FileListFile, EndInstallFile, WorkFolder}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(FolderPart(path), folder);
        // The system's temporary names carry their number in hex without leading zeros.
        EXPECT_TRUE(IsHexName(NamePart(path), 1, 4, ".TMP")) << path;
    }

    // While the run holds it, nobody can move it aside to put another folder under its name.
    EXPECT_FALSE(MoveFileA(folder.c_str(), (temp_ + "\\aside").c_str()));
    EXPECT_EQ(Entries(temp_), Strings{NamePart(folder)});

    RemoveInstallWorkFiles();
    EXPECT_EQ(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GuardedFolder[0], 0);
    EXPECT_EQ(Entries(temp_), Strings{});
}

TEST_F(WorkingFolder, ANameThatExistsIsPassedOverAndWhatHoldsItIsLeftAlone) {
    const DWORD seed = 0x4B500000u ^ GetCurrentProcessId();
    ASSERT_EQ(MakeGuardedFolder(seed), 1);
    const std::string first = GuardedFolder;
    RemoveGuardedFolder();
    ASSERT_EQ(GetFileAttributesA(first.c_str()), INVALID_FILE_ATTRIBUTES);

    // Planted by the user's own programs under the name the same seed gives first.
    for (const bool plantedFolder : {true, false}) {
        SCOPED_TRACE(plantedFolder ? "a folder" : "a file");
        if (plantedFolder) {
            ASSERT_TRUE(CreateDirectoryA(first.c_str(), nullptr));
            CloseHandle(CreateFileA((first + "\\_kp1234.TMP").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_READONLY, nullptr));
        } else {
            CloseHandle(CreateFileA(first.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        }
        ASSERT_EQ(MakeGuardedFolder(seed), 1);
        const std::string made = GuardedFolder;
        EXPECT_NE(made, first);
        EXPECT_EQ(FolderPart(made), temp_);
        EXPECT_EQ(Entries(made), Strings{});
        char name[MAX_PATH];
        ASSERT_NE(MakeTempName(name), 0);
        EXPECT_EQ(FolderPart(name), made);
        DeleteFileA(name);

        RemoveGuardedFolder();
        EXPECT_EQ(GetFileAttributesA(made.c_str()), INVALID_FILE_ATTRIBUTES);
        const DWORD left = GetFileAttributesA(first.c_str());
        ASSERT_NE(left, INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ((left & FILE_ATTRIBUTE_DIRECTORY) != 0, plantedFolder);
        if (plantedFolder) {
            EXPECT_EQ(Entries(first), Strings{"_kp1234.TMP"});
            SetFileAttributesA((first + "\\_kp1234.TMP").c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((first + "\\_kp1234.TMP").c_str());
            RemoveDirectoryA(first.c_str());
        } else {
            DeleteFileA(first.c_str());
        }
    }
}

}  // namespace
