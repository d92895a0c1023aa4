#include "inventory/EntryDialogs.h"

void ShowEntryInDialog(HWND dialog, HICON icon, const std::string& name) {
    if (icon) SendDlgItemMessageA(dialog, kEntryIconControl, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (!name.empty()) SetDlgItemTextA(dialog, kEntryNameControl, name.c_str());
}
