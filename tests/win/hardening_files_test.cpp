// What a failure must not cost: the module copy uninstall commands run; servers needing their folder or COM.
#include "archive/format.h"
#include "common/paths.h"
#include "items/server_registration.h"
#include "startup/modes.h"
#include "tests/win/win_test.h"

namespace {

// Rows: a copy there, in use, the package's size (-1: missing). Only a whole module replaces the copy.
TEST(ModuleCopy, IsReplacedOnlyByAWholeModule) {
    using Row = std::tuple<const char*, bool, bool, long, int, bool>;
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
    for (const auto& [what, existing, inUse, packageSize, result, refreshed] : rows) {
        SCOPED_TRACE(what);
        testsupport::ScratchFolder folder;
        const std::string package = folder.Path("SETUP.EXE"), copy = folder.Path("KPinst27.exe");
        if (packageSize >= 0) SetFileBytes(package, image.substr(0, packageSize));
        lstrcpynA(PackagePath, package.c_str(), sizeof PackagePath);
        if (existing) SetFileBytes(copy, "old module");
        HANDLE holder = inUse ? CreateFileA(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr)
                              : INVALID_HANDLE_VALUE;
        EXPECT_EQ(RefreshModuleCopy(copy.c_str()), result);
        if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
        EXPECT_EQ(FileBytes(copy), refreshed ? image.substr(0, ModuleSize) : "old module");
        EXPECT_EQ(wintest::Entries(folder.Root().string(), "_kp*"), Strings{});
    }
    lstrcpynA(PackagePath, savedPackage, sizeof PackagePath);
}

// Each row: a server and a DLL it needs beside it, registered as the file phase does, without COM.
TEST(ServerLoading, AServerFindsItsOwnFolderAndCom) {
    const std::pair<const char*, const char*> rows[] = {{"helped_server.dll", "apart\\server_helper.dll"},
                                                        {"apartment_server.dll", nullptr}};
    for (const auto& [server, helper] : rows) {
        SCOPED_TRACE(server);
        testsupport::ScratchFolder folder;
        const std::string path = folder.Path(server);
        ASSERT_TRUE(CopyFileA(testsupport::Beside(server).c_str(), path.c_str(), FALSE));
        if (helper != nullptr) {
            ASSERT_TRUE(CopyFileA(testsupport::Beside(helper).c_str(),
                                  folder.Path(FileNameOf(helper)).c_str(), FALSE));
        }
        testsupport::MessageBoxWatcher boxes;
        int registered = 0, recorded = 0, unregistered = 0;
        std::thread([&] {
            registered = RegisterServerFile(path.c_str());
            recorded = testsupport::ServerRecord(path) == "registered";
            unregistered = UnregisterServerFile(path.c_str());
        }).join();
        boxes.Stop();
        EXPECT_EQ(registered, 1);
        EXPECT_EQ(recorded, 1);
        EXPECT_EQ(unregistered, 1);
        EXPECT_EQ(testsupport::ServerRecord(path), "");
        EXPECT_EQ(boxes.Texts(), Strings{});
    }
}

}  // namespace
