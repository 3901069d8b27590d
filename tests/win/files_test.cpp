// One member installed, version order, shared counts and the restart operations, against the real API.
#include "archive/archive_reader.h"
#include "archive/dos_time.h"
#include "common/platform.h"
#include "files/extract_member.h"
#include "common/file_system.h"
#include "files/file_facts.h"
#include "files/wininit.h"
#include "tests/win/win_test.h"

namespace {

using namespace wintest;

const uint32_t DosTime = (44u << 25 | 3u << 21 | 15u << 16) | (13u << 11 | 45u << 5 | 10u);  // 2024-03-15
constexpr size_t StoredCrc = 17 + 12;
constexpr size_t MemberData = 17 + 29 + 9;  // of "Src\a.bin": after the archive and member headers

class ExtractTest : public testsupport::PackageTest {};

// Rows: a file there, the byte flipped (0: none). Only a whole member replaces it; nothing stays beside it.
TEST_F(ExtractTest, OnlyAWholeMemberIsWrittenWithItsTimeAndProgress) {
    const std::tuple<const char*, bool, size_t> rows[] = {
        {"new file", false, 0},
        {"replaced file", true, 0},
        {"stored CRC-32 damaged", false, StoredCrc},
        {"data damaged, file there", true, MemberData + 100}};
    const std::string data = testsupport::SampleNoise(40000, 1), target = folder_.Path("a.bin");
    for (const auto& [what, existing, damageAt] : rows) {
        SCOPED_TRACE(what);
        FreshLog();
        DeleteFileA(target.c_str());
        if (existing) SetFileBytes(target, "old");
        OpenPackage({{"Src\\a.bin", data, DosTime}}, 0xFFFFFFFF, damageAt);
        ClearReports();
        const bool whole = damageAt == 0;
        EXPECT_EQ(ExtractMemberToFile(target.c_str()), whole ? 40000 : -1);
        if (whole) {
            EXPECT_EQ(TakeReportedProgress(), 40000u);
            EXPECT_TRUE(FileBytes(target) == data);
            EXPECT_TRUE(WrittenAt(target, DosTimeToFileTime(DosTime)));  // the final file's, not the copy's
        } else {
            EXPECT_EQ(Exists(target) ? FileBytes(target) : "(missing)", existing ? "old" : "(missing)");
        }
        EXPECT_EQ(Entries(folder_.Root().string(), "_kp*"), Strings{});
        EXPECT_EQ(LoggedEntries("SourceFile"), Strings{});
        EXPECT_EQ(RestartNeeded, 0);
    }
}

TEST_F(ExtractTest, AnEmptyMemberAndAMissingFolder) {
    OpenPackage({{"Src\\empty", "", DosTime}});
    const std::string empty = folder_.Path("empty");
    EXPECT_EQ(ExtractMemberToFile(empty.c_str()), 0);
    EXPECT_TRUE(Exists(empty));
    EXPECT_TRUE(WrittenAt(empty, DosTimeToFileTime(DosTime)));
    // A folder that does not exist is another error than in use: nothing is written beside it.
    OpenPackage({{"Src\\b.txt", "b"}});
    EXPECT_EQ(ExtractMemberToFile(folder_.Path("missing\\b.txt").c_str()), -1);
    EXPECT_TRUE(LoggedEntries("SourceFile").empty());
}

// Rows: the target's sharing, the byte flipped. A whole copy waits for the restart; a damaged one goes.
TEST_F(ExtractTest, ATargetInUseIsReplacedAtRestart) {
    ASSERT_TRUE(IsNtPlatform());
    const std::tuple<const char*, DWORD, size_t> rows[] = {
        {"open to readers", FILE_SHARE_READ, 0},
        {"open to readers and writers", FILE_SHARE_READ | FILE_SHARE_WRITE, 0},
        {"member damaged", FILE_SHARE_READ, StoredCrc}};
    const std::string target = folder_.Path("busy.dll");
    for (const auto& [what, sharing, damageAt] : rows) {
        SCOPED_TRACE(what);
        FreshLog();
        SetFileBytes(target, "old");
        OpenPackage({{"Src\\a.bin", "new contents"}}, 0xFFFFFFFF, damageAt);
        HANDLE holder =
            CreateFileA(target.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        EXPECT_EQ(ExtractMemberToFile(target.c_str()), damageAt == 0 ? 12 : -1);
        CloseHandle(holder);

        EXPECT_EQ(FileBytes(target), "old");
        const Strings logged = LoggedEntries("SourceFile");
        ASSERT_EQ(logged.size(), 1u);
        if (damageAt == 0) {
            EXPECT_EQ(Lower(logged[0]).rfind(Lower(folder_.Path("_kp")), 0), 0u) << logged[0];
            EXPECT_EQ(Lower(logged[0].substr(logged[0].size() - 4)), ".tmp");
            EXPECT_EQ(FileBytes(logged[0]), "new contents");
            EXPECT_EQ(RestartNeeded, 1);  // Wine runs us as administrator
            EXPECT_NE(PendingMoves().find(Lower("|" + logged[0] + "|" + target + "|")), std::string::npos);
        } else {
            EXPECT_FALSE(Exists(logged[0]));
            EXPECT_EQ(RestartNeeded, 0);
            EXPECT_EQ(PendingMoves().find(Lower(target)), std::string::npos);
        }
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, SessionManager, "PendingFileRenameOperations");
    }
}

// (The order of whole versions: FilePhaseTest.MiscOverwriteModesCompareVersionsAndTimes.)
TEST(FileFacts, VersionOrder) {
    const VersionPair unknown = {0xFFFFFFFF, 0xFFFFFFFF}, lowUnknown = {0x00020000, 0xFFFFFFFF};
    const VersionPair v1 = {0x00010000, 5}, v1b = {0x00010000, 6}, v2 = {0x00020000, 0},
                      big = {0x80000000, 0};
    EXPECT_LT(CompareVersions(v1, v1b), 0);
    EXPECT_GT(CompareVersions(big, v2), 0);  // unsigned
    EXPECT_EQ(CompareVersions(unknown, v2), 0);
    EXPECT_EQ(CompareVersions(v1, lowUnknown), 0);
}

// Each row: the change, the count before (REG_NONE: none), whether the file exists, result, count after.
TEST(SharedCount, RaisedAndLoweredInTheTypeItWasStoredIn) {
    using Row =
        std::tuple<decltype(&DecrementSharedCount), DWORD, std::string, bool, int, DWORD, std::string>;
    auto dword = [](DWORD value) { return std::string(reinterpret_cast<const char*>(&value), 4); };
    // Raised as the file phase raises it: a file that exists was there before the installation.
    const auto up = +[](const char* path) { return IncrementSharedCount(path, FileExists(path)); };
    const auto down = DecrementSharedCount;
    const Row rows[] = {
        {up, REG_NONE, "", true, 1, REG_DWORD, dword(2)},  // an existing file without a count had a user
        {up, REG_NONE, "", false, 1, REG_DWORD, dword(1)},
        {up, REG_DWORD, dword(5), true, 1, REG_DWORD, dword(6)},
        {up, REG_DWORD, dword(0xFFFFFFFF), false, 1, REG_DWORD, dword(1)},  // negative counts as 0
        {up, REG_SZ, std::string("19", 3), true, 1, REG_SZ, std::string("20", 3)},
        {up, REG_BINARY, "\x02\x01", true, 1, REG_BINARY, dword(0x0103)},  // little-endian, high bytes 0
        {up, REG_BINARY, "12345", true, 1, REG_DWORD, dword(2)},           // too long for a count
        // Lowering never creates a value; only a count of one frees the file.
        {down, REG_NONE, "", false, 0, REG_NONE, ""},
        {down, REG_DWORD, dword(2), false, 0, REG_DWORD, dword(1)},
        {down, REG_DWORD, dword(1), false, 1, REG_NONE, ""},
        {down, REG_SZ, std::string("12", 3), false, 0, REG_SZ, std::string("11", 3)},
        {down, REG_BINARY, "\x05\x01", false, 0, REG_BINARY, dword(0x0104)},
        // Unreadable counts never free the file, and a count of 0 is left alone.
        {down, REG_BINARY, "12345", false, 0, REG_DWORD, dword(1)},
        {down, REG_DWORD, dword(0), false, 0, REG_DWORD, dword(0)},
    };
    testsupport::ScratchFolder folder;
    const std::string path = folder.Path("shared.dll");
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, SharedDlls, &key), ERROR_SUCCESS);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& [change, type, before, exists, result, typeAfter, after] = rows[i];
        DeleteFileA(path.c_str());
        if (exists) SetFileBytes(path, "x");
        RegDeleteValueA(key, path.c_str());
        if (type != REG_NONE)
            RegSetValueExA(key, path.c_str(), 0, type, reinterpret_cast<const BYTE*>(before.data()),
                           static_cast<DWORD>(before.size()));
        EXPECT_EQ(change(path.c_str()), result) << "row " << i;
        char data[64] = {};
        DWORD stored = 0, size = sizeof data;
        if (RegQueryValueExA(key, path.c_str(), nullptr, &stored, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS)
            stored = REG_NONE, size = 0;
        EXPECT_EQ(stored, typeAfter) << "row " << i;
        EXPECT_EQ(std::string(data, size), after) << "row " << i;
    }
    RegDeleteValueA(key, path.c_str());
    RegCloseKey(key);
}

