// What each read asks the registry for. The window runs as invoked, and a
// standard user may open the machine's keys and other users' for reading
// only; Wine grants any access, so a read that asks for more works here and
// comes up empty on Windows. Every open is recorded instead, over scratch
// lists: both machine views, the user's own, another user's, with an
// ARPCache record and a Windows Installer entry.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "BuildConfig.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "cli/ConsoleProgram.h"
#include "framework/RegistryKey.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "framework/Wow64.h"
#include "inventory/BackupRestore.h"
#include "inventory/EntryBackup.h"
#include "inventory/EntryJudgement.h"
#include "inventory/EntryRemoval.h"
#include "inventory/ProgramInventory.h"
#include "registry/SettingsStore.h"

namespace {

constexpr REGSAM kReadOnly = KEY_READ | KEY_WOW64_64KEY | KEY_WOW64_32KEY;
const std::wstring kOtherSid = L"S-1-5-21-1111-2222-3333-1001";
const std::wstring kProduct = L"{0A1B2C3D-1111-2222-3333-444455556666}";
const std::wstring kCachedProgram = L"C:\\Cached\\app.exe";

struct Open {
    std::wstring path;
    REGSAM access;
    bool create;
};

// Every open while it lives; a list fill opens on two threads.
class OpenRecorder {
public:
    OpenRecorder() {
        fw::SetRegistryOpenObserver([this](HKEY, const std::wstring& path, REGSAM access, bool create) {
            const std::lock_guard lock(mutex_);
            opens_.push_back({path, access, create});
        });
    }
    ~OpenRecorder() { fw::SetRegistryOpenObserver({}); }
    std::vector<Open> Opens() {
        const std::lock_guard lock(mutex_);
        return opens_;
    }

private:
    std::mutex mutex_;
    std::vector<Open> opens_;
};

// Written straight through the view the program reads it in.
fw::RegKey Seed(HKEY root, REGSAM view, const std::wstring& path) {
    fw::RegKey key;
    const LONG rc =
        RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, key.put(), nullptr);
    if (rc != ERROR_SUCCESS) key.release();
    EXPECT_EQ(rc, ERROR_SUCCESS) << path;
    return key;
}
void Set(HKEY key, const wchar_t* name, DWORD type, const void* data, std::size_t bytes) {
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(bytes)),
              ERROR_SUCCESS);
}
void SetText(HKEY key, const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
    Set(key, name, type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ReadAccess : public ::testing::Test {
protected:
    void SetUp() override {
        // The 64-bit build reads the 32-bit view where HKLM has one.
        if constexpr (sizeof(void*) == 8) Seed(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"Software\\Wow6432Node");
        for (EntrySource source : SystemSources()) {
            const ListRef list{source, {}};
            const HKEY root = SourceRoot(source);
            const REGSAM view = SourceView(source);
            const std::wstring uninstall = ListKeyPath(list, ProgramInventory::kUninstallPath) + L"\\";
            // No icon of its own: its ARPCache record is read for one.
            const fw::RegKey gone = Seed(root, view, uninstall + L"Gone");
            SetText(gone.get(), L"DisplayName", L"Gone");
            SetText(gone.get(), L"UninstallString", L"C:\\Gone\\unins000.exe");
            std::wstring record(14, L'\0');  // the record's header, then the program's name
            record += kCachedProgram;
            Set(Seed(root, view, ListKeyPath(list, ProgramInventory::kArpCachePath) + L"\\Gone").get(),
                L"SlowInfoCache", REG_BINARY, record.data(), record.size() * sizeof(wchar_t));
            const fw::RegKey product = Seed(root, view, uninstall + kProduct);
            SetText(product.get(), L"DisplayName", L"Installed");
            SetText(product.get(), L"UninstallString", L"MsiExec.exe /X" + kProduct);
            const DWORD one = 1;
            Set(product.get(), L"WindowsInstaller", REG_DWORD, &one, sizeof one);
        }
        // Another user's command names that user's folders, read from the
        // profile list and the user's own shell folders.
        const fw::RegKey other = Seed(HKEY_USERS, 0, ListKeyPath({EntrySource::OtherUser, kOtherSid},
                                                                 ProgramInventory::kUninstallPath) + L"\\Other");
        SetText(other.get(), L"DisplayName", L"Other");
        SetText(other.get(), L"UninstallString", L"%APPDATA%\\Other\\unins000.exe", REG_EXPAND_SZ);
        SetText(Seed(HKEY_LOCAL_MACHINE, fw::RunsUnderWow64() ? KEY_WOW64_64KEY : 0,
                     L"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + kOtherSid).get(),
                L"ProfileImagePath", L"C:\\Users\\other");
        const std::wstring folders = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
        SetText(Seed(HKEY_USERS, 0, kOtherSid + folders).get(), L"AppData", L"%USERPROFILE%\\Roaming",
                REG_EXPAND_SZ);
        ScratchRegistry::SetString(HKEY_CURRENT_USER, "Software\\" ZALTROW_SETTINGS_KEY, "Sort", "2,1");

        EntryBackup backup({EntrySource::User, {}});
        ASSERT_TRUE(backup.Save(L"Gone", folder_)) << backup.FailureText();
        backupFile_ = backup.File();
    }

    // The console program in this process, its standard output into a
    // file: the exit code, and the output.
    std::pair<int, std::string> Console(const std::vector<std::wstring>& words) {
        const std::string out = files_.Join("out.txt");
        const HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
        int code = -1;
        {
            const fw::FileHandle file(
                CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr));
            SetStdHandle(STD_OUTPUT_HANDLE, file.get());
            code = ConsoleProgram().Run(words);
            SetStdHandle(STD_OUTPUT_HANDLE, saved);
        }
        return {code, FileText(out)};
    }

    ScratchRegistry scratch_{ScratchRegistry::Roots::AllUsers};
    TempFolder files_;
    const std::wstring folder_ = fw::Widen(files_.Join("Removed"));
    std::wstring backupFile_;
};

}  // namespace

TEST_F(ReadAccess, EveryReadAsksToReadOnlyAndOnlyTheRemovalAsksToDelete) {
    const ListRef machine{EntrySource::Machine, {}}, other{EntrySource::OtherUser, kOtherSid};
    enum class Asks { ToRead, Nothing, ToDelete };
    struct Path {
        const char* name;
        std::function<void()> run;
        Asks asks = Asks::ToRead;
    };
    const Path paths[] = {
        {"every list read and judged",
         [] {
             ProgramInventory inventory;
             inventory.Enumerate(true);
             std::set<EntrySource> read;
             std::size_t cachedIcons = 0;
             for (const ListedEntry& listed : ListEntries(inventory)) {
                 read.insert(listed.entry->source);
                 cachedIcons += listed.phantom && listed.entry->iconPath == kCachedProgram;
             }
             EXPECT_EQ(read.size(), SystemSources().size() + 1) << "a list went unread";
             EXPECT_GE(cachedIcons, SystemSources().size()) << "the ARPCache records went unread";
         }},
        {"settings read",
         [] { EXPECT_EQ(SettingsStore().ReadString(ZALTROW_SETTINGS_KEY, "Sort", HKEY_CURRENT_USER), "2,1"); }},
        {"entries saved before a removal",
         [&] {
             for (const ListRef& list : {machine, other}) {
                 EntryBackup backup(list);
                 EXPECT_TRUE(backup.Save(list == other ? L"Other" : L"Gone", folder_)) << backup.FailureText();
                 EXPECT_FALSE(backup.File().empty());
             }
         }},
        {"whether an entry is there",
         [&] { EXPECT_TRUE(EntryExists(machine, kProduct) && EntryExists(other, L"Other")); }},
        {"a restore that finds its entry there",
         [&] {
             EXPECT_EQ(BackupRestore::Restore(backupFile_, false, folder_).outcome, BackupRestore::RestoreOutcome::Exists);
         }},
        {"zaltrow list --all-users --json",
         [&] {
             const auto [code, out] = Console({L"list", L"--all-users", L"--json"});
             EXPECT_EQ(code, 0);
             EXPECT_NE(out.find(fw::ToUtf8(kOtherSid)), std::string::npos) << out;
         }},
        {"zaltrow backups",
         [&] {
             const auto [code, out] = Console({L"backups", L"--backups", folder_});
             EXPECT_EQ(code, 0);
             EXPECT_NE(out.find(fw::ToUtf8(backupFile_)), std::string::npos) << out;
         },
         Asks::Nothing},  // the files alone
        {"an entry removed",
         [] {
             TempFolder backups;
             EXPECT_EQ(RemoveEntry({EntrySource::User, {}}, L"Gone", fw::Widen(backups.Path())).outcome,
                       RemovalResult::RemovalOutcome::Removed);
         },
         Asks::ToDelete},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.name);
        OpenRecorder recorder;
        path.run();
        const std::vector<Open> opens = recorder.Opens();
        EXPECT_EQ(opens.empty(), path.asks == Asks::Nothing);
        bool deletes = false;
        for (const Open& open : opens) {
            deletes |= (open.access & DELETE) != 0;
            if (path.asks == Asks::ToDelete) continue;
            EXPECT_EQ(open.access & ~kReadOnly, 0u) << open.path << " asks for 0x" << std::hex << open.access;
            EXPECT_FALSE(open.create) << open.path << " is created";
        }
        EXPECT_EQ(deletes, path.asks == Asks::ToDelete);
    }
}
