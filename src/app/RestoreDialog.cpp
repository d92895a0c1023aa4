#include "app/RestoreDialog.h"

#include <commctrl.h>

#include "BuildConfig.h"
#include "framework/Dpi.h"
#include "framework/LocaleTime.h"
#include "framework/SystemErrorText.h"
#include "framework/TextConversion.h"
#include "framework/WindowQueries.h"
#include "app/WindowElevation.h"
#include "inventory/ElevatedHandOff.h"
#include "inventory/EntryBackup.h"
#include "inventory/EntryRemoval.h"
#include "resource.h"

namespace {

constexpr const wchar_t* kCaption = L"" ZALTROW_MESSAGE_CAPTION;
enum Column { When, Entry, List, Listed };
constexpr const wchar_t* kListedHeading = L"In the list now";

// The list a backup belongs to; none for a list this system does not have.
std::optional<ListRef> ListOfBackup(const BackupEntry& entry) {
    return ParseListName(fw::WideCopy(ListNameOfRoot(entry.listRoot, BackupRestore::SystemIs64Bit())));
}

std::wstring NameOf(const BackupEntry& entry) {
    return fw::WideCopy(entry.displayName.empty() ? entry.keyName : entry.displayName);
}

// When the entry was removed, in the user's locale: the time its file's
// name gives, or else the time the file was written.
std::wstring WhenText(const BackupRestore::ListedBackup& backup) {
    SYSTEMTIME time{};
    if (backup.time) {
        const BackupTime& t = *backup.time;
        time = {static_cast<WORD>(t.year), static_cast<WORD>(t.month), 0, static_cast<WORD>(t.day),
                static_cast<WORD>(t.hour), static_cast<WORD>(t.minute), static_cast<WORD>(t.second), 0};
    } else {
        FILETIME local{};
        if (!FileTimeToLocalFileTime(&backup.written, &local) || !FileTimeToSystemTime(&local, &time)) return {};
    }
    return fw::LocaleDateTime(time);
}

}  // namespace

// Never smaller than it opens: the list would slide under its buttons.
RestoreDialog::RestoreDialog(HWND owner) : ResizableDialog(IDD_RESTORE, owner, MinimumSize::Opening) {}

void RestoreDialog::DoDataExchange() { Bind(list_, IDC_RESTORE_LIST); }

bool RestoreDialog::OnInitDialog() {
    AddControl(IDC_RESTORE_LIST, AnchorStretchRight | AnchorStretchDown);
    AddControl(IDC_RESTORE_EMPTY, AnchorStretchRight | AnchorStretchDown);
    AddControl(IDC_RESTORE_BUTTON, AnchorMoveRight | AnchorMoveDown);
    AddControl(IDCANCEL, AnchorMoveRight | AnchorMoveDown);
    ResizableDialog::OnInitDialog();

    // Entry names come in any script.
    listFont_ = fw::MessageFont(Dpi());
    if (listFont_) {
        SendMessageW(list_.Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
        SendDlgItemMessageW(Hwnd(), IDC_RESTORE_EMPTY, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
    }
    list_.UseWideNotifications();
    list_.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    list_.InsertColumn(When, L"When", 130);
    list_.InsertColumn(Entry, L"Entry", 190);
    list_.InsertColumn(List, L"List", 170);
    list_.InsertColumn(Listed, kListedHeading, 90);
    folder_ = DefaultBackupFolder();
    Fill();
    SetFocus(list_.Hwnd());
    return false;
}

void RestoreDialog::Fill() {
    list_.DeleteAllItems();
    // The user's own backups and the machine's, which the elevated step
    // keeps where no user can redirect it.
    const BackupRestore::Listing listing = BackupRestore::ListBackups(ShownBackupFolders(fw::RunningRights()));
    backups_ = listing.backups;
    for (std::size_t i = 0; i < backups_.size(); ++i) {
        const BackupRestore::ListedBackup& backup = backups_[i];
        const int row = list_.InsertItem(static_cast<int>(i), WhenText(backup), 0, static_cast<LPARAM>(i));
        if (row < 0) continue;
        list_.SetItemText(row, Entry, NameOf(backup.entry));
        const std::optional<ListRef> list = ListOfBackup(backup.entry);
        list_.SetItemText(row, List, list ? SourceDescription(list->source) : fw::WideCopy(backup.entry.listRoot));
        list_.SetItemText(row, Listed, list && EntryExists(*list, fw::WideCopy(backup.entry.keyName)) ? L"Yes" : L"No");
    }
    if (!backups_.empty()) list_.SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);
    FitColumns();

    // An empty folder (or one that cannot be read) says so where the list is.
    std::wstring empty = L"No removed entries have been backed up yet.";
    if (listing.error != ERROR_SUCCESS)
        empty = L"The backups in " + listing.unreadFolder + L" could not be read:\n" + fw::SystemErrorText(listing.error);
    SetDlgItemTextW(Hwnd(), IDC_RESTORE_EMPTY, empty.c_str());
    ShowWindow(list_.Hwnd(), backups_.empty() ? SW_HIDE : SW_SHOW);
    ShowWindow(Item(IDC_RESTORE_EMPTY), backups_.empty() ? SW_SHOW : SW_HIDE);
    UpdateButton();
}

void RestoreDialog::OnDpiChanged(UINT from, UINT to) {
    ResizableDialog::OnDpiChanged(from, to);
    FitColumns();
}

// The time, list and yes-or-no columns as wide as their texts; the names
// get the rest of the list's width, or more when a name needs it.
void RestoreDialog::FitColumns() {
    HWND list = list_.Hwnd();
    // The last column is sized by its heading ("Yes" and "No" are shorter):
    // sized by the list, a last column would take all the width left.
    const auto heading = static_cast<int>(
        SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(kListedHeading)));
    ListView_SetColumnWidth(list, Listed, heading + fw::Scaled(24, Dpi()));
    int used = ListView_GetColumnWidth(list, Listed);
    for (int column : {When, List}) {
        ListView_SetColumnWidth(list, column, LVSCW_AUTOSIZE_USEHEADER);
        used += ListView_GetColumnWidth(list, column);
    }
    ListView_SetColumnWidth(list, Entry, LVSCW_AUTOSIZE_USEHEADER);
    RECT client{};
    GetClientRect(list, &client);
    const int rest = client.right - used - fw::SystemMetric(SM_CXVSCROLL, Dpi());
    if (ListView_GetColumnWidth(list, Entry) < rest) ListView_SetColumnWidth(list, Entry, rest);
}

