#include "inventory/StillListedDialog.h"

#include "inventory/EntryDialogs.h"
#include "resource.h"

StillListedDialog::StillListedDialog(HWND owner) : fw::Dialog(IDD_STILL_LISTED, owner) {}

bool StillListedDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    ShowEntryInDialog(Hwnd(), icon, text);
    return true;
}
