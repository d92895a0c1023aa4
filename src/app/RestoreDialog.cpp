#include "app/RestoreDialog.h"

#include <commctrl.h>

#include "BuildConfig.h"
#include <algorithm>
#include <set>

#include "framework/Dpi.h"
#include "framework/RegistryKey.h"
#include "framework/LocaleTime.h"
#include "framework/SystemErrorText.h"
#include "framework/TextConversion.h"
#include "framework/WindowQueries.h"
#include "app/ReportBox.h"
#include "app/WindowElevation.h"
#include "inventory/ElevatedHandOff.h"
#include "inventory/EntryBackup.h"
#include "inventory/EntryRemoval.h"
#include "inventory/NameOrder.h"
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
    list_.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_LABELTIP);
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
    // The user's own backups and the machine's, which the elevated step
    // keeps where no user can redirect it.
    const BackupRestore::Listing listing = BackupRestore::ListBackups(ShownBackupFolders(fw::RunningRights()));
    list_.DeleteAllItems();  // what was chosen was chosen in the old listing
    backups_ = listing.backups;
    facts_.clear();
    facts_.reserve(backups_.size());
    for (std::size_t i = 0; i < backups_.size(); ++i) {
        const BackupEntry& entry = backups_[i].entry;
        const std::optional<ListRef> list = ListOfBackup(entry);
        // The listing is newest first: its order is the time's.
        facts_.push_back({fw::WideCopy(entry.listRoot) + L"\\" + fw::FoldedKeyName(fw::WideCopy(entry.keyName)),
                          backups_.size() - i, NameOf(entry),
                          list ? SourceDescription(list->source) : fw::WideCopy(entry.listRoot),
                          list && EntryExists(*list, fw::WideCopy(entry.keyName))});
    }
    ShowRows();

    // An empty folder (or one that cannot be read) says so where the list is.
    std::wstring empty = L"No removed entries have been backed up yet.";
    if (listing.error != ERROR_SUCCESS)
        empty = L"The backups in " + listing.unreadFolder + L" could not be read:\n" + fw::SystemErrorText(listing.error);
    SetDlgItemTextW(Hwnd(), IDC_RESTORE_EMPTY, empty.c_str());
    ShowWindow(list_.Hwnd(), backups_.empty() ? SW_HIDE : SW_SHOW);
    ShowWindow(Item(IDC_RESTORE_EMPTY), backups_.empty() ? SW_SHOW : SW_HIDE);
    UpdateButton();
}

void RestoreDialog::ShowRows() {
    std::set<std::size_t> chosen;
    for (int row = list_.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list_.GetNextItem(row, LVNI_SELECTED))
        chosen.insert(static_cast<std::size_t>(list_.GetItemData(row)));
    const int focusedRow = list_.GetNextItem(-1, LVNI_FOCUSED);
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    const std::size_t focused = focusedRow >= 0 ? static_cast<std::size_t>(list_.GetItemData(focusedRow)) : kNone;

    rows_ = GroupBackups(facts_, sortColumn_, ascending_, unfolded_, &name_order::Compare);
    SendMessageW(list_.Hwnd(), WM_SETREDRAW, FALSE, 0);
    list_.DeleteAllItems();
    int focusAt = rows_.empty() ? -1 : 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const GroupedBackup& shown = rows_[i];
        const BackupFacts& facts = facts_[shown.backup];
        const int row = list_.InsertItem(static_cast<int>(i), WhenText(backups_[shown.backup]), 0,
                                         static_cast<LPARAM>(shown.backup));
        if (row < 0) continue;
        // A folded entry shows how many older backups it holds; an older
        // backup stands indented under its entry.
        std::wstring name = facts.name;
        if (!shown.head)
            name = L"\x2003\x2003" + name;
        else if (shown.older > 0)
            name = (unfolded_.count(facts.entry) ? L"\x25BE " : L"\x25B8 ") + name + L" (" + std::to_wstring(shown.older) +
                   (shown.older == 1 ? L" older backup)" : L" older backups)");
        list_.SetItemText(row, Entry, name);
        list_.SetItemText(row, List, facts.list);
        list_.SetItemText(row, Listed, facts.listed ? L"Yes" : L"No");
        if (chosen.count(shown.backup)) list_.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        if (focused == shown.backup) focusAt = row;
    }
    if (focusAt >= 0) {
        list_.SetItemState(focusAt, LVIS_FOCUSED, LVIS_FOCUSED);
        ListView_EnsureVisible(list_.Hwnd(), focusAt, FALSE);
    }
    SendMessageW(list_.Hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_.Hwnd(), nullptr, TRUE);
    ShowSortArrow();
    FitColumns();
}

