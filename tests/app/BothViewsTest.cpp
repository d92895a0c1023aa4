// Both registry views of 64-bit Windows, as each build sees them: the
// harness runs this program in a 64-bit prefix, the 32-bit build under WOW64
// as the product runs there. "Own" is the view this process sees by default
// (32-bit under WOW64, 64-bit for the 64-bit build), "other" the one it must
// ask for. Entries are seeded in the prefix's own registry, in both views
// and the user's key, under names of this process, and removed again.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "MainDialogTestAccess.h"
#include "RegistryEditor.h"
#include "RegistryPaths.h"
#include "TempFolder.h"
#include "ThisProgram.h"
#include "app/MainDialog.h"
#include "inventory/EntryBackup.h"
#include "framework/TextConversion.h"
#include "framework/Wow64.h"
#include "inventory/EntryValidation.h"
#include "inventory/ProgramInventory.h"
#include "resource.h"

namespace {

struct Place {
    HKEY root;
    REGSAM view;
};
constexpr bool k64BitBuild = sizeof(void*) == 8;
const Place kOwn{HKEY_LOCAL_MACHINE, k64BitBuild ? KEY_WOW64_64KEY : KEY_WOW64_32KEY};
const Place kOther{HKEY_LOCAL_MACHINE, k64BitBuild ? KEY_WOW64_32KEY : KEY_WOW64_64KEY};
const Place kUser{HKEY_CURRENT_USER, 0};
const EntrySource kOtherSource = k64BitBuild ? EntrySource::Machine32 : EntrySource::Machine64;
// The name under which this process reaches the other bitness's system folder.
const char* const kOtherSystemAlias = k64BitBuild ? "SysWOW64" : "Sysnative";

void SetValue(Place place, const std::string& path, const char* name, const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(place.root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | place.view, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

bool KeyExists(Place place, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(place.root, path.c_str(), 0, KEY_READ | place.view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string SystemFolder(const char* name) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\" + name + "\\";
}

std::string Quoted(const std::string& path) {
    std::string quoted(1, '"');
    quoted += path;
    quoted += '"';
    return quoted;
}

class BothViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(k64BitBuild || fw::RunsUnderWow64()) << "the harness runs this program in a 64-bit prefix";
    }
    ~BothViewsTest() override {
        for (const auto& [place, path] : seeded) RegDeleteKeyExA(place.root, path.c_str(), place.view, 0);
        for (const std::string& file : systemFiles) DeleteFileA(file.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Zaltrow");
    }

    // A key name of this process; the same tag gives the same name in every place.
    std::string Key(const std::string& tag) {
        return "ZaltrowViews_" + std::to_string(GetCurrentProcessId()) + "_" + tag;
    }
    void Entry(Place place, const std::string& tag, const std::string& name, const std::string& command) {
        const std::string path = kUninstall + "\\" + Key(tag);
        seeded.push_back({place, path});
        SetValue(place, path, "DisplayName", name);
        SetValue(place, path, "UninstallString", command);
    }
    void Cache(Place place, const std::string& tag) {
        const std::string path = kArpCache + "\\" + Key(tag);
        seeded.push_back({place, path});
        SetValue(place, path, "SlowInfoCache", "x");
    }
    // A copy of the stand-in uninstaller only in the system folder of the
    // other bitness; returns the path its installer would have registered.
    std::string OnlyInOtherSystemFolder(const std::string& tag) {
        const std::string file = Key(tag) + ".exe";
        const std::string real = SystemFolder(kOtherSystemAlias) + file;
        systemFiles.push_back(real);
        EXPECT_TRUE(CopyFileA(BesideThisProgram("fake_uninstaller.exe").c_str(), real.c_str(), FALSE)) << real;
        EXPECT_EQ(GetFileAttributesA((SystemFolder("System32") + file).c_str()), INVALID_FILE_ATTRIBUTES)
            << "this process sees its own system folder as System32";
        return SystemFolder("System32") + file;
    }

    // The row showing `name` (and `command`, when given); -1 when none does.
    static int RowOf(const fw::ListView& list, const std::string& name, const std::string& command = "") {
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (fw::Narrow(list.GetItemText(i, 0)) == name &&
                (command.empty() || fw::Narrow(list.GetItemText(i, 1)) == command))
                return i;
        return -1;
    }

    std::vector<std::pair<Place, std::string>> seeded;
    std::vector<std::string> systemFiles;
};

TEST_F(BothViewsTest, InventoryReadsItsOwnViewTheOtherThenTheUser) {
    Entry(kOwn, "Same", "Z64 Own", "MsiExec.exe /X{OWN}");
    Entry(kOther, "Same", "Z64 Other", "MsiExec.exe /X{OTHER}");
    Entry(kUser, "Same", "Z64 User", "MsiExec.exe /X{U}");
    Entry(kOther, "OnlyOther", "Z64 Only", "MsiExec.exe /X{O}");

    ProgramInventory inventory;
    inventory.Enumerate();
    std::vector<std::pair<std::string, EntrySource>> ours;
    for (const ProgramEntry& entry : inventory.Entries()) {
        if (entry.displayName.rfind(L"Z64 ", 0) == 0) ours.push_back({fw::Narrow(entry.displayName), entry.source});
    }
    const std::vector<std::pair<std::string, EntrySource>> expected{
        {"Z64 Own", EntrySource::Machine},
        {"Z64 Other", kOtherSource},
        {"Z64 Only", kOtherSource},
        {"Z64 User", EntrySource::User},
    };
    // The other view lists its keys in its own order.
    ASSERT_EQ(ours.size(), expected.size());
    EXPECT_EQ(ours.front(), expected.front());
    EXPECT_EQ(ours.back(), expected.back());
    EXPECT_TRUE(std::is_permutation(ours.begin(), ours.end(), expected.begin()));
}

TEST_F(BothViewsTest, RemovingAnOtherViewEntryLeavesItsNamesake) {
    Entry(kOwn, "Twin", "Z64 Twin", "MsiExec.exe /X{OWN}");
    // Red, so the question is the plain one.
    Entry(kOther, "Twin", "Z64 Twin", "C:\\nowhere\\z64-other.exe");
    Cache(kOwn, "Twin");
    Cache(kOther, "Twin");
    SetValue(kUser, "Software\\Zaltrow", "bDisableSplash", "1");
    fw::Modeless<MainDialog> dialog;
    ASSERT_TRUE(dialog.Create());
    auto& list = MainDialogTestAccess::List(dialog);
    auto rowOf = [&](const std::string& command) { return RowOf(list, "Z64 Twin", command); };
    ASSERT_GE(rowOf("MsiExec.exe /X{OWN}"), 0);
    list.SelectRows({rowOf("C:\\nowhere\\z64-other.exe")}, rowOf("C:\\nowhere\\z64-other.exe"));

    gui::BoxAnswerer question(gui::IsRemoveQuestion, gui::kYesRemove);
    gui::BoxAnswerer success([](HWND w) {
        return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find("successfully") != std::string::npos;
    }, IDOK);
    SendMessageA(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_REMOVE, BN_CLICKED), 0);
    ASSERT_NE(success.Seen().window, nullptr);
    EXPECT_FALSE(KeyExists(kOther, kUninstall + "\\" + Key("Twin")));
    EXPECT_FALSE(KeyExists(kOther, kArpCache + "\\" + Key("Twin")));
    EXPECT_TRUE(KeyExists(kOwn, kUninstall + "\\" + Key("Twin")));
    EXPECT_TRUE(KeyExists(kOwn, kArpCache + "\\" + Key("Twin")));
    EXPECT_EQ(rowOf("C:\\nowhere\\z64-other.exe"), -1);
    EXPECT_GE(rowOf("MsiExec.exe /X{OWN}"), 0);
}

// Backups name each view's key as a 64-bit registry editor sees it, so
// importing one restores the entry into the view it came from.
TEST_F(BothViewsTest, BackupsRestoreEachViewsEntryWhereItWas) {
    Entry(kOwn, "Back", "Z64 Back own", "MsiExec.exe /X{OWN}");
    Entry(kOther, "Back", "Z64 Back other", "MsiExec.exe /X{OTHER}");
    const std::string key = kUninstall + "\\" + Key("Back");
    for (const auto& [place, source] : {std::pair{kOwn, EntrySource::Machine}, std::pair{kOther, kOtherSource}}) {
        EntryBackup backup(ListRef{source, {}});
        ASSERT_TRUE(backup.Save(fw::Widen(Key("Back")), DefaultBackupFolder())) << fw::Narrow(backup.FailureText());
        ASSERT_FALSE(backup.File().empty());
        ASSERT_EQ(RegDeleteKeyExA(place.root, key.c_str(), place.view, 0), ERROR_SUCCESS);
        EXPECT_EQ(ImportWithRegedit(backup.File()), 0u);
        DeleteFileW(backup.File().c_str());
    }
    HKEY restored = nullptr;
    for (const auto& [place, name] : {std::pair{kOwn, "Z64 Back own"}, std::pair{kOther, "Z64 Back other"}}) {
        ASSERT_EQ(RegOpenKeyExA(place.root, key.c_str(), 0, KEY_READ | place.view, &restored), ERROR_SUCCESS);
        char text[64] = {};
        DWORD size = sizeof text - 1;
        RegQueryValueExA(restored, "DisplayName", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(restored);
        EXPECT_STREQ(text, name);
    }
}

// An other-view program's uninstaller in its own bitness's System32 is
// present and is the file started; the same command in this process's own
// view names a missing file.
TEST_F(BothViewsTest, SystemFolderUninstallerOfAnOtherViewEntryIsFoundAndStarted) {
    const std::string registered = OnlyInOtherSystemFolder("Tool");
    // The stand-in proves which file ran by deleting the own view's entry.
    const std::string command = registered + " remove " + kUninstall + "\\" + Key("Witness");
    Entry(kOther, "Tool", "Z64 System Tool", command);
    Entry(kOwn, "Witness", "Z64 Witness", registered);
    SetValue(kUser, "Software\\Zaltrow", "bDisableSplash", "1");

    fw::Modeless<MainDialog> dialog;
    ASSERT_TRUE(dialog.Create());
    auto& list = MainDialogTestAccess::List(dialog);
    auto rowOf = [&](const std::string& name) { return RowOf(list, name); };
    ASSERT_GE(rowOf("Z64 System Tool"), 0);
    EXPECT_EQ(list.GetItemData(rowOf("Z64 System Tool")), 0);
    EXPECT_EQ(list.GetItemData(rowOf("Z64 Witness")), PhantomMark);

    list.SelectRows({rowOf("Z64 System Tool")}, rowOf("Z64 System Tool"));
    // The entry itself stays listed, so the removal offer follows; Yes
    // removes it from its own view only.
    Entry(kOwn, "Tool", "Z64 System Tool twin", "MsiExec.exe /X{TWIN}");
    gui::BoxAnswerer offer([](HWND w) { return gui::HasButton(w, IDCANCEL, "&No"); }, IDOK);
    gui::BoxAnswerer success([](HWND w) {
        return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find("successfully") != std::string::npos;
    }, IDOK);
    SendMessageA(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_UNINSTALL, BN_CLICKED), 0);  // the wait ends by itself
    EXPECT_NE(offer.Seen().window, nullptr);
    EXPECT_FALSE(KeyExists(kOwn, kUninstall + "\\" + Key("Witness"))) << "the stand-in did not run";
    EXPECT_NE(success.Seen().window, nullptr);
    EXPECT_FALSE(KeyExists(kOther, kUninstall + "\\" + Key("Tool")));
    EXPECT_TRUE(KeyExists(kOwn, kUninstall + "\\" + Key("Tool")));
}

// The real program, started as a person starts it, shows all three lists.
TEST_F(BothViewsTest, RealProgramListsEverySourceWithTheRightRedRows) {
    TempFolder files;
    const std::string present = files.WriteFile("Tool\\unins000.exe");
    Entry(kOwn, "A", "Z64E own present", Quoted(present) + " /S");
    Entry(kOwn, "B", "Z64E own gone", files.Join("gone\\u.exe"));
    Entry(kOther, "C", "Z64E other system", OnlyInOtherSystemFolder("Sys") + " /x");
    Entry(kOther, "D", "Z64E other gone", files.Join("gone64\\u.exe"));
    Entry(kUser, "E", "Z64E user", "MsiExec.exe /X{E}");
    Entry(kUser, "F", "Z64E user gone", files.Join("goneU\\u.exe"));
    SetValue(kUser, "Software\\Zaltrow", "bDisableSplash", "1");

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string command = Quoted(BesideThisProgram(ZALTROW_EXE_FROM_TESTS));
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, files.Path().c_str(),
                               &startup, &process))
        << command << ": " << GetLastError();
    HWND window = gui::WaitForWindow(process.dwProcessId, "#32770", "Zaltrow", 15000);
    ASSERT_NE(window, nullptr);
    HWND list = GetDlgItem(window, IDC_PROGRAM_LIST);
    std::vector<std::pair<std::string, LPARAM>> ours;
    const auto rows = gui::RemoteListRows(list, 1);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i][0].rfind("Z64E ", 0) == 0)
            ours.push_back({rows[i][0], gui::RemoteItemData(list, static_cast<int>(i))});
    }
    const std::vector<std::pair<std::string, LPARAM>> expected{
        {"Z64E other gone", PhantomMark}, {"Z64E other system", 0}, {"Z64E own gone", PhantomMark},
        {"Z64E own present", 0},          {"Z64E user", 0},         {"Z64E user gone", PhantomMark},
    };
    EXPECT_EQ(ours, expected);

    gui::PressButton(window, IDCANCEL);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    TerminateProcess(process.hProcess, 1);  // no-op once it has ended
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace
