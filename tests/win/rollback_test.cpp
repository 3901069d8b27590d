// The rollback of an aborted file phase and the shared counts it lowers, against a real log and registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "files/file_facts.h"
#include "files/rollback.h"
#include "ui/progress_page.h"
#include "script/install_log.h"
#include "startup/working_files.h"
#include "tests/support/archive_fixture.h"
#include "tests/support/scratch_log.h"
#include "ui/background_window.h"
#include "common/private_messages.h"
#include "common/wizard_state.h"

namespace {

using testsupport::SetFileBytes;

const char SharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class SharedCountTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, SharedDlls, &key_), ERROR_SUCCESS);
        RegDeleteValueA(key_, path_.c_str());
    }
    void TearDown() override {
        RegDeleteValueA(key_, path_.c_str());
        RegCloseKey(key_);
    }
    void Set(DWORD type, const std::string& bytes) {
        RegSetValueExA(key_, path_.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
    }
    // "type:bytes", or "none".
    std::string Get() {
        char data[64] = {};
        DWORD type = 0, size = sizeof data;
        if (RegQueryValueExA(key_, path_.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS)
            return "none";
        return std::to_string(type) + ":" + std::string(data, size);
    }
    static std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

    HKEY key_ = nullptr;
    std::string path_ = "C:\\KelpackRollbackTest\\shared.dll";
};

TEST_F(SharedCountTest, CountsGoDownInTheirOwnTypeAndOneFreesTheFile) {
    EXPECT_EQ(DecrementSharedCount(path_.c_str()), 0);  // no value
    EXPECT_EQ(Get(), "none");

    Set(REG_DWORD, Dword(3));
    EXPECT_EQ(DecrementSharedCount(path_.c_str()), 0);
    EXPECT_EQ(Get(), "4:" + Dword(2));
    EXPECT_EQ(DecrementSharedCount(path_.c_str()), 0);
    EXPECT_EQ(DecrementSharedCount(path_.c_str()), 1);
    EXPECT_EQ(Get(), "none");

    Set(REG_SZ, std::string("12", 3));
    EXPECT_EQ(DecrementSharedCount(path_.c_str()), 0);
    EXPECT_EQ(Get(), "1:" + std::string("11", 3));

    Set(REG_BINARY, "\x05\x01");
    EXPECT_EQ(DecrementSharedCount(path_.c_str()), 0);
    EXPECT_EQ(Get(), "3:" + Dword(0x0104));
}

TEST_F(SharedCountTest, UnreadableCountsNeverFreeAndZeroIsLeftAlone) {
    Set(REG_BINARY, "12345");  // too long for a count
    EXPECT_EQ(DecrementSharedCount(path_.c_str()), 0);
    EXPECT_EQ(Get(), "4:" + Dword(1));

    Set(REG_MULTI_SZ, std::string("1\0", 3));
    EXPECT_EQ(DecrementSharedCount(path_.c_str()), 0);
    EXPECT_EQ(Get(), "4:" + Dword(1));

    Set(REG_DWORD, Dword(0));
    EXPECT_EQ(DecrementSharedCount(path_.c_str()), 0);
    EXPECT_EQ(Get(), "4:" + Dword(0));
}

class RollbackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        ASSERT_TRUE(testsupport::OpenScratchLog(temp));
        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, SharedDlls, &shared_), ERROR_SUCCESS);
    }
    void TearDown() override {
        testsupport::CloseScratchLog();
        RegCloseKey(shared_);
    }
    void SetCount(const std::string& path, DWORD count) {
        RegSetValueExA(shared_, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                       sizeof count);
    }
    bool HasCount(const std::string& path) {
        return RegQueryValueExA(shared_, path.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }

    testsupport::ScratchFolder scratch_;
    HKEY shared_ = nullptr;
};

TEST_F(RollbackTest, InstalledFilesAndFoldersGoReplacedFilesStay) {
    // The folder page created app and app\sub; the file phase filled them.
    const std::string app = scratch_.Path("app"), sub = scratch_.Path("app\\sub");
    CreateDirectoryA(app.c_str(), nullptr);
    CreateDirectoryA(sub.c_str(), nullptr);
    LogItem("Folder", nullptr, app.c_str());
    LogItem("Folder", nullptr, sub.c_str());
    const std::string copied = sub + "\\one.exe", replaced = app + "\\two.dll";
    SetFileBytes(copied, "x");
    SetFileBytes(replaced, "x");
    LogItem("SourceFile", nullptr, copied.c_str());
    LogItem("SourceFile", nullptr, (replaced + "*").c_str());
    LogItem("SourceFile", nullptr, "relative.txt");
    LogItem("SourceFile", nullptr, (app + "\\never-copied.txt").c_str());

    const std::string misc = scratch_.Path("misc.dll"), kept = scratch_.Path("kept.dll");
    const std::string sharedMisc = scratch_.Path("shared.dll");
    for (const std::string& path : {misc, kept, sharedMisc}) SetFileBytes(path, "x");
    SetCount(sharedMisc, 1);
    SetCount(kept, 3);
    LogItem("MiscFile", nullptr, (misc + ",2,0,0,0,0").c_str());
    LogItem("MiscFile", nullptr, (kept + ",0,1,0,0,1").c_str());
    LogItem("MiscFile", nullptr, (" " + sharedMisc + " ,0,1,0,0,0").c_str());
    LogItem("MiscFile", nullptr, "misc-relative.dll,0,1,0,0,0");
    LogItem("MiscFile", nullptr, "");

    // The rollback reads the counters from the log, not from the writer's memory; the file phase has
    // written them all by its end.
    WriteSourceFileCount();
    ResetLogCounters();
    RestartNeeded = 1;
    BackgroundWindow = nullptr;
    RollbackWorker(nullptr);

    EXPECT_FALSE(Exists(copied));
    EXPECT_TRUE(Exists(replaced));
    EXPECT_FALSE(Exists(misc));
    EXPECT_TRUE(Exists(kept));
    EXPECT_FALSE(Exists(sharedMisc));
    EXPECT_FALSE(HasCount(sharedMisc));
    DWORD count = 0, size = sizeof count;
    RegQueryValueExA(shared_, kept.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size);
    EXPECT_EQ(count, 2u);
    RegDeleteValueA(shared_, kept.c_str());
    // The inner folder was empty and went first; the outer one still holds the replaced file.
    EXPECT_FALSE(Exists(sub));
    EXPECT_TRUE(Exists(app));
    EXPECT_EQ(RestartNeeded, 0);

    // With no background window the report lands in this thread's queue.
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(UM_ROLLBACK_DONE));
}

TEST_F(RollbackTest, EmptyFoldersAreRemovedInnermostFirst) {
    const std::string outer = scratch_.Path("x"), middle = outer + "\\y", inner = middle + "\\z";
    for (const std::string& folder : {outer, middle, inner}) {
        CreateDirectoryA(folder.c_str(), nullptr);
        LogItem("Folder", nullptr, folder.c_str());
    }
    ResetLogCounters();
    RollBackLoggedItems();
    EXPECT_FALSE(Exists(outer));
}

}  // namespace
