#pragma once
// "Restore removed entries": the backups every removal wrote into the
// account's backup folder (DefaultBackupFolder) and the machine's, one row
// per entry for its newest backup, the older ones folded under it
// (BackupGroups), with when each entry was removed, its name, its list and
// whether it is in the list again now; any heading sorts. Restore brings back the chosen ones through BackupRestore, as
// the console program's restore does; entries that are back in their list
// already are replaced only when the user says so once for all of them,
// each saved first. The backup files stay, as they always do.
//
//   RestoreDialog dialog(owner);
//   dialog.DoModal();
//   if (dialog.RestoredAny()) RefreshList();

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "app/ThemedListView.h"
#include "framework/ListView.h"
#include "framework/UniqueHandle.h"
#include "inventory/BackupGroups.h"
#include "inventory/BackupRestore.h"
#include "widgets/ResizableDialog.h"

class RestoreDialog : public ResizableDialog {
public:
    explicit RestoreDialog(HWND owner);

    // Whether an entry was brought back while the dialog was open.
    bool RestoredAny() const { return restoredAny_; }

    // What one chosen backup came to, for the report.
    struct BackupOutcome {
        std::wstring name;  // the entry's display name, or its key name
        BackupRestore::Result result;
    };
    // The one message after a restore: how many came back, which, and why
    // any did not.
    static std::wstring ReportText(const std::vector<BackupOutcome>& outcomes);
    // The question about entries in the list now.
    static std::wstring ReplaceQuestionText(std::size_t existing);

protected:
    void DoDataExchange() override;
    bool OnInitDialog() override;
    bool OnButtonClicked(int id) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    void OnDpiChanged(UINT from, UINT to) override;

private:
    void Fill();
    // Shows rows_ again after a sort or a fold, keeping what was chosen.
    void ShowRows();
    void ShowSortArrow();
    // Folds or unfolds the older backups of the row's entry; `unfold`
    // none: the other way.
    void Fold(int row, std::optional<bool> unfold);
    void FitColumns();
    void UpdateButton();
    void OnRestore();

    ThemedListView list_;
    fw::Font listFont_;
    std::wstring folder_;
    std::vector<BackupRestore::ListedBackup> backups_;  // newest first; item data indexes it
    std::vector<BackupFacts> facts_;                    // of backups_, as the rows sort and group them
    std::vector<GroupedBackup> rows_;                   // the rows shown
    std::set<std::wstring> unfolded_;                   // BackupFacts::entry of the unfolded entries
    BackupColumn sortColumn_ = BackupColumn::When;
    bool ascending_ = false;                            // newest first at first
    bool restoredAny_ = false;
};
