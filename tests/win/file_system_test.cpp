// File-system routines against the real API: attributes, folder creation and removal, exact I/O.
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

// The quiet calls give the caller's error mode back.
TEST_F(FileSystemTest, ExistenceAndQuietAttributesTellFilesFromFolders) {
    const std::string file = Under("file.txt");
    SetFileBytes(file, "x");
    EXPECT_EQ(FileExists(file.c_str()), 1);
    EXPECT_EQ(FolderExists(file.c_str()), 0);
    EXPECT_EQ(FolderExists(root_.c_str()), 1);
    EXPECT_EQ(FolderExists((root_ + "\\").c_str()), 1);
    EXPECT_EQ(FolderExists((" " + root_ + "\\ ").c_str()), 1);
    EXPECT_EQ(FileExists(root_.c_str()), 0);
    EXPECT_EQ(FileExists(Under("missing.txt").c_str()), 0);
    EXPECT_EQ(FolderExists(Under("missing").c_str()), 0);
    EXPECT_EQ(FolderExists(WindowsFolder().substr(0, 3).c_str()), 1) << "drive root";

    const UINT original = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(SetAttributesQuiet(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 1);
    const DWORD attributes = GetAttributesQuiet(file.c_str());
    EXPECT_EQ(SetAttributesQuiet(Under("missing.txt").c_str(), FILE_ATTRIBUTE_NORMAL), 0);
    EXPECT_EQ(GetAttributesQuiet(Under("missing").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(SetErrorMode(original), static_cast<UINT>(SEM_NOOPENFILEERRORBOX));
    EXPECT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
    SetAttributesQuiet(file.c_str(), FILE_ATTRIBUTE_NORMAL);  // so that the folder can go
}

TEST_F(FileSystemTest, CreateFolderPathReportsEachCreatedLevelOuterFirst) {
    // The level made, "" when none.
    auto next = [](const char* path) {
        const char* made = CreateFolderPath(path);
        return std::string(made ? made : "");
    };
    const std::string outer = Under("one"), inner = Under("one\\two"), three = inner + "\\three";
    EXPECT_EQ(next((inner + "\\").c_str()), outer);
    EXPECT_EQ(FolderExists(outer.c_str()), 1);
    EXPECT_EQ(FolderExists(inner.c_str()), 0);
    EXPECT_EQ(next(nullptr), inner);
    EXPECT_EQ(FolderExists(inner.c_str()), 1);
    EXPECT_EQ(next(nullptr), "");
    EXPECT_EQ(next(nullptr), "");
    // Everything there already: done at once.
    EXPECT_EQ(next(inner.c_str()), "");
    EXPECT_EQ(next(root_.c_str()), "");
    // A missing level below existing ones, path given with blanks and no trailing backslash.
    EXPECT_EQ(next((" " + three + " ").c_str()), three);
    EXPECT_EQ(next(nullptr), "");
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
    EXPECT_EQ(RemoveFolder("  "), 1);
    EXPECT_EQ(RemoveFolder(nullptr), 1);

    // Relative paths are left alone.
    ASSERT_TRUE(SetCurrentDirectoryA(root_.c_str()));
    ASSERT_TRUE(CreateDirectoryA("relative", nullptr));
    EXPECT_EQ(RemoveFolder("relative"), 1);
    EXPECT_EQ(RemoveFolder("\\relative"), 1);
    EXPECT_EQ(FolderExists(Under("relative").c_str()), 1);
}

TEST_F(FileSystemTest, ExactReadsAndWritesMoveAllBytesOrFail) {
    const std::string path = Under("data.bin");
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WriteExact(file, "0123456789", 10), 1);
    char buffer[20] = {};
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    EXPECT_EQ(ReadExact(file, buffer, 4), 1);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(ReadExact(file, buffer, 10), 0);  // only 6 bytes left
    EXPECT_EQ(ReadExact(file, buffer, 1), 0);   // at the end
    CloseHandle(file);

    file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WriteExact(file, "0123456789", 10), 0);
    CloseHandle(file);
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