void RestoreDialog::UpdateButton() {
    const bool chosen = !backups_.empty() && list_.FirstSelected() >= 0;
    EnableWindow(Item(IDC_RESTORE_BUTTON), chosen);
}

bool RestoreDialog::OnButtonClicked(int id) {
    if (id != IDC_RESTORE_BUTTON) return false;
    OnRestore();
    return true;
}

bool RestoreDialog::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.idFrom != IDC_RESTORE_LIST) return false;
    if (header.code == LVN_ITEMCHANGED) {
        UpdateButton();
        return true;
    }
    if (header.code == LVN_KEYDOWN && reinterpret_cast<NMLVKEYDOWN&>(header).wVKey == 'A' &&
        GetKeyState(VK_CONTROL) < 0) {
        list_.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);  // -1: every row
        result = 0;
        return true;
    }
    return false;
}

std::wstring RestoreDialog::ReplaceQuestionText(std::size_t existing) {
    return std::to_wstring(existing) +
           L" of the chosen entries are in the list now. Replace them with their backups? Each replaced entry is "
           L"backed up first.";
}

namespace {

BackupRestore::Result FromHandOff(const OperationResult* result, DWORD exitCode) {
    BackupRestore::Result restored;
    if (!result) {
        restored.reason = L"The elevated " ZALTROW_CONSOLE_FILE L" said nothing of this backup (exit code " +
                          std::to_wstring(exitCode) + L").";
        return restored;
    }
    switch (result->outcome) {
    case OperationOutcome::Restored: restored.outcome = BackupRestore::RestoreOutcome::Restored; return restored;
    case OperationOutcome::Exists: restored.outcome = BackupRestore::RestoreOutcome::Exists; break;
    case OperationOutcome::NotABackup: restored.outcome = BackupRestore::RestoreOutcome::NotABackup; break;
    case OperationOutcome::NotFound: restored.outcome = BackupRestore::RestoreOutcome::FileMissing; break;
    default: break;
    }
    restored.reason = result->detail;
    return restored;
}

}  // namespace

