#include "inventory/UninstallWaitDialog.h"

#include "inventory/EntryDialogs.h"
#include "resource.h"

UninstallWaitDialog::UninstallWaitDialog(HWND owner) : fw::Dialog(IDD_UNINSTALL_WAIT, owner) {}

bool UninstallWaitDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    ShowEntryInDialog(Hwnd(), icon, text);
    return true;
}
