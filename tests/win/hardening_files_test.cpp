// What a failure must not cost: the module copy every uninstall command runs, and the registration of
// servers that need their own folder or COM.
#include "archive/format.h"
#include "common/paths.h"
#include "items/server_registration.h"
#include "startup/modes.h"
#include "tests/win/win_test.h"

namespace {

// Each row: whether a copy was there, whether it is in use (open without delete sharing, as a running
// program is), and the package the module is copied from (shorter than the module when cut, none when
// missing). A copy is replaced only by a whole module; no new file stays beside it.
TEST(ModuleCopy, IsReplacedOnlyByAWholeModule) {
    struct Row {
        const char* what;
        bool existing, inUse;
        long packageSize;  // -1: no package
        int result;
        bool refreshed;
    };
    const long whole = static_cast<long>(ModuleSize) + 100;
    const Row rows[] = {
        {"first copy", false, false, whole, 1, true},
        {"copy rewritten", true, false, whole, 1, true},
        {"package cut short", true, false, static_cast<long>(ModuleSize) - 1, 0, false},
        {"package missing", true, false, -1, 0, false},
        {"copy in use", true, true, whole, 1, false},
    };
    const std::string image = testsupport::SampleNoise(whole, 7);
    char savedPackage[sizeof PackagePath];
    lstrcpynA(savedPackage, PackagePath, sizeof savedPackage);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        testsupport::ScratchFolder folder;
        const std::string package = folder.Path("SETUP.EXE"), copy = folder.Path("KPinst27.exe");
        if (row.packageSize >= 0) SetFileBytes(package, image.substr(0, row.packageSize));
        lstrcpynA(PackagePath, package.c_str(), sizeof PackagePath);
        if (row.existing) SetFileBytes(copy, "old module");
        HANDLE holder = row.inUse ? CreateFileA(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                OPEN_EXISTING, 0, nullptr)
                                  : INVALID_HANDLE_VALUE;
        EXPECT_EQ(RefreshModuleCopy(copy.c_str()), row.result);
        if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
        EXPECT_EQ(FileBytes(copy), row.refreshed ? image.substr(0, ModuleSize) : "old module");
        EXPECT_EQ(wintest::Entries(folder.Root().string(), "_kp*"), Strings{});
    }
    lstrcpynA(PackagePath, savedPackage, sizeof PackagePath);
}

// Each row: a fixture server and a DLL it needs beside it. Registered from a thread that has no COM,
// in a folder the loader would not search for the server's own DLLs, as the file phase does.
TEST(ServerLoading, AServerFindsItsOwnFolderAndCom) {
    struct Row {
        const char* server;
        const char* helper;
    };
    const Row rows[] = {
        {"helped_server.dll", "apart\\server_helper.dll"},
        {"apartment_server.dll", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.server);
        testsupport::ScratchFolder folder;
        const std::string server = folder.Path(row.server);
        ASSERT_TRUE(CopyFileA(testsupport::Beside(row.server).c_str(), server.c_str(), FALSE));
        if (row.helper != nullptr) {
            ASSERT_TRUE(CopyFileA(testsupport::Beside(row.helper).c_str(),
                                  folder.Path(FileNameOf(row.helper)).c_str(), FALSE));
        }
        testsupport::MessageBoxWatcher boxes;
        int registered = 0, recorded = 0, unregistered = 0;
        std::thread([&] {
            registered = RegisterServerFile(server.c_str());
            recorded = testsupport::ServerRecord(server) == "registered";
            unregistered = UnregisterServerFile(server.c_str());
        }).join();
        boxes.Stop();
        EXPECT_EQ(registered, 1);
        EXPECT_EQ(recorded, 1);
        EXPECT_EQ(unregistered, 1);
        EXPECT_EQ(testsupport::ServerRecord(server), "");
        EXPECT_EQ(boxes.Texts(), Strings{});
    }
}

}  // namespace
