// Restoring real backups: entries seeded in the scratch registry are saved
// by EntryBackup as a removal saves them (into a folder of the test's own),
// deleted, restored, and saved again to compare.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RegistryPaths.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "framework/RegistryKey.h"
#include "framework/TextConversion.h"
#include "inventory/BackupRestore.h"
#include "inventory/EntryBackup.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using RestoreOutcome = BackupRestore::RestoreOutcome;

std::wstring W(const std::string& text) { return fw::Widen(text); }

Bytes Utf16(const std::wstring& text, bool terminated = true) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.c_str());
    return Bytes(bytes, bytes + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
}

Bytes ReadBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return W(path);
}

// Exactly these bytes: what lies behind them is no zero the registry could
// count in as a text's terminator.
void SetValue(HKEY root, const std::string& path, const std::wstring& name, DWORD type, Bytes data) {
    fw::RegKey key = fw::CreateRegKey(root, W(path), KEY_ALL_ACCESS);
    const DWORD size = static_cast<DWORD>(data.size());
    data.insert(data.end(), {0xFF, 0xFF});
    ASSERT_EQ(RegSetValueExW(key.get(), name.c_str(), 0, type, data.data(), size), ERROR_SUCCESS);
}

class BackupRestoreTest : public ::testing::Test {
protected:
    BackupRestoreTest() {
        ScratchRegistry::SetString(HKEY_CURRENT_USER, kUserShellFolders, "Local AppData", files.Path());
    }
    // The entry saved as a removal saves it: the backup file.
    static std::wstring Save(HKEY root, const std::string& key) {
        EntryBackup backup(ListRef{root == HKEY_CURRENT_USER ? EntrySource::User : EntrySource::Machine, {}});
        EXPECT_TRUE(backup.Save(W(key), DefaultBackupFolder())) << fw::Narrow(backup.FailureText());
        EXPECT_FALSE(backup.File().empty());
        return backup.File();
    }

    TempFolder files;
    ScratchRegistry scratch;
};

