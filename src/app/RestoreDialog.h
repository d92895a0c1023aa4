#pragma once
// "Restore removed entries": the backups every removal wrote into the
// account's backup folder (DefaultBackupFolder), newest first, with when
// each entry was removed, its name, its list and whether it is in the list
// again now. Restore brings back the chosen ones through BackupRestore, as
// the console program's restore does; entries that are back in their list
// already are replaced only when the user says so once for all of them,
// each saved first. The backup files stay, as they always do.
//
//   RestoreDialog dialog(owner);
//   dialog.DoModal();
//   if (dialog.RestoredAny()) RefreshList();

#include <windows.h>

#include <string>
#include <vector>

#include "framework/ListView.h"
#include "framework/UniqueHandle.h"
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
    void FitColumns();
    void UpdateButton();
    void OnRestore();

    fw::ListView list_;
    fw::Font listFont_;
    std::wstring folder_;
    std::vector<BackupRestore::ListedBackup> backups_;  // the rows, in order
    bool restoredAny_ = false;
};
