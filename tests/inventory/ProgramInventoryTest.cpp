#include "inventory/ProgramInventory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "RegistryPaths.h"
#include "ScratchRegistry.h"
#include "framework/UniqueHandle.h"

namespace {

std::vector<unsigned char> CacheRecord(const std::string& name) {
    std::vector<unsigned char> record(28, 0x01);
    for (char c : name) {
        record.push_back(static_cast<unsigned char>(c));
        record.push_back(0);
    }
    record.resize(record.size() + 2, 0);
    return record;
}

class ProgramInventoryTest : public ::testing::Test {
protected:
    void Entry(const std::string& key, const std::string& name, const std::string& command,
               const char* icon = nullptr) {
        const std::string path = kUninstall + "\\" + key;
        ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, path);
        if (!name.empty()) ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, path, "DisplayName", name);
        if (!command.empty()) ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, path, "UninstallString", command);
        if (icon) ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, path, "DisplayIcon", icon);
    }

    std::map<std::wstring, ProgramEntry> EnumerateByKey() {
        inventory.Enumerate();
        std::map<std::wstring, ProgramEntry> byKey;
        for (const ProgramEntry& e : inventory.Entries()) byKey[e.keyName] = e;
        return byKey;
    }

    ScratchRegistry scratch;
    ProgramInventory inventory;
};

}  // namespace

TEST_F(ProgramInventoryTest, MissingUninstallKeyGivesEmptyInventory) {
    inventory.Enumerate();
    EXPECT_EQ(inventory.Count(), 0u);
}

TEST_F(ProgramInventoryTest, RealWorldEntries) {
    Entry("Tool_is1", "Tool 2.0", "\"C:\\Program Files\\Tool\\unins000.exe\" /SILENT");
    Entry("NsisApp", "NSIS App", "C:\\Program Files\\NSIS App\\uninst.exe", "C:\\Program Files\\NSIS App\\app.exe,12");
    Entry("{A1B2C3D4-0000-1111-2222-333344445555}", "Office Thing", "MsiExec.exe /X{A1B2C3D4-0000-1111-2222-333344445555}");
    Entry("InstallShield_{99}", "Shielded", "\"C:\\Program Files\\InstallShield Installation Information\\{99}\\setup.exe\" -runfromtemp -l0x0409",
          "\"C:\\Apps\\Tool\\tool.exe\",0");
    Entry("IEPlugin", "Plugin", "RunDll32 advpack.dll,LaunchINFSection C:\\WINDOWS\\INF\\p.inf,DefaultUninstall");
    Entry("Driver", "Driver", "C:\\WINDOWS\\rundll32.exe setupapi.dll,InstallHinfSection DefaultUninstall 132 x.inf");
    Entry("EnvPath", "Env", "%ProgramFiles%\\Env\\uninst.exe", "%ProgramFiles%\\Env\\env.ico");
    Entry("Network", "Net", "\\\\server\\share\\net\\uninst.exe /x");
    Entry("Acme", "Acme", "C:\\Program Files\\Acme, Inc\\uninst.exe", "C:\\Program Files\\Acme, Inc\\acme.exe,3");
    Entry("Semi", "Semi", "D:\\Games;Old\\uninst.exe");
    Entry("DDrive", "D Tool", "D:\\Tools\\uninst.exe");
    Entry("DashName", "-", "C:\\x\\u.exe");
    Entry("Bare", "", "");

    auto e = EnumerateByKey();
    ASSERT_EQ(e.size(), 13u);

    EXPECT_EQ(e[L"Tool_is1"].programPath, L"C:\\Program Files\\Tool\\unins000.exe");
    EXPECT_EQ(e[L"Tool_is1"].programArgs, L"/SILENT");
    EXPECT_EQ(e[L"Tool_is1"].iconPath, L"C:\\Program Files\\Tool\\unins000.exe");  // from the command
    EXPECT_EQ(e[L"Tool_is1"].uninstallString, L"\"C:\\Program Files\\Tool\\unins000.exe\" /SILENT");

    EXPECT_EQ(e[L"NsisApp"].iconPath, L"C:\\Program Files\\NSIS App\\app.exe");
    EXPECT_EQ(e[L"NsisApp"].iconIndex, 1);
    EXPECT_EQ(e[L"NsisApp"].programPath, L"C:\\Program Files\\NSIS App\\uninst.exe");

    EXPECT_EQ(e[L"{A1B2C3D4-0000-1111-2222-333344445555}"].programPath, L"MsiExec.exe");
    EXPECT_EQ(e[L"{A1B2C3D4-0000-1111-2222-333344445555}"].iconPath, L"");

    EXPECT_EQ(e[L"InstallShield_{99}"].iconPath, L"C:\\Apps\\Tool\\tool.exe");
    EXPECT_EQ(e[L"InstallShield_{99}"].iconIndex, 0);
    EXPECT_EQ(e[L"InstallShield_{99}"].programArgs, L"-runfromtemp -l0x0409");

    EXPECT_EQ(e[L"IEPlugin"].programPath, L"RunDll32");
    EXPECT_EQ(e[L"IEPlugin"].iconPath, L"");  // L"c:\\" found, but no L".exe" after it
    EXPECT_EQ(e[L"Driver"].programPath, L"C:\\WINDOWS\\rundll32.exe");
    EXPECT_EQ(e[L"Driver"].iconPath, L"C:\\WINDOWS\\rundll32.exe");  // "c:\" marker

    EXPECT_EQ(e[L"EnvPath"].iconPath, L"%ProgramFiles%\\Env\\env.ico");  // never expanded
    EXPECT_EQ(e[L"EnvPath"].programPath, L"%ProgramFiles%\\Env\\uninst.exe");
    EXPECT_EQ(e[L"Network"].programPath, L"\\\\server\\share\\net\\uninst.exe");
    EXPECT_EQ(e[L"Network"].iconPath, L"");

    EXPECT_EQ(e[L"Acme"].iconPath, L"C:\\Program Files\\Acme");
    EXPECT_EQ(e[L"Acme"].iconIndex, 0);  // the first comma is the folder's
    EXPECT_EQ(e[L"Acme"].programPath, L"C:\\Program Files\\Acme");
    EXPECT_EQ(e[L"Semi"].programPath, L"D:\\Games");
    EXPECT_EQ(e[L"DDrive"].iconPath, L"");  // other drives only through the folder markers

    EXPECT_EQ(e[L"DashName"].displayName, L"");
    EXPECT_EQ(e[L"Bare"].displayName, L"");
    EXPECT_EQ(e[L"Bare"].programPath, L"");
}

