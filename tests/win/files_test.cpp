// Installing one member, file facts and shared counts, and the restart operations, against the real API.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/dos_time.h"
#include "files/extract_member.h"
#include "files/file_facts.h"
#include "files/restart_operations.h"
#include "files/wininit.h"
#include "script/install_log.h"
#include "script/settings.h"
#include "common/platform.h"
#include "common/process_state.h"
#include "startup/working_files.h"
#include "tests/support/archive_fixture.h"
#include "tests/support/scratch_log.h"
#include "tests/support/win_fixture.h"
#include "common/progress_report.h"
#include "common/wizard_state.h"

namespace {

using testsupport::FileBytes;
using testsupport::SetFileBytes;

const char SessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char SharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::string Lower(std::string text) {
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The system's delayed moves as "source|destination|" pairs, in lower case, without "\??\" and "!".
std::string PendingMoves() {
    char data[65536] = {};
    DWORD size = sizeof data - 2;
    RegGetValueA(HKEY_LOCAL_MACHINE, SessionManager, "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ,
                 nullptr, data, &size);
    std::string moves = "|";
    for (DWORD at = 0; at < size; ++at) moves += data[at] == '\0' ? '|' : data[at] == '!' ? '\0' : data[at];
    std::erase(moves, '\0');
    for (size_t at; (at = moves.find("\\??\\")) != std::string::npos;) moves.erase(at, 4);
    return Lower(moves);
}

bool HasMove(const std::string& source, const std::string& destination) {
    return PendingMoves().find(Lower("|" + source + "|" + destination + "|")) != std::string::npos;
}

void ClearPendingMoves() {
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, SessionManager, "PendingFileRenameOperations");
}

// The file's last-write time in local time.
FILETIME LocalWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    FILETIME local = {};
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    return local;
}

// The source files the run has logged.
std::vector<std::string> LoggedItems() { return testsupport::LoggedEntries("SourceFile"); }

using ExtractTest = testsupport::PackageTest;

TEST_F(ExtractTest, WritesTheBytesWithTheMemberTimeAndReportsProgress) {
    const uint32_t dosTime = (44u << 25 | 3u << 21 | 15u << 16) | (13u << 11 | 45u << 5 | 10u);  // 2024-03-15
    const std::string data = testsupport::SampleNoise(40000, 1);
    OpenPackage({{"Src\\a.bin", data, dosTime}, {"Src\\empty", "", dosTime}});
    ClearReports();
    const std::string target = folder_.Path("a.bin");
    EXPECT_EQ(ExtractMemberToFile(target.c_str()), 40000);
    EXPECT_EQ(TakeReportedProgress(), 40000u);
    EXPECT_EQ(FileBytes(target), data);
    FILETIME local = LocalWriteTime(target);
    FILETIME expected = DosTimeToFileTime(dosTime);
    EXPECT_EQ(CompareFileTime(&local, &expected), 0);

    ASSERT_EQ(NextMember(PackageReader), 0);
    const std::string empty = folder_.Path("empty");
    EXPECT_EQ(ExtractMemberToFile(empty.c_str()), 0);
    EXPECT_EQ(FileBytes(empty), "");
    local = LocalWriteTime(empty);
    EXPECT_EQ(CompareFileTime(&local, &expected), 0);
    EXPECT_TRUE(LoggedItems().empty());
}

