// The 32-bit program on 64-bit Windows: run by the harness in a 64-bit
// prefix, where this test program runs under WOW64 as the product does.
// Entries are seeded in the prefix's own registry, in both views and the
// user's key, under names of this process, and removed again.

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
const Place k32{HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY};
const Place k64{HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY};
const Place kUser{HKEY_CURRENT_USER, 0};

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

class Wow64Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fw::RunsUnderWow64()) << "the harness runs this program in a 64-bit prefix";
    }
    ~Wow64Test() override {
        for (const auto& [place, path] : seeded) RegDeleteKeyExA(place.root, path.c_str(), place.view, 0);
        for (const std::string& file : systemFiles) DeleteFileA(file.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Zaltrow");
    }

    // A key name of this process; the same tag gives the same name in every place.
    std::string Key(const std::string& tag) {
        return "ZaltrowWow64_" + std::to_string(GetCurrentProcessId()) + "_" + tag;
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
    // A copy of the stand-in uninstaller in the real, 64-bit system folder
    // only; returns the path a 64-bit installer would have registered.
    std::string OnlyIn64BitSystemFolder(const std::string& tag) {
        const std::string file = Key(tag) + ".exe";
        const std::string real = SystemFolder("Sysnative") + file;
        systemFiles.push_back(real);
        EXPECT_TRUE(CopyFileA(BesideThisProgram("fake_uninstaller.exe").c_str(), real.c_str(), FALSE)) << real;
        EXPECT_EQ(GetFileAttributesA((SystemFolder("System32") + file).c_str()), INVALID_FILE_ATTRIBUTES)
            << "this process sees the 32-bit system folder as System32";
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

TEST_F(Wow64Test, InventoryReadsBothViewsThenTheUser) {
    Entry(k32, "Same", "Z64 Thirty-Two", "MsiExec.exe /X{32}");
    Entry(k64, "Same", "Z64 Sixty-Four", "MsiExec.exe /X{64}");
    Entry(kUser, "Same", "Z64 User", "MsiExec.exe /X{U}");
    Entry(k64, "Only64", "Z64 Only", "MsiExec.exe /X{O}");

    ProgramInventory inventory;
    inventory.Enumerate();
    std::vector<std::pair<std::string, EntrySource>> ours;
    for (const ProgramEntry& entry : inventory.Entries()) {
        if (entry.displayName.rfind(L"Z64 ", 0) == 0) ours.push_back({fw::Narrow(entry.displayName), entry.source});
    }
    const std::vector<std::pair<std::string, EntrySource>> expected{
        {"Z64 Thirty-Two", EntrySource::Machine},
        {"Z64 Sixty-Four", EntrySource::Machine64},
        {"Z64 Only", EntrySource::Machine64},
        {"Z64 User", EntrySource::User},
    };
    // The 64-bit view lists its keys in its own order.
    ASSERT_EQ(ours.size(), expected.size());
    EXPECT_EQ(ours.front(), expected.front());
    EXPECT_EQ(ours.back(), expected.back());
    EXPECT_TRUE(std::is_permutation(ours.begin(), ours.end(), expected.begin()));
}

TEST_F(Wow64Test, RemovingA64BitEntryLeavesIts32BitNamesake) {
    Entry(k32, "Twin", "Z64 Twin", "MsiExec.exe /X{32}");
    Entry(k64, "Twin", "Z64 Twin", "MsiExec.exe /X{64}");
    Cache(k32, "Twin");
    Cache(k64, "Twin");
    SetValue(kUser, "Software\\Zaltrow", "bDisableSplash", "1");
    fw::Modeless<MainDialog> dialog;
    ASSERT_TRUE(dialog.Create());
    auto& list = MainDialogTestAccess::List(dialog);
    auto rowOf = [&](const std::string& command) { return RowOf(list, "Z64 Twin", command); };
    ASSERT_GE(rowOf("MsiExec.exe /X{32}"), 0);
    list.SetItemState(rowOf("MsiExec.exe /X{64}"), LVIS_SELECTED, LVIS_SELECTED);

    gui::BoxAnswerer question(gui::IsMessageBox, IDYES);
    gui::BoxAnswerer success([](HWND w) {
        return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find("successfully") != std::string::npos;
    }, IDOK);
    SendMessageA(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_REMOVE, BN_CLICKED), 0);
    ASSERT_NE(success.Seen().window, nullptr);
    EXPECT_FALSE(KeyExists(k64, kUninstall + "\\" + Key("Twin")));
    EXPECT_FALSE(KeyExists(k64, kArpCache + "\\" + Key("Twin")));
    EXPECT_TRUE(KeyExists(k32, kUninstall + "\\" + Key("Twin")));
    EXPECT_TRUE(KeyExists(k32, kArpCache + "\\" + Key("Twin")));
    EXPECT_EQ(rowOf("MsiExec.exe /X{64}"), -1);
    EXPECT_GE(rowOf("MsiExec.exe /X{32}"), 0);
}

// Backups name each view's key as a 64-bit registry editor sees it, so
// importing one restores the entry into the view it came from.
TEST_F(Wow64Test, BackupsRestoreEachViewsEntryWhereItWas) {
    Entry(k32, "Back", "Z64 Back 32", "MsiExec.exe /X{32}");
    Entry(k64, "Back", "Z64 Back 64", "MsiExec.exe /X{64}");
    const std::string key = kUninstall + "\\" + Key("Back");
    for (const Place& place : {k32, k64}) {
        EntryBackup backup(place.root, place.view);
        ASSERT_TRUE(backup.Save(fw::Widen(Key("Back")))) << fw::Narrow(backup.FailureText());
        ASSERT_FALSE(backup.File().empty());
        ASSERT_EQ(RegDeleteKeyExA(place.root, key.c_str(), place.view, 0), ERROR_SUCCESS);
        EXPECT_EQ(ImportWithRegedit(backup.File()), 0u);
        DeleteFileW(backup.File().c_str());
    }
    HKEY restored = nullptr;
    for (const auto& [place, name] : {std::pair{k32, "Z64 Back 32"}, std::pair{k64, "Z64 Back 64"}}) {
        ASSERT_EQ(RegOpenKeyExA(place.root, key.c_str(), 0, KEY_READ | place.view, &restored), ERROR_SUCCESS);
        char text[64] = {};
        DWORD size = sizeof text - 1;
        RegQueryValueExA(restored, "DisplayName", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(restored);
        EXPECT_STREQ(text, name);
    }
}

// A 64-bit program's uninstaller in the real System32 is present and is the
// file started; the same command in the 32-bit view names a missing file.
TEST_F(Wow64Test, SystemFolderUninstallerOfA64BitEntryIsFoundAndStarted) {
    const std::string registered = OnlyIn64BitSystemFolder("Tool");
    // The stand-in proves which file ran by deleting the 32-bit entry.
    const std::string command = registered + " remove " + kUninstall + "\\" + Key("Witness");
    Entry(k64, "Tool", "Z64 System Tool", command);
    Entry(k32, "Witness", "Z64 Witness", registered);
    SetValue(kUser, "Software\\Zaltrow", "bDisableSplash", "1");

    fw::Modeless<MainDialog> dialog;
    ASSERT_TRUE(dialog.Create());
    auto& list = MainDialogTestAccess::List(dialog);
    auto rowOf = [&](const std::string& name) { return RowOf(list, name); };
    ASSERT_GE(rowOf("Z64 System Tool"), 0);
    EXPECT_EQ(list.GetItemData(rowOf("Z64 System Tool")), 0);
    EXPECT_EQ(list.GetItemData(rowOf("Z64 Witness")), PhantomMark);

    list.SetItemState(rowOf("Z64 System Tool"), LVIS_SELECTED, LVIS_SELECTED);
    gui::BoxAnswerer wait([&](HWND w) {
        if (!gui::HasButton(w, IDOK, "&Next")) return false;
        gui::PumpUntil([&] { return !KeyExists(k32, kUninstall + "\\" + Key("Witness")); }, 5000);
        return true;
    }, IDOK);
    // The 64-bit entry itself stays listed, so the removal offer follows.
    gui::BoxAnswerer offer([](HWND w) { return gui::HasButton(w, IDCANCEL, "&No"); }, IDCANCEL);
    SendMessageA(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_UNINSTALL, BN_CLICKED), 0);
    EXPECT_NE(wait.Seen().window, nullptr) << "the launch failed";
    EXPECT_NE(offer.Seen().window, nullptr);
    EXPECT_FALSE(KeyExists(k32, kUninstall + "\\" + Key("Witness"))) << "the stand-in did not run";
    EXPECT_TRUE(KeyExists(k64, kUninstall + "\\" + Key("Tool")));
}

// The real program, started as a person starts it, shows all three lists.
TEST_F(Wow64Test, RealProgramListsEverySourceWithTheRightRedRows) {
    TempFolder files;
    const std::string present = files.WriteFile("Tool\\unins000.exe");
    Entry(k32, "A", "Z64E 32 present", Quoted(present) + " /S");
    Entry(k32, "B", "Z64E 32 gone", files.Join("gone\\u.exe"));
    Entry(k64, "C", "Z64E 64 system", OnlyIn64BitSystemFolder("Sys") + " /x");
    Entry(k64, "D", "Z64E 64 gone", files.Join("gone64\\u.exe"));
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
        {"Z64E 32 gone", PhantomMark}, {"Z64E 32 present", 0}, {"Z64E 64 gone", PhantomMark},
        {"Z64E 64 system", 0},         {"Z64E user", 0},       {"Z64E user gone", PhantomMark},
    };
    EXPECT_EQ(ours, expected);

    gui::PressButton(window, IDCANCEL);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    TerminateProcess(process.hProcess, 1);  // no-op once it has ended
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace
