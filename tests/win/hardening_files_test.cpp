// What a failure must not cost: the file a damaged member was to replace, the module copy every
// uninstall command runs, and the registration of servers that need their own folder or COM.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "archive/dos_time.h"
#include "archive/format.h"
#include "common/paths.h"
#include "common/process_state.h"
#include "common/wizard_state.h"
#include "files/extract_member.h"
#include "items/server_registration.h"
#include "startup/modes.h"
#include "tests/support/archive_fixture.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/scratch_log.h"
#include "tests/support/server_fixture.h"
#include "tests/support/win_fixture.h"

namespace {

using testsupport::FileBytes;
using testsupport::SetFileBytes;

// The "_kp" files the routines write beside their targets, left in folder.
std::vector<std::string> Temporaries(const testsupport::ScratchFolder& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder.Path("_kp*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

const char SessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";

std::string Lower(std::string text) {
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Member data of "Src\a.bin" starts after the archive header, the member header and the name.
constexpr size_t DataOfFirstMember = 17 + 29 + 9;

using ReplaceTest = testsupport::PackageTest;

// Each row: the byte of the package flipped (0: none) and the result. The file that was there keeps
// its bytes unless the member is whole; no copy stays beside it and nothing is logged in its name.
TEST_F(ReplaceTest, AnExistingFileIsReplacedOnlyByAWholeMember) {
    struct Row {
        const char* what;
        size_t damageAt;
        long result;
    };
    const Row rows[] = {
        {"whole", 0, 30000},
        {"stored CRC-32 damaged", 17 + 12, -1},
        {"data damaged", DataOfFirstMember + 100, -1},
    };
    const uint32_t dosTime = (44u << 25 | 3u << 21 | 15u << 16) | (13u << 11 | 45u << 5 | 10u);
    const std::string data = testsupport::SampleText(30000, 5);
    const std::string target = folder_.Path("a.bin");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SetFileBytes(target, "old");
        OpenPackage({{"Src\\a.bin", data, dosTime}}, 0xFFFFFFFF, row.damageAt);
        EXPECT_EQ(ExtractMemberToFile(target.c_str()), row.result);
        EXPECT_EQ(FileBytes(target), row.result < 0 ? "old" : data);
        EXPECT_EQ(Temporaries(folder_), std::vector<std::string>{});
        EXPECT_EQ(testsupport::LoggedEntries("SourceFile"), std::vector<std::string>{});
        EXPECT_EQ(RestartNeeded, 0);
        if (row.result < 0) continue;
        // The member time is the final file's, not only the copy's it was written to.
        WIN32_FILE_ATTRIBUTE_DATA facts = {};
        ASSERT_TRUE(GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &facts));
        FILETIME local = {}, expected = DosTimeToFileTime(dosTime);
        FileTimeToLocalFileTime(&facts.ftLastWriteTime, &local);
        EXPECT_EQ(CompareFileTime(&local, &expected), 0);
    }
}

// Open to others for reading and writing, but not for deleting: it cannot be moved over, so the whole
// copy waits beside it for the restart, logged under its own name.
TEST_F(ReplaceTest, ATargetThatCannotBeMovedOverIsReplacedAtRestart) {
    const std::string target = folder_.Path("shared.dat");
    SetFileBytes(target, "old");
    OpenPackage({{"Src\\a.bin", "new contents"}});
    HANDLE holder = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ExtractMemberToFile(target.c_str()), 12);
    CloseHandle(holder);

    EXPECT_EQ(FileBytes(target), "old");
    const std::vector<std::string> logged = testsupport::LoggedEntries("SourceFile");
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(FileBytes(logged[0]), "new contents");
    EXPECT_EQ(Temporaries(folder_).size(), 1u);
    EXPECT_EQ(RestartNeeded, 1);  // Wine runs us as administrator
    char moves[65536] = {};
    DWORD size = sizeof moves - 2;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, SessionManager, "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ,
                     nullptr, moves, &size) != ERROR_SUCCESS)
        size = 0;
    const std::string pending = Lower(std::string(moves, size));
    for (const std::string& path : {logged[0], target})
        EXPECT_NE(pending.find(Lower(path)), std::string::npos);
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, SessionManager, "PendingFileRenameOperations");
}

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
        EXPECT_EQ(Temporaries(folder), std::vector<std::string>{});
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
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{});
    }
}

}  // namespace