TEST_F(ExtractTest, DamagedMemberLeavesNoFileAndArrangesNothing) {
    const std::string target = folder_.Path("a.txt"), busy = folder_.Path("busy.dll");
    // Damaged in the stored CRC-32.
    OpenPackage({{"Src\\a.txt", testsupport::SampleText(30000, 2)}}, 0xFFFFFFFF, 17 + 12);
    EXPECT_EQ(ExtractMemberToFile(target.c_str()), -1);
    EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
    // A folder that does not exist is another error than in use: nothing is written beside it.
    EXPECT_EQ(ExtractMemberToFile(folder_.Path("missing\\b.txt").c_str()), -1);
    EXPECT_TRUE(LoggedItems().empty());

    // Beside a file in use, the partial copy goes and no restart would put it in place.
    SetFileBytes(busy, "old");
    OpenPackage({{"Src\\x.dll", testsupport::SampleText(5000, 3)}}, 0xFFFFFFFF, 17 + 12);
    HANDLE holder =
        CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(ExtractMemberToFile(busy.c_str()), -1);
    CloseHandle(holder);
    ASSERT_EQ(LoggedItems().size(), 1u);
    EXPECT_EQ(GetFileAttributesA(LoggedItems()[0].c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RestartNeeded, 0);
    EXPECT_EQ(PendingMoves().find(Lower(busy)), std::string::npos);
}

// A read-only target takes the same way, but Wine running as root writes over read-only files.
TEST_F(ExtractTest, FileInUseIsReplacedAtRestart) {
    ASSERT_TRUE(IsNtPlatform());
    const std::string target = folder_.Path("busy.dll");
    SetFileBytes(target, "old");
    OpenPackage({{"Src\\x.dll", "new contents"}});
    HANDLE holder =
        CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(ExtractMemberToFile(target.c_str()), 12);
    CloseHandle(holder);

    EXPECT_EQ(FileBytes(target), "old");
    ASSERT_EQ(LoggedItems().size(), 1u);
    const std::string temporary = LoggedItems()[0];
    EXPECT_EQ(Lower(temporary).rfind(Lower(folder_.Path("_kp")), 0), 0u) << temporary;
    EXPECT_EQ(Lower(temporary.substr(temporary.size() - 4)), ".tmp");
    EXPECT_EQ(FileBytes(temporary), "new contents");
    EXPECT_EQ(RestartNeeded, 1);  // Wine runs us as administrator
    EXPECT_TRUE(HasMove(temporary, target));
    ClearPendingMoves();
}

TEST(FileFacts, SizeTimeAndVersionOfFilesOnDisk) {
    FileFacts facts = {};
    lstrcpynA(facts.path, testsupport::Beside("versioned.dll").c_str(), sizeof facts.path);
    ASSERT_EQ(GetFileFacts(&facts), 1);
    EXPECT_EQ(facts.size, FileBytes(facts.path).size());
    FILETIME local = LocalWriteTime(facts.path);
    EXPECT_EQ(CompareFileTime(&facts.time, &local), 0);
    EXPECT_EQ(facts.version.high, 0x00010002u);
    EXPECT_EQ(facts.version.low, 0x00030004u);

    testsupport::ScratchFolder folder;
    SetFileBytes(folder.Path("plain.txt"), "text");
    lstrcpynA(facts.path, folder.Path("plain.txt").c_str(), sizeof facts.path);
    ASSERT_EQ(GetFileFacts(&facts), 1);
    EXPECT_EQ(facts.size, 4u);
    EXPECT_EQ(facts.version.high, 0xFFFFFFFFu);
    EXPECT_EQ(facts.version.low, 0xFFFFFFFFu);
    EXPECT_EQ(GetFileVersionPair(facts.path, &facts.version), 0);

    lstrcpynA(facts.path, folder.Path("missing.txt").c_str(), sizeof facts.path);
    EXPECT_EQ(GetFileFacts(&facts), 0);
}

TEST(FileFacts, VersionOrder) {
    const VersionPair unknown = {0xFFFFFFFF, 0xFFFFFFFF}, lowUnknown = {0x00020000, 0xFFFFFFFF};
    const VersionPair v1 = {0x00010000, 5}, v1b = {0x00010000, 6}, v2 = {0x00020000, 0},
                      big = {0x80000000, 0};
    EXPECT_EQ(CompareVersions(v1, v1), 0);
    EXPECT_LT(CompareVersions(v1, v1b), 0);
    EXPECT_GT(CompareVersions(v1b, v1), 0);
    EXPECT_LT(CompareVersions(v1b, v2), 0);
    EXPECT_GT(CompareVersions(big, v2), 0);  // unsigned
    EXPECT_EQ(CompareVersions(unknown, v2), 0);
    EXPECT_EQ(CompareVersions(v1, lowUnknown), 0);
}

// Each row: the change, the count stored before (no type: none), whether the file exists, the result
// and the count after (no type: none).
TEST(SharedCount, RaisedAndLoweredInTheTypeItWasStoredIn) {
    struct Row {
        int (*change)(const char*);
        DWORD type;
        std::string before;
        bool exists;
        int result;
        DWORD typeAfter;
        std::string after;
    };
    auto dword = [](DWORD value) { return std::string(reinterpret_cast<const char*>(&value), 4); };
    const auto up = IncrementSharedCount, down = DecrementSharedCount;
    const Row rows[] = {
        {up, REG_NONE, "", true, 1, REG_DWORD, dword(2)},  // an existing file without a count had a user
        {up, REG_NONE, "", false, 1, REG_DWORD, dword(1)},
        {up, REG_DWORD, dword(5), true, 1, REG_DWORD, dword(6)},
        {up, REG_DWORD, dword(0xFFFFFFFF), false, 1, REG_DWORD, dword(1)},  // negative counts as 0
        {up, REG_SZ, std::string("19", 3), true, 1, REG_SZ, std::string("20", 3)},
        {up, REG_BINARY, "\x02\x01", true, 1, REG_BINARY, dword(0x0103)},  // little-endian, high bytes 0
        {up, REG_BINARY, "12345", true, 1, REG_DWORD, dword(2)},           // too long for a count
        {up, REG_MULTI_SZ, std::string("7\0", 3), false, 1, REG_DWORD, dword(1)},
        // Lowering never creates a value; only a count of one frees the file.
        {down, REG_NONE, "", false, 0, REG_NONE, ""},
        {down, REG_DWORD, dword(3), false, 0, REG_DWORD, dword(2)},
        {down, REG_DWORD, dword(2), false, 0, REG_DWORD, dword(1)},
        {down, REG_DWORD, dword(1), false, 1, REG_NONE, ""},
        {down, REG_SZ, std::string("12", 3), false, 0, REG_SZ, std::string("11", 3)},
        {down, REG_BINARY, "\x05\x01", false, 0, REG_BINARY, dword(0x0104)},
        // Unreadable counts never free the file, and a count of 0 is left alone.
        {down, REG_BINARY, "12345", false, 0, REG_DWORD, dword(1)},
        {down, REG_MULTI_SZ, std::string("1\0", 3), false, 0, REG_DWORD, dword(1)},
        {down, REG_DWORD, dword(0), false, 0, REG_DWORD, dword(0)},
    };
    testsupport::ScratchFolder folder;
    const std::string path = folder.Path("shared.dll");
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, SharedDlls, &key), ERROR_SUCCESS);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        DeleteFileA(path.c_str());
        if (row.exists) SetFileBytes(path, "x");
        RegDeleteValueA(key, path.c_str());
        if (row.type != REG_NONE)
            RegSetValueExA(key, path.c_str(), 0, row.type, reinterpret_cast<const BYTE*>(row.before.data()),
                           static_cast<DWORD>(row.before.size()));
        EXPECT_EQ(row.change(path.c_str()), row.result) << "row " << i;
        char data[64] = {};
        DWORD type = 0, size = sizeof data;
        if (RegQueryValueExA(key, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS)
            type = REG_NONE, size = 0;
        EXPECT_EQ(type, row.typeAfter) << "row " << i;
        EXPECT_EQ(std::string(data, size), row.after) << "row " << i;
    }
    RegDeleteValueA(key, path.c_str());
    RegCloseKey(key);
}

