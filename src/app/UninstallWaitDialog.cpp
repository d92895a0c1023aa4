#include "app/UninstallWaitDialog.h"

#include "BuildConfig.h"
#include "resource.h"

namespace {

// A look four times a second: an ended uninstall is noticed at once, at the
// cost of one query of the job.
constexpr UINT_PTR kEndTimer = 1;
constexpr UINT kEndTimerMs = 250;

// The note under the entry's name.
std::wstring UninstallWaitNote(bool followsChildren) {
    if (followsChildren) return L"Waiting for the uninstall program to finish.\nClick Next to go on without waiting.";
    return L"Waiting for the uninstall program to finish. " ZALTROW_PRODUCT_NAME
           " cannot see the programs it starts, so click Next when it is done.";
}

}  // namespace

UninstallWaitDialog::UninstallWaitDialog(HWND owner, const fw::ProcessTree& uninstaller)
    : EntryDialog(IDD_UNINSTALL_WAIT, owner), uninstaller_(uninstaller) {}

bool UninstallWaitDialog::OnInitDialog() {
    EntryDialog::OnInitDialog();
    SetDlgItemTextW(Hwnd(), IDC_WAIT_NOTE, UninstallWaitNote(uninstaller_.FollowsChildren()).c_str());
    // The timer goes with the window, however the dialog ends.
    if (uninstaller_.FollowsChildren()) SetTimer(Hwnd(), kEndTimer, kEndTimerMs, nullptr);
    return true;
}

bool UninstallWaitDialog::OnTimer(UINT_PTR id) {
    if (id != kEndTimer) return false;
    if (uninstaller_.Ended()) {
        KillTimer(Hwnd(), kEndTimer);
        EndDialog(IDOK);
    }
    return true;
}