std::string ShortName(const std::string& path) {
    char buffer[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return buffer;
}

// The lines the 95 family's WININIT.INI gets: short names, after what the file holds.
TEST(RestartOperations, WininitLinesOfTheNinetyFiveFamily) {
    testsupport::ScratchFolder folder;
    const std::string ini = folder.Path("WININIT.INI");
    SetFileBytes(ini, "[Rename]\r\nC:\\OLD.DLL=C:\\NEW.DLL\r\n");
    const std::string first = folder.Path("first long name.dll"),
                      second = folder.Path("second long name.dll");
    const std::string target = folder.Path("target long name.dll"), source = folder.Path("_kpAB12.tmp");
    for (const std::string& path : {first, second, target, source}) SetFileBytes(path, "x");

    EXPECT_EQ(WininitDelete(ini.c_str(), first.c_str()), 1);
    EXPECT_EQ(WininitDelete(ini.c_str(), second.c_str()), 1);
    EXPECT_EQ(WininitDelete(ini.c_str(), folder.Path("missing.dll").c_str()), 0);
    EXPECT_EQ(WininitReplace(ini.c_str(), target.c_str(), source.c_str()), 1);
    FlushSettings(ini.c_str());

    EXPECT_EQ(FileBytes(ini), "[Rename]\r\nC:\\OLD.DLL=C:\\NEW.DLL\r\nNUL=" + ShortName(first) +
                                  "\r\nNUL=" + ShortName(second) + "\r\n" + ShortName(target) + "=" +
                                  ShortName(source) + "\r\n");
    EXPECT_NE(ShortName(first), first);  // the test means something only with real short names
}

}  // namespace
