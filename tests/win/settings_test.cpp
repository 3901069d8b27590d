// Settings access against the real profile API and registry.
#include <limits.h>

#include "tests/win/win_test.h"

namespace {

// A fresh INI file under the temporary folder, a test registry key under HKEY_CURRENT_USER.
class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        ASSERT_NE(GetTempFileNameA(temp, "kps", 0, ini_), 0u);
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\KelpackSettingsTest", &key_), ERROR_SUCCESS);
    }
    void TearDown() override {
        DeleteFileA(ini_);
        RegCloseKey(key_);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KelpackSettingsTest");
    }
    void Raw(const char* key, const char* value) { WritePrivateProfileStringA("S", key, value, ini_); }
    const char* Read(const char* key) { return ReadSetting("S", key, "<none>", read_, sizeof read_, ini_); }

    char ini_[MAX_PATH];
    char read_[MAX_PATH];
    HKEY key_ = nullptr;
};

TEST_F(SettingsTest, MissingKeysAreToldFromEmptyOnes) {
    Raw("empty", "");
    char buffer[16] = "old";
    EXPECT_EQ(SettingExists("S", "empty", ini_), 1);
    EXPECT_EQ(ReadSetting("S", "empty", "default", buffer, sizeof buffer, ini_), buffer);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(ReadIntSetting("S", "empty", 5, ini_), 5);

    strcpy(buffer, "old");
    EXPECT_EQ(SettingExists("S", "missing", ini_), 0);
    EXPECT_EQ(ReadSetting("S", "missing", nullptr, buffer, sizeof buffer, ini_), nullptr);
    EXPECT_STREQ(buffer, "old");
    EXPECT_STREQ(ReadSetting("S", "missing", "default", buffer, 4, ini_), "def");
}

TEST_F(SettingsTest, NumbersReadWithDefaults) {
    // Default 99; out of range saturates.
    const char* texts[] = {" 42 ", "-7", "+5",         "7a",         "abc",         "0x10",
                           "-",    "\t", "2147483647", "2147483648", "-2147483648", "-99999999999999999999"};
    const long expected[] = {42, -7, 5, 7, 99, 0, 99, 99, LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (size_t i = 0; i < sizeof texts / sizeof texts[0]; ++i) {
        Raw("n", texts[i]);
        EXPECT_EQ(ReadIntSetting("S", "n", 99, ini_), expected[i]) << texts[i];
    }
    EXPECT_NE(WriteIntSetting("S", "n", LONG_MIN, ini_), 0);
    EXPECT_STREQ(Read("n"), "-2147483648");
}

// Enclosing quotes survive a write and a read.
TEST_F(SettingsTest, QuotesSurviveAWriteAndARead) {
    for (const auto& [written, read] :
         {std::pair{" \"a b\"\t", "\"a b\""}, {"'x'", "'x'"}, {"\"abc", "\"abc"}, {"\"", "\""}}) {
        EXPECT_NE(WriteSetting("S", "q", written, ini_), 0);
        EXPECT_STREQ(Read("q"), read) << written;
    }
}

TEST_F(SettingsTest, RegistryStringsOnlyAndAlwaysTerminated) {
    const DWORD zero = 0;
    auto set = [this](const char* name, DWORD type, const void* data, DWORD size) {
        RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size);
    };
    set("sz", REG_SZ, "hello", 6);
    set("expand", REG_EXPAND_SZ, "%TEMP%\\x", 9);
    set("bare", REG_SZ, "abcd", 4);  // stored without a terminator
    set("empty", REG_SZ, "", 0);
    set("dword", REG_DWORD, &zero, sizeof zero);
    const std::tuple<const char*, DWORD, int, const char*> cases[] = {
        {"sz", 10, 1, "hello"}, {"expand", 10, 1, "%TEMP%\\x"}, {"bare", 10, 1, "abcd"}, {"empty", 10, 1, ""},
        {"dword", 10, 0, ""},   {"missing", 10, 0, ""},         {"sz", 3, 0, ""},        {"bare", 4, 0, ""}};
    for (const auto& [name, size, result, text] : cases) {
        char buffer[12];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(ReadRegistryString(key_, name, buffer, size), result) << name << " " << size;
        EXPECT_STREQ(buffer, text) << name << " " << size;
    }
}

}  // namespace