TEST_F(ProgramInventoryTest, CachedProgramNameIsTheIconWhenNoDisplayIcon) {
    Entry("Cached", "Cached", "MsiExec.exe /X{1}");
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, kArpCache + "\\Cached", "SlowInfoCache",
                               CacheRecord("C:\\Apps\\Tool\\tool.exe"));
    Entry("ShortCache", "Short", "\"C:\\Program Files\\S\\unins000.exe\"");
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, kArpCache + "\\ShortCache", "SlowInfoCache",
                               CacheRecord("C:\\ab"));  // 5 characters: ignored
    Entry("IconWins", "IconWins", "MsiExec.exe /X{2}", "C:\\own.ico");
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, kArpCache + "\\IconWins", "SlowInfoCache",
                               CacheRecord("C:\\cached.exe"));
    Entry("DashIcon", "DashIcon", "MsiExec.exe /X{3}", "-");
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, kArpCache + "\\DashIcon", "SlowInfoCache",
                               CacheRecord("C:\\\"Quoted\",x.exe"));

    auto e = EnumerateByKey();
    EXPECT_EQ(e[L"Cached"].iconPath, L"C:\\Apps\\Tool\\tool.exe");
    EXPECT_EQ(e[L"ShortCache"].iconPath, L"C:\\Program Files\\S\\unins000.exe");
    EXPECT_EQ(e[L"IconWins"].iconPath, L"C:\\own.ico");
    EXPECT_EQ(e[L"DashIcon"].iconPath, L"C:\\Quoted");  // L"-" counts as no icon; cache text is cleaned
}

// Product-code keys sort after letters and digits: a walk cut short would
// drop exactly the Windows Installer entries.
TEST_F(ProgramInventoryTest, EverySubkeyOfALargeSourceBecomesAnEntry) {
    for (int i = 0; i < 700; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "App%03d", i);
        ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key);
    }
    ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, kUninstall + "\\{3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04}");
    ScratchRegistry::CreateKey(HKEY_CURRENT_USER, kUninstall + "\\UserApp");
    inventory.Enumerate();
    ASSERT_EQ(inventory.Count(), 702u);
    EXPECT_EQ(inventory.LeftOut(), 0u);
    EXPECT_EQ(inventory.Entries()[700].keyName, L"{3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04}");
    EXPECT_EQ(inventory.Entries().back().keyName, L"UserApp");

    // A second Enumerate gives the same picture, not an appended one.
    inventory.Enumerate();
    EXPECT_EQ(inventory.Count(), 702u);
}

// Values in an Uninstall key name no entries of their own: a value never
// repeats an entry or reaches into another entry's subkeys.
TEST_F(ProgramInventoryTest, ValuesInTheUninstallKeyAreNoEntries) {
    Entry("Real", "Real", "C:\\r.exe");
    ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, kUninstall + "\\Real\\Child");
    for (const char* data : {"NotAKey", "Real", "REAL", "Real\\Child", "abc"})
        ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall, std::string("V ") + data, data);
    inventory.Enumerate();
    ASSERT_EQ(inventory.Count(), 1u);
    EXPECT_EQ(inventory.Entries()[0].keyName, L"Real");
    EXPECT_EQ(inventory.LeftOut(), 0u);
}

