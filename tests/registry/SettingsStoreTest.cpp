#include "registry/SettingsStore.h"

#include <gtest/gtest.h>


#include "ScratchRegistry.h"

namespace {

constexpr const char* kSettings = "Zaltrow";
constexpr const char* kSettingsKey = "Software\\Zaltrow";

class SettingsStoreTest : public ::testing::Test {
protected:
    ScratchRegistry scratch;
    SettingsStore store;
};

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

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