void RestoreDialog::OnRestore() {
    std::vector<std::size_t> chosen;
    for (int row = list_.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list_.GetNextItem(row, LVNI_SELECTED)) {
        const auto index = static_cast<std::size_t>(list_.GetItemData(row));
        if (index < backups_.size()) chosen.push_back(index);
    }
    if (chosen.empty()) return;

    // Backups of lists this account may not change are restored by the
    // elevated console program, all in one go after the one question.
    const fw::AccountRights rights = fw::RunningRights();
    std::vector<BackupOutcome> outcomes;
    std::vector<std::size_t> existing, handed, handedExisting;
    for (std::size_t index : chosen) {
        const BackupEntry& entry = backups_[index].entry;
        const std::optional<ListRef> list = ListOfBackup(entry);
        if (list && NeedsAdministrator(*list, rights)) {
            (EntryExists(*list, fw::WideCopy(entry.keyName)) ? handedExisting : handed).push_back(index);
            continue;
        }
        BackupRestore::Result result = BackupRestore::Restore(backups_[index].file, false, folder_, backups_[index].sha256);
        if (result.outcome == BackupRestore::RestoreOutcome::Exists)
            existing.push_back(index);
        else
            outcomes.push_back({NameOf(entry), std::move(result)});
    }
    bool replace = false;
    if (!existing.empty() || !handedExisting.empty()) {
        replace = MessageBoxW(Hwnd(), ReplaceQuestionText(existing.size() + handedExisting.size()).c_str(), kCaption,
                              MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
        for (std::size_t index : existing) {
            BackupRestore::Result result;
            if (replace) {
                result = BackupRestore::Restore(backups_[index].file, true, folder_, backups_[index].sha256);
            } else {
                result.outcome = BackupRestore::RestoreOutcome::Exists;
                result.reason = L"It is in the list now and was left as it is.";
            }
            outcomes.push_back({NameOf(backups_[index].entry), std::move(result)});
        }
    }
    if (replace) {
        handed.insert(handed.end(), handedExisting.begin(), handedExisting.end());
    } else {
        for (std::size_t index : handedExisting) {
            BackupRestore::Result result;
            result.outcome = BackupRestore::RestoreOutcome::Exists;
            result.reason = L"It is in the list now and was left as it is.";
            outcomes.push_back({NameOf(backups_[index].entry), std::move(result)});
        }
    }
    if (!handed.empty()) {
        std::vector<std::wstring> files, sha256s;
        for (std::size_t index : handed) {
            files.push_back(backups_[index].file);
            sha256s.push_back(backups_[index].sha256);
        }
        const ElevatedHandOff::HandOffOutcome handOff = ElevatedHandOff::Restore(WindowElevation(Hwnd()), files, sha256s, replace);
        for (std::size_t index : handed) {
            BackupRestore::Result result;
            if (handOff.error != ERROR_SUCCESS) {
                result.reason = ElevatedHandOff::NotDoneText(handOff.error, L"restored");
            } else {
                const OperationResult* found = nullptr;
                for (const OperationResult& line : handOff.results)
                    if (line.key == backups_[index].file) found = &line;
                result = FromHandOff(found, handOff.exitCode);
            }
            outcomes.push_back({NameOf(backups_[index].entry), std::move(result)});
        }
    }

    bool failed = false;
    for (const BackupOutcome& outcome : outcomes) {
        if (outcome.result.outcome == BackupRestore::RestoreOutcome::Restored)
            restoredAny_ = true;
        else
            failed = true;
    }
    // The list shows what is back (and any backup a replacement wrote)
    // behind the report.
    Fill();
    UpdateWindow(Hwnd());
    MessageBoxW(Hwnd(), ReportText(outcomes).c_str(), kCaption, MB_OK | (failed ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
}

std::wstring RestoreDialog::ReportText(const std::vector<BackupOutcome>& outcomes) {
    std::wstring restored, notRestored;
    std::size_t count = 0;
    for (const BackupOutcome& outcome : outcomes) {
        if (outcome.result.outcome == BackupRestore::RestoreOutcome::Restored) {
            ++count;
            restored += L"\n    " + outcome.name;
            if (!outcome.result.replacedBackup.empty())
                restored += L" (replaced; the entry that was there is saved in " + outcome.result.replacedBackup + L")";
        } else {
            notRestored += L"\n    " + outcome.name + L": " + outcome.result.reason;
        }
    }
    std::wstring text = L"Restored " + std::to_wstring(count) + L" of " + std::to_wstring(outcomes.size()) +
                        (outcomes.size() == 1 ? L" entry." : L" entries.");
    if (!restored.empty()) text += L"\n\nRestored:" + restored;
    if (!notRestored.empty()) text += L"\n\nNot restored:" + notRestored;
    return text;
}
