#include "app/EntryDialog.h"

#include "framework/Dpi.h"
#include "framework/WindowQueries.h"
#include "resource.h"

bool EntryDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (icon) SendDlgItemMessageA(Hwnd(), IDC_ENTRY_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (!text.empty()) {
        nameFont_ = fw::MessageFont(Dpi());
        if (nameFont_) SendDlgItemMessageW(Hwnd(), IDC_ENTRY_NAME, WM_SETFONT, reinterpret_cast<WPARAM>(nameFont_.get()), FALSE);
        SetDlgItemTextW(Hwnd(), IDC_ENTRY_NAME, text.c_str());
    }
    return true;
}
