// "Restore removed entries" in a real window over the test's own backup
// folder, filled by real removals: the empty folder's word, the rows newest
// first with their lists and whether each entry is back, a restore of two
// chosen rows where one is in the list again (the question, the report),
// and the registry afterwards.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiDriver.h"
#include "RegistryPaths.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "app/RestoreDialog.h"
#include "framework/TextConversion.h"
#include "inventory/EntryBackup.h"
#include "inventory/EntryRemoval.h"
#include "resource.h"

namespace {

std::wstring W(const std::string& text) { return fw::Widen(text); }

// Each row's texts: when, entry, list, in the list now.
std::vector<std::vector<std::wstring>> Rows(HWND list) {
    std::vector<std::vector<std::wstring>> rows(static_cast<std::size_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < 4; ++column) rows[row].push_back(gui::ListItemText(list, static_cast<int>(row), column));
    }
    return rows;
}

bool IsBoxSaying(HWND window, const std::wstring& start) {
    return gui::IsMessageBox(window) && gui::WideItemText(window, 0xFFFF).rfind(start, 0) == 0;
}

TEST(RestoreDialogTest, RestoresTheChosenBackupsAskingOnceAboutEntriesInTheListNow) {
    ScratchRegistry scratch;
    TempFolder files;
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kUserShellFolders, "Local AppData", files.Path());
    const ListRef machine{EntrySource::Machine, {}}, user{EntrySource::User, {}};
    const std::wstring machineWords = SourceDescription(EntrySource::Machine), userWords = SourceDescription(EntrySource::User);

    {
        fw::Modeless<RestoreDialog> empty(nullptr);
        ASSERT_TRUE(empty.Create());
        EXPECT_FALSE(GetWindowLongPtrW(empty.Item(IDC_RESTORE_LIST), GWL_STYLE) & WS_VISIBLE);
        EXPECT_EQ(gui::WideItemText(empty.Hwnd(), IDC_RESTORE_EMPTY), L"No removed entries have been backed up yet.");
        EXPECT_TRUE(GetWindowLongPtrW(empty.Item(IDC_RESTORE_EMPTY), GWL_STYLE) & WS_VISIBLE);
        EXPECT_FALSE(IsWindowEnabled(empty.Item(IDC_RESTORE_BUTTON)));
    }
    // Three entries removed as the window removes them, a second apart so
    // their backups' names tell their order; one of them is back since.
    const struct {
        HKEY root;
        ListRef list;
        const char* key;
        std::wstring name;
    } removed[] = {{HKEY_LOCAL_MACHINE, machine, "Alpha", L"Alpha Tool"},
                   {HKEY_CURRENT_USER, user, "Beta", L"Бета Ñandú"},
                   {HKEY_LOCAL_MACHINE, machine, "Gamma", L""}};
    for (const auto& entry : removed) {
        const std::string key = kUninstall + "\\" + entry.key;
        ScratchRegistry::CreateKey(entry.root, key);
        if (!entry.name.empty()) ScratchRegistry::SetString(entry.root, W(key), L"DisplayName", entry.name);
        ScratchRegistry::SetString(entry.root, key, "UninstallString", "C:\\gone\\uninstall.exe");
        const RemovalResult result = RemoveEntry(entry.list, W(entry.key), DefaultBackupFolder());
        ASSERT_EQ(result.outcome, RemovalResult::RemovalOutcome::Removed) << fw::Narrow(result.failureText);
        if (&entry != &removed[2]) Sleep(1100);
    }
    ScratchRegistry::SetString(HKEY_CURRENT_USER, W(kUninstall + "\\Beta"), L"DisplayName", L"Beta reinstalled");
    files.WriteFile("Zaltrow\\Removed\\settings.reg",
                    "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Zaltrow]\r\n\"bDisableSplash\"=\"1\"\r\n");

    fw::Modeless<RestoreDialog> dialog(nullptr);
    ASSERT_TRUE(dialog.Create());
    HWND list = dialog.Item(IDC_RESTORE_LIST);
    std::vector<std::vector<std::wstring>> rows = Rows(list);
    ASSERT_EQ(rows.size(), 3u) << "the settings file is no backup";
    const std::vector<std::vector<std::wstring>> expected{
        {L"Gamma", machineWords, L"No"}, {L"Бета Ñandú", userWords, L"Yes"}, {L"Alpha Tool", machineWords, L"No"}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_FALSE(rows[i][0].empty());
        EXPECT_EQ(std::vector<std::wstring>(rows[i].begin() + 1, rows[i].end()), expected[i]) << i;
    }
    EXPECT_FALSE(IsWindowEnabled(dialog.Item(IDC_RESTORE_BUTTON)));

    for (int row : {1, 2}) {
        LVITEMW item{};
        item.stateMask = item.state = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    EXPECT_TRUE(IsWindowEnabled(dialog.Item(IDC_RESTORE_BUTTON)));
    gui::BoxAnswerer question([](HWND w) { return IsBoxSaying(w, L"1 of the chosen"); }, IDYES);
    gui::BoxAnswerer report([](HWND w) { return IsBoxSaying(w, L"Restored"); }, IDOK);
    gui::PressButton(dialog.Hwnd(), IDC_RESTORE_BUTTON);
    EXPECT_TRUE(gui::PumpUntil([&] { return dialog.RestoredAny(); }, 15000));
    gui::PumpFor(100);

    EXPECT_EQ(question.Seen().wideText,
              L"1 of the chosen entries are in the list now. Replace them with their backups? Each replaced entry is "
              L"backed up first.");
    const std::wstring said = report.Seen().wideText;
    EXPECT_EQ(said.rfind(L"Restored 2 of 2 entries.\n\nRestored:\n    ", 0), 0u) << fw::Narrow(said);
    EXPECT_NE(said.find(L"Alpha Tool"), std::wstring::npos);
    EXPECT_NE(said.find(L"Бета Ñandú (replaced; the entry that was there is saved in "), std::wstring::npos);
    EXPECT_EQ(said.find(L"Not restored"), std::wstring::npos);

    // The registry: the two chosen are back as they were, the third is not.
    EXPECT_EQ(ScratchRegistry::GetString(HKEY_LOCAL_MACHINE, W(kUninstall + "\\Alpha"), L"DisplayName"), L"Alpha Tool");
    EXPECT_EQ(ScratchRegistry::GetString(HKEY_CURRENT_USER, W(kUninstall + "\\Beta"), L"DisplayName"), L"Бета Ñandú");
    EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\Gamma"));

    // Refreshed: the replaced entry's own backup is the newest row, and the
    // backups that were restored are kept.
    // Its two backups are one row, the older folded under it until Right
    // unfolds it; a heading sorts the entries, the older one staying under.
    rows = Rows(list);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][1], L"\x25B8 Beta reinstalled (1 older backup)");
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i][3], i == 1 ? L"No" : L"Yes") << i;
    ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    SendMessageW(list, WM_KEYDOWN, VK_RIGHT, 0);
    gui::PumpFor(50);
    rows = Rows(list);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][1], L"\x25BE Beta reinstalled (1 older backup)");
    EXPECT_EQ(rows[1][1], L"\x2003\x2003\u0411\u0435\u0442\u0430 \u00D1and\u00FA");
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = IDC_RESTORE_LIST;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = 1;  // Entry: A to Z
    SendMessageW(dialog.Hwnd(), WM_NOTIFY, IDC_RESTORE_LIST, reinterpret_cast<LPARAM>(&click));
    rows = Rows(list);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][1], L"Alpha Tool");
    EXPECT_EQ(rows[1][1].substr(2), L"Beta reinstalled (1 older backup)");
    EXPECT_EQ(rows[2][1].substr(0, 2), L"\x2003\x2003");
    EXPECT_EQ(rows[3][1], L"Gamma");
}

}  // namespace