TEST_F(ProgramInventoryTest, LongTextsAreReadWhole) {
    Entry("Long", std::string(1200, 'N'), "C:\\Program Files\\L\\u.exe " + std::string(5000, 'a'),
          std::string(1000, 'i').c_str());
    auto e = EnumerateByKey();
    EXPECT_EQ(e[L"Long"].displayName, std::wstring(1200, L'N'));
    EXPECT_EQ(e[L"Long"].programArgs, std::wstring(5000, L'a'));
    EXPECT_EQ(e[L"Long"].iconPath, std::wstring(1000, L'i'));
}

TEST_F(ProgramInventoryTest, UserEntriesFollowTheMachineEntries) {
    Entry("MachineApp", "Machine App", "C:\\m.exe");
    const std::string userPath = kUninstall + "\\UserApp";
    ScratchRegistry::SetString(HKEY_CURRENT_USER, userPath, "DisplayName", "User App");
    ScratchRegistry::SetString(HKEY_CURRENT_USER, userPath, "UninstallString", "C:\\Users\\u\\un.exe /S");
    ScratchRegistry::SetString(HKEY_CURRENT_USER, userPath, "DisplayIcon", "C:\\Users\\u\\app.exe,2");
    ScratchRegistry::SetBinary(HKEY_CURRENT_USER, kArpCache + "\\UserNoIcon", "SlowInfoCache",
                               CacheRecord("C:\\Users\\u\\cached.exe"));
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kUninstall + "\\UserNoIcon", "DisplayName", "No Icon");

    inventory.Enumerate();
    ASSERT_EQ(inventory.Count(), 3u);
    const auto& entries = inventory.Entries();
    EXPECT_EQ(entries[0].keyName, L"MachineApp");
    EXPECT_EQ(entries[0].source, EntrySource::Machine);
    EXPECT_EQ(entries[1].keyName, L"UserApp");
    EXPECT_EQ(entries[1].source, EntrySource::User);
    EXPECT_EQ(entries[1].programArgs, L"/S");
    EXPECT_EQ(entries[1].iconIndex, 2);
    EXPECT_EQ(entries[2].iconPath, L"C:\\Users\\u\\cached.exe");  // the user's own cache record
}

TEST_F(ProgramInventoryTest, KeyNamesUpTo255CharactersAreRead) {
    // From the root these paths pass 260 characters.
    for (std::size_t length : {209u, 255u}) {
        Entry(std::string(length, 'k'), "Long " + std::to_string(length), "C:\\l.exe");
    }
    auto e = EnumerateByKey();
    EXPECT_EQ(e[std::wstring(209, L'k')].displayName, L"Long 209");
    EXPECT_EQ(e[std::wstring(255, L'k')].displayName, L"Long 255");
    EXPECT_EQ(inventory.LeftOut(), 0u);
}

TEST_F(ProgramInventoryTest, CachedNamesOfSixCharactersAreTheIcon) {
    Entry("Six", "Six", "MsiExec.exe /X{6}");
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, kArpCache + "\\Six", "SlowInfoCache", CacheRecord("C:\\abc"));
    Entry("Five", "Five", "MsiExec.exe /X{5}");
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, kArpCache + "\\Five", "SlowInfoCache", CacheRecord("C:\\ab"));
    auto e = EnumerateByKey();
    EXPECT_EQ(e[L"Six"].iconPath, L"C:\\abc");
    EXPECT_EQ(e[L"Five"].iconPath, L"");
}

// More entries in one list than the inventory takes of it: that list stops
// at the capacity, the next list is still read, and what was left out is
// counted for the list it belongs to.
TEST_F(ProgramInventoryTest, NeverMoreThan5000Entries) {
    fw::RegKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstall.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                              nullptr),
              ERROR_SUCCESS);
    for (int i = 0; i < 5002; ++i) {
        fw::RegKey entry;
        RegCreateKeyExA(key.get(), std::string("k").append(std::to_string(i)).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, entry.put(),
                        nullptr);
    }
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kUninstall + "\\UserApp", "DisplayName", "User App");
    inventory.Enumerate();
    ASSERT_EQ(inventory.Count(), ProgramInventory::kCapacity + 1);
    EXPECT_EQ(inventory.Entries().back().source, EntrySource::User) << L"a full machine list keeps out no user's entry";
    EXPECT_EQ(inventory.LeftOut(), 2u);
    ASSERT_EQ(inventory.Shortfalls().size(), 1u);
    EXPECT_EQ(inventory.Shortfalls()[0].list.source, EntrySource::Machine);
    EXPECT_EQ(inventory.Shortfalls()[0].leftOut, 2u);
}
