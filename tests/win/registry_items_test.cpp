// Registry items against the real registry: every value type read back, the log, and removal.
#include "items/registry_items.h"
#include "script/path_variables.h"
#include "tests/win/win_test.h"

namespace {

constexpr char Top[] = "Software\\Kelpack Registry Test";

struct Value {
    DWORD type = REG_NONE;
    std::string data;
};

// The value as stored, or type REG_NONE when it or its key is missing.
Value Read(const std::string& key, const char* name) {
    Value value;
    char data[512];
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, data,
                     &size))
        return {};
    value.data.assign(data, size);
    return value;
}

bool KeyExists(const std::string& key) { return wintest::KeyExists(HKEY_CURRENT_USER, key); }

std::string Dword(DWORD number) { return std::string(reinterpret_cast<const char*>(&number), 4); }

class RegistryItemsTest : public testsupport::PackageTest {
  protected:
    void SetUp() override {
        PackageTest::SetUp();
        lstrcpynA(InstallDir, "C:\\Program Files\\Kelpack Test", sizeof InstallDir);
        RegDeleteTreeA(HKEY_CURRENT_USER, Top);
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, Top);
        PackageTest::TearDown();
    }
    int Install(const Strings& items) {
        WriteItems("Registry", items);
        return InstallRegistryItems();
    }
    void Preset(const std::string& key, const char* name, const char* text) {
        RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, text,
                        static_cast<DWORD>(strlen(text) + 1));
    }
};

TEST_F(RegistryItemsTest, EveryTypeIsStoredAsItsTextSaysAndLoggedForRemoval) {
    const std::string top = Top, deep = top + "\\New\\Deep", kept = top + "\\Kept";
    Preset(kept, "Old", "old");
    Preset(kept, "", "default");
    Preset(kept, "Overwritten", "old");
    // New\Deep is created as a whole, the keep flag logs nothing, and root 9 fails alone.
    EXPECT_EQ(
        Install({"0,0,1," + deep + ",Path,1,{InstallDir}\\bin,with,commas", "0,0,1," + deep + ",Hex,2,0x10",
                 "0,0,1," + deep + ",Dec,2, 16 ", "0,0,1," + deep + ",Minus,2,-1",
                 "0,0,1," + deep + ",Junk,2,", "0,0,1," + deep + ",Bytes,3,01 02,ff;10",
                 "0,0,1," + deep + ",NoBytes,3,", "1,0,1," + kept + ",Old,1,new", "1,0,1," + kept + ",,1,new",
                 "1,0,1," + kept + ",Fresh,1,new", "0,0,1," + kept + ",Overwritten,1,new",
                 "0,1,1," + top + "\\Private,Secret,1,s", "0,0,9,Software\\Nowhere,X,1,x",
                 "0,0,1," + top + "\\Only a key,Ignored,7,x"}),
        0);
    const std::string bin = std::string(InstallDir) + "\\bin,with,commas";
    const std::pair<Value, Value> values[] = {
        {Read(deep, "Path"), {REG_SZ, bin + '\0'}},
        {Read(deep, "Hex"), {REG_DWORD, Dword(16)}},
        {Read(deep, "Dec"), {REG_DWORD, Dword(16)}},
        {Read(deep, "Minus"), {REG_DWORD, Dword(0xFFFFFFFF)}},
        {Read(deep, "Junk"), {REG_DWORD, Dword(0)}},
        {Read(deep, "Bytes"), {REG_BINARY, "\x01\x02\xff\x10"}},
        {Read(deep, "NoBytes"), {REG_BINARY, ""}},
        {Read(kept, "Old"), {REG_SZ, std::string("old", 4)}},
        {Read(kept, ""), {REG_SZ, std::string("default", 8)}},
        {Read(kept, "Fresh"), {REG_SZ, std::string("new", 4)}},
        {Read(kept, "Overwritten"), {REG_SZ, std::string("new", 4)}},
        {Read(top + "\\Private", "Secret"), {REG_SZ, std::string("s", 2)}},
        {Read(top + "\\Only a key", "Ignored"), {}},
    };
    for (const auto& [stored, expected] : values) {
        EXPECT_EQ(stored.type, expected.type);
        EXPECT_EQ(stored.data, expected.data);
    }
    EXPECT_TRUE(KeyExists(top + "\\Only a key"));

    // Newest first: the outermost key each item created; the preset keys existed.
    EXPECT_EQ(LoggedEntries("RegistrySubKey"), (Strings{"1," + top + "\\Only a key", "1," + top + "\\New"}));
    EXPECT_EQ(LoggedEntries("RegistryValue"),
              (Strings{"1," + kept + ",Overwritten", "1," + kept + ",Fresh", "1," + kept + ",",
                       "1," + kept + ",Old", "1," + deep + ",NoBytes", "1," + deep + ",Bytes",
                       "1," + deep + ",Junk", "1," + deep + ",Minus", "1," + deep + ",Dec",
                       "1," + deep + ",Hex", "1," + deep + ",Path"}));
}

TEST_F(RegistryItemsTest, AnUnsetDefaultValueIsWrittenUnderNoOverwrite) {
    const std::string key = std::string(Top) + "\\Empty";
    Preset(key, "Named", "x");
    EXPECT_EQ(Install({"1,0,1," + key + ",,1,written"}), 1);
    EXPECT_EQ(Read(key, "").data, std::string("written", 8));
}

TEST_F(RegistryItemsTest, RemovalDeletesLoggedValuesAndWholeTreesButNeverARoot) {
    const std::string top = Top;
    for (const char* child : {"\\a\\b\\c", "\\a\\d", "\\e"}) Preset(top + child, "v", "x");
    Preset(top, "Stays", "x");
    Preset(top, "Goes", "x");

    RemoveRegistryValue(RegistryValueRecord{"1", "Software\\Kelpack Registry Test", "Goes"});
    RemoveRegistryValue(RegistryValueRecord{"1", "Software\\No Such Key", "Goes"});
    EXPECT_EQ(Read(top, "Goes").type, DWORD(REG_NONE));
    EXPECT_EQ(Read(top, "Stays").type, DWORD(REG_SZ));

    EXPECT_EQ(DeleteRegistryTree(HKEY_CURRENT_USER, (top + "\\a").c_str()), 1);
    EXPECT_FALSE(KeyExists(top + "\\a"));
    EXPECT_TRUE(KeyExists(top + "\\e"));

    // A blank key would name the root; it is refused, and the root keeps its keys.
    for (const char* blank : {"", " ", "\\", " \\\\ "}) {
        EXPECT_EQ(DeleteRegistryTree(HKEY_CURRENT_USER, blank), 0) << '"' << blank << '"';
        RegistryKeyRecord record{1, ""};
        lstrcpynA(record.key, blank, sizeof record.key);
        RemoveRegistrySubKey(record);
    }
    EXPECT_TRUE(KeyExists("Software"));

    RemoveRegistrySubKey(RegistryKeyRecord{1, "Software\\Kelpack Registry Test"});
    EXPECT_FALSE(KeyExists(top));
}

}  // namespace
