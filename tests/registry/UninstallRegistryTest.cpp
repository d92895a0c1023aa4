#include "registry/UninstallRegistry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "ScratchRegistry.h"
#include "framework/RegistryKey.h"
#include "framework/TextConversion.h"

namespace {

std::wstring W(const std::string& text) { return fw::Widen(text); }

class UninstallRegistryTest : public ::testing::Test {
protected:
    ScratchRegistry scratch;
    UninstallRegistry walk;
};

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

void SetValue(const std::string& path, const wchar_t* name, DWORD type, const std::wstring& text) {
    const fw::RegKey key = fw::CreateRegKey(HKEY_LOCAL_MACHINE, W(path), KEY_SET_VALUE);
    RegSetValueExW(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

TEST_F(UninstallRegistryTest, DeleteTreeTakesTheWholeKeyAndSaysWhyItCannot) {
    const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    const std::wstring path = W(uninstall);
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, uninstall + "\\Plain", "DisplayName", "Plain");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, uninstall + "\\Parent\\Child\\Grandchild", "X", "y");

    EXPECT_EQ(UninstallRegistry::DeleteTree(HKEY_LOCAL_MACHINE, path, L"Plain"), ERROR_SUCCESS);
    EXPECT_EQ(UninstallRegistry::DeleteTree(HKEY_LOCAL_MACHINE, path, L"Parent"), ERROR_SUCCESS);
    EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, uninstall + "\\Plain"));
    EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, uninstall + "\\Parent"));
    EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, uninstall));
    EXPECT_EQ(UninstallRegistry::DeleteTree(HKEY_LOCAL_MACHINE, path, L"Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(UninstallRegistry::DeleteTree(HKEY_LOCAL_MACHINE, L"No\\Such\\Path", L"Plain"), ERROR_FILE_NOT_FOUND);
}

TEST_F(UninstallRegistryTest, TextsAreReadWholeAndOnlyTextIsText) {
    const std::string key = "Software\\Values";
    const std::wstring longText(40000, L'x');
    SetValue(key, L"Long", REG_SZ, longText);
    SetValue(key, L"Expand", REG_EXPAND_SZ, L"%ProgramFiles%\\Gone\\u.exe");
    SetValue(key, L"Dash", REG_SZ, L"-");
    ScratchRegistry::SetDword(HKEY_LOCAL_MACHINE, key, "Number", 0x4241);  // "AB" if read as text
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, key, "Binary", {'A', 0, 'B', 0, 0, 0});
    const fw::RegKey values = UninstallRegistry::OpenForReading(HKEY_LOCAL_MACHINE, W(key));
    ASSERT_TRUE(values);

    EXPECT_EQ(UninstallRegistry::ReadTextOrEmpty(values.get(), L"Long"), longText);
    const auto expand = UninstallRegistry::ReadText(values.get(), L"Expand");
    ASSERT_TRUE(expand);
    EXPECT_TRUE(expand->expandable);
    EXPECT_EQ(expand->text, L"%ProgramFiles%\\Gone\\u.exe");
    EXPECT_EQ(UninstallRegistry::ReadTextOrEmpty(values.get(), L"Dash"), L"");
    for (const wchar_t* notText : {L"Number", L"Binary", L"Missing"})
        EXPECT_EQ(UninstallRegistry::ReadText(values.get(), notText), std::nullopt) << notText;
    EXPECT_EQ(UninstallRegistry::ReadNumber(values.get(), L"Number"), 0x4241u);
}

TEST_F(UninstallRegistryTest, ReadCachedProgramNameRecords) {
    const std::string key = "Software\\Cache";
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, key + "\\Normal", "R", Record("C:\\Tool\\tool.exe", 552));
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, key + "\\HeaderOnly", "R", std::vector<unsigned char>(28, 0x22));
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, key + "\\Exactly1000", "R", Record("C:\\a.exe", 1000));
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, key + "\\Over1000", "R", Record("C:\\a.exe", 1001));
    auto garbage = Record("C:\\b.exe");
    garbage.insert(garbage.end(), {'Q', 0, 'R'});
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, key + "\\Garbage", "R", garbage);
    const fw::RegKey cache = UninstallRegistry::OpenForReading(HKEY_LOCAL_MACHINE, W(key));
    ASSERT_TRUE(cache);

    for (const auto& [record, expected] : std::vector<std::tuple<std::wstring, std::optional<std::wstring>>>{
             {L"Normal", L"C:\\Tool\\tool.exe"},
             {L"HeaderOnly", L""},
             {L"Exactly1000", L"C:\\a.exe"},
             {L"Over1000", std::nullopt},
             {L"Garbage", L"C:\\b.exeQ"},  // a lone last byte is no character
             {L"Missing", std::nullopt}}) {
        EXPECT_EQ(UninstallRegistry::ReadCachedProgramName(cache.get(), record, L"R", 0), expected) << record;
    }
}

// A walk lists every subkey (names up to Windows' 255 characters) up to the
// limit it is given and counts what lies past it; values add only direct
// subkeys not listed yet, and never count.
TEST_F(UninstallRegistryTest, WalkListsEveryKeyToItsLimitAndValuesNeverRepeatOne) {
    const std::string key = "Software\\Walk";
    for (int i = 0; i < 700; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "k%03d", i);
        ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, key + "\\" + name);
    }
    const std::string longest(255, 'z');
    ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, key + "\\" + longest);
    ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, key + "\\k000\\Child");
    // Stray values as old installers and other tools leave them.
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "Stray", "no such key");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "Same", "k001");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "OtherCase", "K002");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "Path", "k000\\Child");

    const auto& names = walk.EnumerateKey(HKEY_LOCAL_MACHINE, W(key)).Results();
    ASSERT_EQ(names.size(), 701u);
    EXPECT_EQ(names.front(), L"k000");
    EXPECT_EQ(names.back(), W(longest));
    EXPECT_EQ(walk.Unlisted(), 0u);

    for (const auto& [limit, listed, unlisted] : {std::tuple{650u, 650u, 51u}, std::tuple{700u, 700u, 1u},
                                                  std::tuple{701u, 701u, 0u}, std::tuple{0u, 0u, 701u}}) {
        EXPECT_EQ(walk.EnumerateKey(HKEY_LOCAL_MACHINE, W(key), 0, limit).Results().size(), listed) << limit;
        EXPECT_EQ(walk.Unlisted(), unlisted) << limit;
    }
    EXPECT_TRUE(walk.EnumerateKey(HKEY_LOCAL_MACHINE, L"Software\\Missing").Results().empty());
}
