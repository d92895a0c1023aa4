#include "inventory/EntryDialog.h"

#include "resource.h"

bool EntryDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (icon) SendDlgItemMessageA(Hwnd(), IDC_ENTRY_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (!text.empty()) SetDlgItemTextW(Hwnd(), IDC_ENTRY_NAME, text.c_str());
    return true;
}
