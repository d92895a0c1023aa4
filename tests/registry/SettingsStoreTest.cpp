#include "registry/SettingsStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <tuple>

#include "ScratchRegistry.h"
#include "framework/TextConversion.h"

namespace {

constexpr const char* kSettings = "Zaltrow";
constexpr const char* kSettingsKey = "Software\\Zaltrow";

class SettingsStoreTest : public ::testing::Test {
protected:
    ScratchRegistry scratch;
    SettingsStore store;
};

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }
std::wstring W(const std::string& text) { return fw::Widen(text); }

}  // namespace

TEST_F(SettingsStoreTest, WriteStringCreatesKeyAndStoresText) {
    EXPECT_TRUE(store.WriteString(kSettings, "bDisableSplash", "0"));
    EXPECT_EQ(ScratchRegistry::GetString(HKEY_CURRENT_USER, kSettingsKey, "bDisableSplash"), "0");
    EXPECT_EQ(store.ReadString(kSettings, "bDisableSplash", HKEY_CURRENT_USER), "0");

    // Nested paths are created as needed; an empty text is a valid value.
    EXPECT_TRUE(store.WriteString("Zaltrow\\Deeper", "Empty", ""));
    EXPECT_TRUE(ScratchRegistry::ValueExists(HKEY_CURRENT_USER, "Software\\Zaltrow\\Deeper", "Empty"));
}

TEST_F(SettingsStoreTest, WriteStringLimitIs9999Characters) {
    EXPECT_TRUE(store.WriteString(kSettings, "Long", Repeat('a', 9999)));
    EXPECT_EQ(ScratchRegistry::GetString(HKEY_CURRENT_USER, kSettingsKey, "Long").size(), 9999u);

    EXPECT_FALSE(store.WriteString(kSettings, "TooLong", Repeat('b', 10000)));
    EXPECT_FALSE(ScratchRegistry::ValueExists(HKEY_CURRENT_USER, kSettingsKey, "TooLong"));
}

TEST_F(SettingsStoreTest, ReadStringLimitsAndMissingValues) {
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettingsKey, "Dash", "-");
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettingsKey, "Max", Repeat('m', 999));
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettingsKey, "Over", Repeat('o', 1000));
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettingsKey, "Huge", Repeat('h', 1500));

    EXPECT_EQ(store.ReadString(kSettings, "Dash", HKEY_CURRENT_USER), "");
    EXPECT_EQ(store.ReadString(kSettings, "Max", HKEY_CURRENT_USER), Repeat('m', 999));
    EXPECT_EQ(store.ReadString(kSettings, "Over", HKEY_CURRENT_USER), "");
    EXPECT_EQ(store.ReadString(kSettings, "Huge", HKEY_CURRENT_USER), "");
    EXPECT_EQ(store.ReadString(kSettings, "Absent", HKEY_CURRENT_USER), "");
    EXPECT_EQ(store.ReadString("NoSuchKey", "Dash", HKEY_CURRENT_USER), "");
    // The root matters: the same path under the other root is not there.
    EXPECT_EQ(store.ReadString(kSettings, "Max", HKEY_LOCAL_MACHINE), "");
}

TEST_F(SettingsStoreTest, ReadStringIgnoresTheValueType) {
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettingsKey, "Expand", "%ProgramFiles%\\Tool", REG_EXPAND_SZ);
    ScratchRegistry::SetDword(HKEY_CURRENT_USER, kSettingsKey, "Dword", 0x31);  // bytes '1', 0, 0, 0
    ScratchRegistry::SetDword(HKEY_CURRENT_USER, kSettingsKey, "DwordWide", 0x00333231);
    ScratchRegistry::SetBinary(HKEY_CURRENT_USER, kSettingsKey, "Binary", {'a', 'b', 0, 'c'});
    ScratchRegistry::SetBinary(HKEY_CURRENT_USER, kSettingsKey, "Unterminated", {'x', 'y'});

    EXPECT_EQ(store.ReadString(kSettings, "Expand", HKEY_CURRENT_USER), "%ProgramFiles%\\Tool");
    EXPECT_EQ(store.ReadString(kSettings, "Dword", HKEY_CURRENT_USER), "1");
    EXPECT_EQ(store.ReadString(kSettings, "DwordWide", HKEY_CURRENT_USER), "123");
    EXPECT_EQ(store.ReadString(kSettings, "Binary", HKEY_CURRENT_USER), "ab");
    EXPECT_EQ(store.ReadString(kSettings, "Unterminated", HKEY_CURRENT_USER), "xy");
    EXPECT_EQ(store.ReadInt(kSettings, "Dword"), 1);
}

TEST_F(SettingsStoreTest, ReadIntOfTextValues) {
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettingsKey, "One", "1");
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettingsKey, "Letters", "abc");
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettingsKey, "Dash", "-");
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettingsKey, "Empty", "");

    EXPECT_EQ(store.ReadInt(kSettings, "One"), 1);
    EXPECT_EQ(store.ReadInt(kSettings, "Letters"), 0);
    EXPECT_EQ(store.ReadInt(kSettings, "Dash"), -1);
    EXPECT_EQ(store.ReadInt(kSettings, "Empty"), -1);
    EXPECT_EQ(store.ReadInt(kSettings, "Missing"), -1);
}