void RestoreDialog::ShowSortArrow() {
    HWND header = ListView_GetHeader(list_.Hwnd());
    for (int column : {When, Entry, List, Listed}) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!Header_GetItem(header, column, &item)) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == static_cast<int>(sortColumn_)) item.fmt |= ascending_ ? HDF_SORTUP : HDF_SORTDOWN;
        Header_SetItem(header, column, &item);
    }
}

void RestoreDialog::Fold(int row, std::optional<bool> unfold) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
    const GroupedBackup& shown = rows_[static_cast<std::size_t>(row)];
    const std::wstring& entry = facts_[shown.backup].entry;
    if (!shown.head) {
        // Left on an older backup goes to its entry and folds it.
        if (unfold.value_or(true)) return;
        unfolded_.erase(entry);
        for (int i = 0; i < list_.GetItemCount(); ++i) list_.SetItemState(i, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].head && facts_[rows_[i].backup].entry == entry) {
                list_.SetItemState(static_cast<int>(i), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
                break;
            }
        ShowRows();
        return;
    }
    if (shown.older == 0) return;
    const bool now = unfold.value_or(!unfolded_.count(entry));
    if (now == static_cast<bool>(unfolded_.count(entry))) return;
    if (now)
        unfolded_.insert(entry);
    else
        unfolded_.erase(entry);
    ShowRows();
}

void RestoreDialog::OnDpiChanged(UINT from, UINT to) {
    ResizableDialog::OnDpiChanged(from, to);
    FitColumns();
}

// The time, list and yes-or-no columns as wide as their texts; the names
// get the rest of the list's width. Nothing is wider than the list, at any
// scale: the list column gives way first, then the names, cut with an
// ellipsis (the full name shows in its tip).
void RestoreDialog::FitColumns() {
    HWND list = list_.Hwnd();
    // The last column is sized by its heading ("Yes" and "No" are shorter):
    // sized by the list, a last column would take all the width left.
    const auto heading = static_cast<int>(
        SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(kListedHeading)));
    ListView_SetColumnWidth(list, Listed, heading + fw::Scaled(24, Dpi()));
    for (int column : {When, List, Entry}) ListView_SetColumnWidth(list, column, LVSCW_AUTOSIZE_USEHEADER);
    RECT client{};
    GetClientRect(list, &client);
    const int width = client.right - fw::SystemMetric(SM_CXVSCROLL, Dpi());
    const int when = ListView_GetColumnWidth(list, When), listed = ListView_GetColumnWidth(list, Listed);
    int lists = ListView_GetColumnWidth(list, List);
    const int minimumName = fw::Scaled(140, Dpi());
    if (when + listed + lists + minimumName > width)
        lists = std::max(fw::Scaled(60, Dpi()), width - when - listed - minimumName);
    ListView_SetColumnWidth(list, List, lists);
    ListView_SetColumnWidth(list, Entry, std::max(fw::Scaled(40, Dpi()), width - when - listed - lists));
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
    if (header.code == LVN_COLUMNCLICK) {
        const auto column = static_cast<BackupColumn>(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        // A first click sorts names and lists A to Z, times newest first.
        ascending_ = column == sortColumn_ ? !ascending_ : column != BackupColumn::When;
        sortColumn_ = column;
        ShowRows();
        return true;
    }
    if (header.code == NM_DBLCLK) {
        Fold(reinterpret_cast<NMITEMACTIVATE&>(header).iItem, std::nullopt);
        return true;
    }
    if (header.code == NM_CLICK) {
        // A click on the arrow before a name folds or unfolds it.
        const auto& click = reinterpret_cast<NMITEMACTIVATE&>(header);
        RECT cell{};
        if (click.iItem >= 0 && click.iSubItem == Entry &&
            ListView_GetSubItemRect(list_.Hwnd(), click.iItem, Entry, LVIR_BOUNDS, &cell) &&
            click.ptAction.x < cell.left + fw::Scaled(18, Dpi()))
            Fold(click.iItem, std::nullopt);
        return true;
    }
    if (header.code == LVN_KEYDOWN) {
        const WORD key = reinterpret_cast<NMLVKEYDOWN&>(header).wVKey;
        const int focused = list_.GetNextItem(-1, LVNI_FOCUSED);
        if (key == VK_RIGHT || key == VK_ADD) Fold(focused, true);
        if (key == VK_LEFT || key == VK_SUBTRACT) Fold(focused, false);
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
    ReportBox::Show(Hwnd(), ReportText(outcomes), kCaption, failed ? MB_ICONEXCLAMATION : MB_ICONINFORMATION);
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
