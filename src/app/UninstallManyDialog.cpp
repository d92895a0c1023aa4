#include "app/UninstallManyDialog.h"

#include <algorithm>

#include "framework/Dpi.h"
#include "framework/WindowQueries.h"
#include "resource.h"

UninstallManyDialog::UninstallManyDialog(HWND owner, std::vector<UninstallChoice> rows)
    : fw::Dialog(IDD_UNINSTALL_MANY, owner), rows_(std::move(rows)) {}

bool UninstallManyDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    SendDlgItemMessageW(Hwnd(), IDC_MANY_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, MAKEINTRESOURCEW(32514))), 0);  // IDI_QUESTION
    textFont_ = fw::MessageFont(Dpi());
    if (textFont_) SendDlgItemMessageW(Hwnd(), IDC_MANY_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.get()), FALSE);
    CheckDlgButton(Hwnd(), IDC_UNINSTALL_QUIETLY, quietly ? BST_CHECKED : BST_UNCHECKED);
    ShowText();
    FitToText();
    return true;  // Yes, the default button, has the focus
}

void UninstallManyDialog::ShowText() {
    SetDlgItemTextW(Hwnd(), IDC_MANY_TEXT, UninstallManyQuestionText(rows_, quietly).c_str());
}

void UninstallManyDialog::FitToText() {
    HWND text = Item(IDC_MANY_TEXT);
    const RECT field = fw::ChildRect(text);
    // The text as it is shown with either mark, the longer of the two.
    int needed = 0;
    HDC dc = GetDC(text);
    if (!dc) return;
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)));
    for (bool mark : {true, false}) {
        const std::wstring shown = UninstallManyQuestionText(rows_, mark);
        RECT rect{0, 0, field.right - field.left, 0};
        DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        needed = std::max(needed, static_cast<int>(rect.bottom));
    }
    SelectObject(dc, old);
    ReleaseDC(text, dc);
    const int grow = needed - (field.bottom - field.top);
    if (grow <= 0) return;
    SetWindowPos(text, nullptr, 0, 0, field.right - field.left, needed, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int id : {IDC_UNINSTALL_QUIETLY, IDOK, IDCANCEL}) {
        const RECT at = fw::ChildRect(Item(id));
        SetWindowPos(Item(id), nullptr, at.left, at.top + grow, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT window{};
    GetWindowRect(Hwnd(), &window);
    // Kept on its monitor, centred on where it opened.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(Hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
    const int height = window.bottom - window.top + grow;
    const int top = std::max<int>(monitor.rcWork.top, window.top - grow / 2);
    SetWindowPos(Hwnd(), nullptr, window.left, top, window.right - window.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool UninstallManyDialog::OnButtonClicked(int id) {
    if (id != IDC_UNINSTALL_QUIETLY) return false;
    quietly = IsDlgButtonChecked(Hwnd(), IDC_UNINSTALL_QUIETLY) == BST_CHECKED;
    ShowText();
    return true;
}

void UninstallManyDialog::OnOK() {
    quietly = IsDlgButtonChecked(Hwnd(), IDC_UNINSTALL_QUIETLY) == BST_CHECKED;
    EndDialog(IDOK);
}
