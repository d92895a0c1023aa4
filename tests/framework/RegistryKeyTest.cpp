// Opening and creating keys into their owner, in scratch keys: the result
// codes the callers pass on, and keys that work once opened.

#include "framework/RegistryKey.h"

#include <gtest/gtest.h>

#include "ScratchRegistry.h"

namespace {

class RegistryKeyTest : public ::testing::Test {
protected:
    ScratchRegistry scratch{ScratchRegistry::Roots::UserOnly};
};

}  // namespace

TEST_F(RegistryKeyTest, MissingKeyGivesAnEmptyOwnerAndTheError) {
    LONG result = ERROR_SUCCESS;
    EXPECT_FALSE(fw::OpenRegKey(HKEY_CURRENT_USER, L"Software\\Absent", KEY_READ, &result));
    EXPECT_EQ(result, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(fw::OpenRegKey(HKEY_CURRENT_USER, L"Software\\Absent", KEY_READ));
    EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_CURRENT_USER, "Software\\Absent"));
}

TEST_F(RegistryKeyTest, CreatedKeyIsWrittenThroughAndOpensAgainByItsExactName) {
    LONG result = ERROR_FILE_NOT_FOUND;
    {
        const fw::RegKey created = fw::CreateRegKey(HKEY_CURRENT_USER, L"Software\\Made\\Deep", KEY_SET_VALUE, &result);
        ASSERT_TRUE(created);
        EXPECT_EQ(result, ERROR_SUCCESS);
        const char text[] = "kept";
        ASSERT_EQ(RegSetValueExA(created.get(), "Value", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
                  ERROR_SUCCESS);
    }
    EXPECT_EQ(ScratchRegistry::GetString(HKEY_CURRENT_USER, "Software\\Made\\Deep", "Value"), "kept");
    // Created again, it is the same key, not a new empty one.
    EXPECT_TRUE(fw::CreateRegKey(HKEY_CURRENT_USER, L"Software\\Made\\Deep", KEY_SET_VALUE));
    EXPECT_EQ(ScratchRegistry::GetString(HKEY_CURRENT_USER, "Software\\Made\\Deep", "Value"), "kept");

    // A name no ANSI code page holds is created and opened as it is.
    const std::wstring exact = L"Software\\Made\\\u0416\u5DE5\u0142";
    LONG exactResult = ERROR_FILE_NOT_FOUND;
    {
        const fw::RegKey created = fw::CreateRegKey(HKEY_CURRENT_USER, exact, KEY_SET_VALUE);
        ASSERT_TRUE(created);
        const char text[] = "kept";
        RegSetValueExA(created.get(), "Value", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    }
    EXPECT_FALSE(fw::OpenRegKey(HKEY_CURRENT_USER, L"Software\\Made\\\u0416\u5DE5l", KEY_QUERY_VALUE))
        << "no lookalike";
    LONG deepResult = ERROR_FILE_NOT_FOUND;
    const fw::RegKey keys[] = {
        fw::OpenRegKey(HKEY_CURRENT_USER, L"Software\\Made\\Deep", KEY_QUERY_VALUE, &deepResult),
        fw::OpenRegKey(HKEY_CURRENT_USER, exact, KEY_QUERY_VALUE, &exactResult)};
    EXPECT_EQ(deepResult, ERROR_SUCCESS);
    EXPECT_EQ(exactResult, ERROR_SUCCESS);
    for (const fw::RegKey& key : keys) {
        ASSERT_TRUE(key);
        char data[16] = {};
        DWORD size = sizeof data;
        EXPECT_EQ(RegQueryValueExA(key.get(), "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size),
                  ERROR_SUCCESS);
        EXPECT_STREQ(data, "kept");
    }
}
