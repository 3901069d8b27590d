// File-system routines against the real API: folder creation and removal, tree deletion.
#include "common/file_system.h"
#include "tests/win/win_test.h"

namespace {

using wintest::WindowsFolder;

// A scratch folder; the tests may stand in it, so they leave it before it goes.
class FileSystemTest : public ::testing::Test {
  protected:
    void TearDown() override { SetCurrentDirectoryA(WindowsFolder().c_str()); }
    std::string Under(const char* relative) const { return folder_.Path(relative); }

    testsupport::ScratchFolder folder_;
    const std::string root_ = folder_.Root().string();
};

// (Outer levels first, each logged: ProposedFolder.CreatedFoldersAreLoggedOuterFirst.)
TEST_F(FileSystemTest, CreateFolderPathTakesBlanksAndStopsAtALevelThatCannotBeMade) {
    // The level made, "" when none.
    auto next = [](const char* path) {
        const char* made = CreateFolderPath(path);
        return std::string(made ? made : "");
    };
    const std::string inner = Under("one\\two");
    EXPECT_EQ(next((" " + inner + " ").c_str()), Under("one"));
    EXPECT_EQ(next(nullptr), inner);
    EXPECT_EQ(next(nullptr), "");
    EXPECT_EQ(next(inner.c_str()), "");  // everything there already: done at once
    // A level that cannot be made stops it.
    const std::string file = Under("file.txt");
    SetFileBytes(file, "x");
    EXPECT_EQ(next((file + "\\sub\\deeper").c_str()), "");
    EXPECT_EQ(next(nullptr), "");
    EXPECT_EQ(FolderExists((file + "\\sub").c_str()), 0);
}

TEST_F(FileSystemTest, RemoveFolderRemovesOnlyEmptyAbsoluteFolders) {
    const std::string empty = Under("empty"), full = Under("full");
    ASSERT_TRUE(CreateDirectoryA(empty.c_str(), nullptr) && CreateDirectoryA(full.c_str(), nullptr));
    SetFileBytes(full + "\\file.txt", "x");
    // Standing in the folder must not keep it from being removed.
    ASSERT_TRUE(SetCurrentDirectoryA(empty.c_str()));
    EXPECT_EQ(RemoveFolder(empty.c_str()), 1);
    EXPECT_EQ(FolderExists(empty.c_str()), 0);
    EXPECT_EQ(RemoveFolder(full.c_str()), 0);
    EXPECT_EQ(FolderExists(full.c_str()), 1);
    EXPECT_EQ(RemoveFolder(Under("missing").c_str()), 1);
    EXPECT_EQ(RemoveFolder(nullptr), 1);

    // Relative paths are left alone.
    ASSERT_TRUE(SetCurrentDirectoryA(root_.c_str()));
    ASSERT_TRUE(CreateDirectoryA("relative", nullptr));
    EXPECT_EQ(RemoveFolder("relative"), 1);
    EXPECT_EQ(RemoveFolder("\\relative"), 1);
    EXPECT_EQ(FolderExists(Under("relative").c_str()), 1);
}

}  // namespace

// A link inside the tree (or the tree itself a link) goes as a link: what it points to stays whole.
TEST_F(FileSystemTest, DeletingATreeNeverFollowsALink) {
    using CreateLink = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    auto createLink = reinterpret_cast<CreateLink>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
    const std::string outside = Under("outside"), tree = Under("tree");
    CreateDirectoryA(outside.c_str(), nullptr);
    SetFileBytes(outside + "\\precious.txt", "keep");
    CreateDirectoryA(tree.c_str(), nullptr);
    SetFileBytes(tree + "\\mine.txt", "x");
    const DWORD folderLink = 1;  // SYMBOLIC_LINK_FLAG_DIRECTORY
    if (createLink == nullptr || !createLink((tree + "\\link").c_str(), outside.c_str(), folderLink) ||
        !createLink(Under("treelink").c_str(), outside.c_str(), folderLink))
        GTEST_SKIP() << "no symbolic links here";

    DeleteFolderTree(tree.c_str());
    EXPECT_EQ(FolderExists(tree.c_str()), 0);
    DeleteFolderTree(Under("treelink").c_str());
    EXPECT_EQ(GetFileAttributesA(Under("treelink").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(FileExists((outside + "\\precious.txt").c_str()), 1);
}
