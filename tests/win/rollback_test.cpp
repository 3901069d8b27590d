// The rollback of an aborted file phase, against a real log and registry.
#include "common/private_messages.h"
#include "files/rollback.h"
#include "tests/win/win_test.h"
#include "ui/background_window.h"
#include "ui/progress_page.h"

namespace {

using wintest::SharedCount;

// The log in a scratch folder, and the shared counts under the real key.
class RollbackTest : public testsupport::PackageTest {};

TEST_F(RollbackTest, InstalledFilesAndFoldersGoReplacedFilesStay) {
    // The folder page created app and app\sub; the file phase filled them.
    const std::string app = folder_.Path("app"), sub = folder_.Path("app\\sub");
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

    const std::string misc = folder_.Path("misc.dll"), kept = folder_.Path("kept.dll");
    const std::string sharedMisc = folder_.Path("shared.dll"), leftInPlace = folder_.Path("theirs.dll");
    for (const std::string& path : {misc, kept, sharedMisc, leftInPlace}) SetFileBytes(path, "x");
    SetSharedCount(sharedMisc, 1);
    SetSharedCount(kept, 3);
    SetSharedCount(leftInPlace, 2);
    LogItem("MiscFile", nullptr, (misc + ",1,0,0,0,0").c_str());
    // Left in place (uninstall mode 2, not replaced): someone else's file, only our count is undone.
    LogItem("MiscFile", nullptr, (leftInPlace + ",2,1,1,0,0").c_str());
    LogItem("MiscFile", nullptr, (kept + ",0,1,0,0,1").c_str());
    LogItem("MiscFile", nullptr, (" " + sharedMisc + " ,0,1,0,0,0").c_str());
    LogItem("MiscFile", nullptr, "misc-relative.dll,0,1,0,0,0");
    LogItem("MiscFile", nullptr, "");

    // The rollback reads the counters from the log, as the file phase has written them by its end.
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
    EXPECT_EQ(SharedCount(sharedMisc), -1);
    EXPECT_EQ(SharedCount(kept), 2);
    EXPECT_TRUE(Exists(leftInPlace));
    EXPECT_EQ(SharedCount(leftInPlace), 1);
    // The inner folder was empty and went first; the outer one still holds the replaced file.
    EXPECT_FALSE(Exists(sub));
    EXPECT_TRUE(Exists(app));
    EXPECT_EQ(RestartNeeded, 0);

    // With no background window the report lands in this thread's queue.
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(UM_ROLLBACK_DONE));
}

}  // namespace