TEST_F(BackupRestoreTest, RestoresBitForBitAndReplacesOnlyWhenAsked) {
    Bytes blob(300);
    for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<std::uint8_t>(i * 7);
    const struct {
        HKEY root;
        std::string key;
        bool cache;
    } cases[] = {{HKEY_LOCAL_MACHINE, "{6F1A2B3C-0001} Caf\xe9", true}, {HKEY_CURRENT_USER, "User Tool", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const std::string entry = kUninstall + "\\" + c.key, cache = kArpCache + "\\" + c.key;
        SetValue(c.root, entry, L"DisplayName", REG_SZ, Utf16(L"Restored Caf\u00e9"));
        SetValue(c.root, entry, L"Raw", REG_SZ, Utf16(L"no zero", false));
        SetValue(c.root, entry, L"Odd", REG_SZ, {'o', 0, 'd'});
        SetValue(c.root, entry, L"Lines", REG_MULTI_SZ, Utf16(std::wstring(L"one\0two\0", 8)));
        SetValue(c.root, entry, L"Blob", REG_BINARY, blob);
        SetValue(c.root, entry + "\\Sub\\Deeper", L"", REG_DWORD, {1, 2, 3, 4});
        if (c.cache) SetValue(c.root, cache, L"SlowInfoCache", REG_BINARY, blob);
        const std::wstring file = Save(c.root, c.key);
        const Bytes backup = ReadBytes(file);

        RegDeleteTreeA(c.root, entry.c_str());
        RegDeleteTreeA(c.root, cache.c_str());
        // A file that is not the one shown (another digest) restores nothing.
        const std::wstring shown = BackupRestore::Inspect(file).sha256;
        ASSERT_EQ(shown.size(), 64u);
        EXPECT_EQ(BackupRestore::Restore(file, false, DefaultBackupFolder(), std::wstring(64, L'0')).outcome,
                  RestoreOutcome::NotABackup);
        EXPECT_FALSE(ScratchRegistry::KeyExists(c.root, entry));
        BackupRestore::Result restored = BackupRestore::Restore(file, false, DefaultBackupFolder(), shown);
        ASSERT_EQ(restored.outcome, RestoreOutcome::Restored) << fw::Narrow(restored.reason);
        EXPECT_EQ(fw::Narrow(restored.entry.keyName), c.key);
        EXPECT_EQ(restored.entry.displayName, u"Restored Caf\u00e9");
        EXPECT_EQ(ReadBytes(Save(c.root, c.key)), backup);

        // An entry that is there stays as it is ...
        SetValue(c.root, entry, L"Stray", REG_SZ, Utf16(L"added since"));
        SetValue(c.root, cache + "\\Stray key", L"x", REG_DWORD, {0, 0, 0, 0});
        const Bytes current = ReadBytes(Save(c.root, c.key));
        EXPECT_EQ(BackupRestore::Restore(file, false, DefaultBackupFolder()).outcome, RestoreOutcome::Exists);
        EXPECT_EQ(ReadBytes(Save(c.root, c.key)), current);
        // ... unless replacing it is asked for: then it is saved first, and
        // afterwards the entry is the file's, without what was added.
        restored = BackupRestore::Restore(file, true, DefaultBackupFolder());
        ASSERT_EQ(restored.outcome, RestoreOutcome::Restored) << fw::Narrow(restored.reason);
        EXPECT_EQ(ReadBytes(restored.replacedBackup), current);
        EXPECT_EQ(ReadBytes(Save(c.root, c.key)), backup);
    }

    // A replace whose write fails part-way leaves the entry that was there
    // as it was. Under a volatile key only volatile keys can be made, so the
    // file's ARPCache record cannot be.
    SetValue(HKEY_CURRENT_USER, kUninstall + "\\Kept", L"DisplayName", REG_SZ, Utf16(L"Kept As It Was"));
    const Bytes before = ReadBytes(Save(HKEY_CURRENT_USER, "Kept"));
    RegDeleteTreeA(HKEY_CURRENT_USER, kArpCache.c_str());
    HKEY volatileCache = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kArpCache.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &volatileCache, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(volatileCache);
    const std::u16string root = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\";
    const std::wstring file = WriteBytes(
        files.Join("kept.reg"),
        reg_file::Utf16LeWithBom(reg_file::FileText({{root + u"Uninstall\\Kept", {{u"DisplayName", reg_file::kString, {'N', 0, 0, 0}}}},
                                                     {root + u"App Management\\ARPCache\\Kept", {}}})));
    const BackupRestore::Result failed = BackupRestore::Restore(file, true, DefaultBackupFolder());
    EXPECT_EQ(failed.outcome, RestoreOutcome::Failed);
    EXPECT_NE(failed.reason.find(L"The entry that was there is back as it was."), std::wstring::npos)
        << fw::Narrow(failed.reason);
    EXPECT_EQ(ReadBytes(Save(HKEY_CURRENT_USER, "Kept")), before);
}

TEST_F(BackupRestoreTest, RefusesWhatIsNotOneEntrysBackupAndWritesNothing) {
    const std::u16string machine = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
    const reg_file::Value name{u"DisplayName", reg_file::kString, {'X', 0, 0, 0}};
    const reg_file::Key entry{machine + u"Uninstall\\X", {name}};
    const auto file = [&](const std::string& fileName, const std::vector<reg_file::Key>& keys,
                          const std::u16string& more = u"") {
        return WriteBytes(files.Join(fileName), reg_file::Utf16LeWithBom(reg_file::FileText(keys) + more));
    };
    const struct {
        const char* what;
        std::wstring file;
        RestoreOutcome outcome;
    } cases[] = {
        {"a key outside the entry", file("run.reg", {entry, {machine + u"Run", {name}}}), RestoreOutcome::NotABackup},
        {"two entries", file("two.reg", {entry, {machine + u"Uninstall\\Y", {}}}), RestoreOutcome::NotABackup},
        {"no Uninstall key", file("cache.reg", {{machine + u"App Management\\ARPCache\\X", {}}}), RestoreOutcome::NotABackup},
        {"a deletion", file("deletion.reg", {entry}, u"[-" + machine + u"Uninstall\\Y]\r\n"), RestoreOutcome::NotABackup},
        {"a user's classes",
         file("classes.reg",
              {{u"HKEY_USERS\\S-1-5-21-1_Classes\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X", {}}}),
         RestoreOutcome::NotABackup},
        // Parts the registry would read otherwise than written, and SIDs
        // that are no user's.
        {"a part that climbs", file("up.reg", {entry, {machine + u"Uninstall\\X\\..\\..\\Run", {name}}}),
         RestoreOutcome::NotABackup},
        {"a part that stays", file("dot.reg", {{machine + u"Uninstall\\.\\X", {name}}}), RestoreOutcome::NotABackup},
        {"a SID with letters",
         file("sid.reg", {{u"HKEY_USERS\\S-1-5-21-12ab\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X", {}}}),
         RestoreOutcome::NotABackup},
        {"a SID with an empty part",
         file("sid2.reg", {{u"HKEY_USERS\\S-1-12-1-1--2\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X", {}}}),
         RestoreOutcome::NotABackup},
        {"a service's SID",
         file("sid3.reg", {{u"HKEY_USERS\\S-1-5-18\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X", {}}}),
         RestoreOutcome::NotABackup},
        {"no registration file", W(files.WriteFile("garbage.reg", std::string("MZ\x90\0\3\0\0\0", 8))),
         RestoreOutcome::NotABackup},
        {"a missing file", W(files.Join("missing.reg")), RestoreOutcome::FileMissing},
        // A part past the registry's limit is refused before anything is written.
        {"a key name past the registry's limit",
         file("long.reg", {entry, {machine + u"Uninstall\\X\\" + std::u16string(300, u'L'), {}}}), RestoreOutcome::NotABackup},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const BackupRestore::Result result = BackupRestore::Restore(c.file, true, DefaultBackupFolder());
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_FALSE(result.reason.empty());
        EXPECT_EQ(result.reason.find(L"Nothing of the backup was kept.") != std::wstring::npos,
                  c.outcome == RestoreOutcome::Failed)
            << fw::Narrow(result.reason);
        // Where a file holds the entry's key it comes first: none of it was written.
        EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\X"));
    }

    // Every list the program reads (letter case as the registry ignores
    // it), named in the command line's words on 32-bit, then 64-bit Windows,
    // and the root a 32-bit system restores it to (its one machine list).
    struct List {
        std::u16string root, names, oneView;
    };
    for (const List& c : {List{u"HKEY_LOCAL_MACHINE\\SOFTWARE", u"machine-32 machine-64", u"HKEY_LOCAL_MACHINE\\SOFTWARE"},
                          List{u"hkey_local_machine\\software\\wow6432node", u"machine-32 machine-32", u"hkey_local_machine\\software"},
                          List{u"HKEY_CURRENT_USER\\Software", u"user user", u"HKEY_CURRENT_USER\\Software"},
                          List{u"HKEY_USERS\\S-1-12-1-5\\Software", u"user:S-1-12-1-5 user:S-1-12-1-5", u"HKEY_USERS\\S-1-12-1-5\\Software"}}) {
        const std::u16string key = c.root + u"\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X";
        const BackupRestore::Inspection inspection = BackupRestore::Inspect(file("list.reg", {{key, {name}}}));
        EXPECT_EQ(inspection.entry.listRoot, c.root) << fw::Narrow(inspection.reason);
        EXPECT_EQ(ListNameOfRoot(c.root, false) + u" " + ListNameOfRoot(c.root, true), c.names);
        EXPECT_EQ(InOneMachineView(key), c.oneView + u"\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X");
    }
    EXPECT_EQ(InOneMachineView(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node"), u"HKEY_LOCAL_MACHINE\\SOFTWARE");
}

TEST_F(BackupRestoreTest, ListsBackupsNewestFirstAndCountsOtherRegFiles) {
    SetValue(HKEY_CURRENT_USER, kUninstall + "\\Listed", L"DisplayName", REG_SZ, Utf16(L"Listed App"));
    const Bytes backup = ReadBytes(Save(HKEY_CURRENT_USER, "Listed"));
    const std::string folder = files.Join("list");
    std::filesystem::create_directories(folder);
    const auto put = [&](const std::string& name, const Bytes& bytes, int hoursAgo) {
        WriteBytes(folder + "\\" + name, bytes);
        std::filesystem::last_write_time(folder + "\\" + name,
                                         std::filesystem::file_time_type::clock::now() - std::chrono::hours(hoursAgo));
    };
    put("2026-01-02 03-04-05 A.reg", backup, 3);
    put("2026-01-02 03-04-05 A (2).reg", backup, 2);
    put("2026-01-02 03-04-06 B.reg", backup, 9);
    put("2025-12-31 23-59-59 C.reg", backup, 1);
    put("no time.reg", backup, 0);
    put("2027-01-01 00-00-00 other.reg", Bytes{'R', 'E', 'G', 'E', 'D', 'I', 'T', '4'}, 0);
    put("2027-01-01 00-00-00 notes.txt", backup, 0);

    const BackupRestore::Listing listing = BackupRestore::ListBackups(W(folder));
    EXPECT_EQ(listing.error, DWORD{ERROR_SUCCESS});
    EXPECT_EQ(listing.skipped, 1u);
    std::vector<std::string> names;
    for (const BackupRestore::ListedBackup& listed : listing.backups) {
        names.push_back(std::filesystem::path(listed.file).filename().string());
        EXPECT_EQ(listed.entry.keyName, u"Listed");
        EXPECT_EQ(listed.entry.displayName, u"Listed App");
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"2026-01-02 03-04-06 B.reg", "2026-01-02 03-04-05 A (2).reg",
                                        "2026-01-02 03-04-05 A.reg", "2025-12-31 23-59-59 C.reg", "no time.reg"}));

    const BackupRestore::Listing none = BackupRestore::ListBackups(W(files.Join("no such folder")));
    EXPECT_TRUE(none.backups.empty() && none.error == ERROR_SUCCESS);
}

}  // namespace