TEST(RestartOperations, DelayedMovesOnTheNtFamilyAndNoWininit) {
    ASSERT_TRUE(IsNtPlatform());
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string wininit = std::string(windows) + "\\WININIT.INI";
    const bool hadWininit = GetFileAttributesA(wininit.c_str()) != INVALID_FILE_ATTRIBUTES;

    testsupport::ScratchFolder folder;
    const std::string target = folder.Path("target.dll"), source = folder.Path("_kp1.tmp");
    const std::string doomed = folder.Path("doomed.dll");
    for (const std::string& path : {target, source, doomed}) SetFileBytes(path, "x");
    RestartNeeded = 0;
    EXPECT_NE(ReplaceOnRestart(target.c_str(), source.c_str()), 0);
    EXPECT_EQ(RestartNeeded, 0);  // the caller's business
    DeleteOnRestart(doomed.c_str());
    EXPECT_EQ(RestartNeeded, 1);
    EXPECT_TRUE(HasMove(source, target));
    EXPECT_TRUE(HasMove(doomed, ""));
    EXPECT_EQ(GetFileAttributesA(wininit.c_str()) != INVALID_FILE_ATTRIBUTES, hadWininit);
    ClearPendingMoves();
    RestartNeeded = 0;
}

std::string ShortName(const std::string& path) {
    char buffer[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return buffer;
}

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