TEST_F(SettingsStoreTest, DeleteKeyIsNotRecursive) {
    const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, uninstall + "\\Plain", "DisplayName", "Plain");
    ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, uninstall + "\\Parent\\Child");

    EXPECT_TRUE(store.DeleteKey(L"Microsoft\\Windows\\CurrentVersion\\Uninstall", L"Plain", HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, uninstall + "\\Plain"));

    EXPECT_FALSE(store.DeleteKey(L"Microsoft\\Windows\\CurrentVersion\\Uninstall", L"Parent", HKEY_LOCAL_MACHINE));
    EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, uninstall + "\\Parent\\Child"));

    EXPECT_FALSE(store.DeleteKey(L"Microsoft\\Windows\\CurrentVersion\\Uninstall", L"Missing", HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(store.DeleteKey(L"No\\Such\\Path", L"Plain", HKEY_LOCAL_MACHINE));
}

namespace {
std::vector<unsigned char> Record(const std::string& name, std::size_t padTo = 0) {
    std::vector<unsigned char> record(28, 0x11);
    for (char c : name) {
        record.push_back(static_cast<unsigned char>(c));
        record.push_back(0);
    }
    record.push_back(0);
    record.push_back(0);
    if (record.size() < padTo) record.resize(padTo, 0);
    return record;
}
}  // namespace

TEST_F(SettingsStoreTest, ReadCachedProgramNameRecords) {
    const std::string key = "Software\\Cache";
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, key, "Normal", Record("C:\\Tool\\tool.exe", 552));
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, key, "HeaderOnly", std::vector<unsigned char>(28, 0x22));
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, key, "Short", std::vector<unsigned char>(12, 0x22));
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, key, "Exactly1000", Record("C:\\a.exe", 1000));
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, key, "Over1000", Record("C:\\a.exe", 1001));
    auto garbage = Record("C:\\b.exe");
    garbage.insert(garbage.end(), {'Q', 0, 'R'});
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, key, "Garbage", garbage);

    EXPECT_EQ(store.ReadCachedProgramName(L"Cache", L"Normal", HKEY_LOCAL_MACHINE), L"C:\\Tool\\tool.exe");
    EXPECT_EQ(store.ReadCachedProgramName(L"Cache", L"HeaderOnly", HKEY_LOCAL_MACHINE), L"");
    EXPECT_EQ(store.ReadCachedProgramName(L"Cache", L"Short", HKEY_LOCAL_MACHINE), L"");
    EXPECT_EQ(store.ReadCachedProgramName(L"Cache", L"Exactly1000", HKEY_LOCAL_MACHINE), L"C:\\a.exe");
    EXPECT_EQ(store.ReadCachedProgramName(L"Cache", L"Over1000", HKEY_LOCAL_MACHINE), std::nullopt);
    EXPECT_EQ(store.ReadCachedProgramName(L"Cache", L"Garbage", HKEY_LOCAL_MACHINE), L"C:\\b.exeQ");  // a lone last byte is no character
    EXPECT_EQ(store.ReadCachedProgramName(L"Cache", L"Missing", HKEY_LOCAL_MACHINE), std::nullopt);
    EXPECT_EQ(store.ReadCachedProgramName(L"NoKey", L"Normal", HKEY_LOCAL_MACHINE), std::nullopt);
}

// A walk lists every subkey, then the values, up to the limit it is given,
// and counts what lies past it.
TEST_F(SettingsStoreTest, WalkListsUpToItsLimitAndCountsTheRest) {
    const std::string key = "Software\\Walk";
    for (int i = 0; i < 700; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "k%03d", i);
        ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, key + "\\" + name);
    }
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "Stray", "value");
    const auto& names = store.EnumerateKey(HKEY_LOCAL_MACHINE, W(key)).Results();
    ASSERT_EQ(names.size(), 701u);
    EXPECT_EQ(names.front(), L"k000");
    EXPECT_EQ(names[699], L"k699");  // registry order is alphabetical here
    EXPECT_EQ(names.back(), L"value");
    EXPECT_EQ(store.Unlisted(), 0u);

    for (const auto& [limit, listed, unlisted] : {std::tuple{650u, 650u, 51u}, std::tuple{700u, 700u, 1u},
                                                  std::tuple{701u, 701u, 0u}, std::tuple{0u, 0u, 701u}}) {
        EXPECT_EQ(store.EnumerateKey(HKEY_LOCAL_MACHINE, W(key), 0, limit).Results().size(), listed) << limit;
        EXPECT_EQ(store.Unlisted(), unlisted) << limit;
    }
}

TEST_F(SettingsStoreTest, WalkListsValueDataAfterSubkeysExceptMRUList) {
    const std::string key = "Software\\Mixed";
    ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, key + "\\Sub");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "First", "alpha");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "MRUList", "skipped");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "MRUListEx", "kept, only the exact name is skipped");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "Empty", "");
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, key, "Bin", {'b', 0, 'i', 0, 'n', 0, 0, 0, 'x', 0});
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "TooBig", Repeat('t', 10000));  // 10,001 bytes

    const auto& results = store.EnumerateKey(HKEY_LOCAL_MACHINE, W(key)).Results();
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(results.front(), L"Sub");
    std::multiset<std::wstring> values(results.begin() + 1, results.end());
    EXPECT_EQ(values, (std::multiset<std::wstring>{L"alpha", L"kept, only the exact name is skipped", L"bin"}));
}

TEST_F(SettingsStoreTest, WalkOfMissingKeyIsEmptyAndClearsOldResults) {
    ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, "Software\\One\\Sub");
    EXPECT_EQ(store.EnumerateKey(HKEY_LOCAL_MACHINE, L"Software\\One").Results().size(), 1u);
    EXPECT_TRUE(store.EnumerateKey(HKEY_LOCAL_MACHINE, L"Software\\Missing").Results().empty());
}

TEST_F(SettingsStoreTest, WalkSkipsNamesTooLongForItsBuffer) {
    const std::string key = "Software\\Names";
    ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, key + "\\" + Repeat('n', 254));
    ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, key + "\\" + Repeat('z', 255));
    const auto& results = store.EnumerateKey(HKEY_LOCAL_MACHINE, W(key)).Results();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], W(Repeat('n', 254)));
}
