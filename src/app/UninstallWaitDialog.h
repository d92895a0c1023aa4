#pragma once
// Shown while an entry's uninstaller runs. It closes by itself (with IDOK)
// once every process of the uninstaller has ended; Next, Escape and the
// close box go on at once. Where only the started process can be followed,
// its end says nothing about the programs it started, so the user clicks
// Next when the uninstall is done, as the note says.

#include "framework/ProcessTree.h"
#include "app/EntryDialog.h"

class UninstallWaitDialog : public EntryDialog {
public:
    // The uninstaller must outlive the dialog.
    UninstallWaitDialog(HWND owner, const fw::ProcessTree& uninstaller);

protected:
    bool OnInitDialog() override;
    bool OnTimer(UINT_PTR id) override;

private:
    const fw::ProcessTree& uninstaller_;
};
