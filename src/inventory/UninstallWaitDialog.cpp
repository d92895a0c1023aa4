#include "inventory/UninstallWaitDialog.h"

#include "resource.h"

UninstallWaitDialog::UninstallWaitDialog(HWND owner) : EntryDialog(IDD_UNINSTALL_WAIT, owner) {}
