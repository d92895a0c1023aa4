#include "app/UpgradeProgressDialog.h"

#include "UpgradeResource.h"
#include "framework/WindowQueries.h"

UpgradeProgressDialog::UpgradeProgressDialog(HWND owner) : fw::Dialog(IDD_UPGRADE_PROGRESS, owner) {}

UpgradeProgressDialog::~UpgradeProgressDialog() { Close(); }

bool UpgradeProgressDialog::Open(const char* caption) {
    if (!Create()) return false;
    if (caption) SetWindowTextA(Hwnd(), caption);
    ShowWindow(Hwnd(), SW_SHOWNORMAL);
    ShowWindow(Item(IDC_UPGRADE_PROGRESS_TEXT), SW_SHOW);
    UpdateWindow(Hwnd());
    return true;
}

void UpgradeProgressDialog::SetText(const char* text) {
    if (Hwnd()) SetDlgItemTextA(Hwnd(), IDC_UPGRADE_PROGRESS_TEXT, text);
}

DownloadProgress UpgradeProgressDialog::ProgressText() const {
    return fw::TextIntoControl(Hwnd(), IDC_UPGRADE_PROGRESS_TEXT);
}

void UpgradeProgressDialog::Close() {
    if (!Hwnd()) return;
    ShowWindow(Hwnd(), SW_HIDE);
    DestroyWindow(Hwnd());
}

void UpgradeProgressDialog::OnCancel() {
    if (HWND owner = GetWindow(Hwnd(), GW_OWNER)) PostMessageA(owner, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}
