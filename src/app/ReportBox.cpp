#include "app/ReportBox.h"

#include <algorithm>

#include "framework/Dpi.h"
#include "framework/UniqueHandle.h"
#include "resource.h"

namespace {

RECT WorkAreaOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    return monitor.rcWork;
}

// The text's height when wrapped at `width` in `font`.
int TextHeight(HWND window, HFONT font, const std::wstring& text, int width) {
    HDC dc = GetDC(window);
    if (!dc) return 0;
    const HGDIOBJ old = SelectObject(dc, font);
    RECT rect{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return rect.bottom - rect.top;
}

// An edit control breaks lines at CR LF only.
std::wstring WithCrLf(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
        out += text[i];
    }
    return out;
}

LPCWSTR SystemIconOf(UINT icon) {
    switch (icon & MB_ICONMASK) {
    case MB_ICONHAND: return MAKEINTRESOURCEW(32513);  // IDI_ERROR
    case MB_ICONEXCLAMATION: return MAKEINTRESOURCEW(32515);  // IDI_WARNING
    default: return MAKEINTRESOURCEW(32516);  // IDI_INFORMATION
    }
}

}  // namespace

bool ReportBox::NeedsScrolling(HWND owner, const std::wstring& text) {
    const UINT dpi = fw::WindowDpi(owner ? owner : GetDesktopWindow());
    const fw::Font font = fw::MessageFont(dpi);
    const RECT work = WorkAreaOf(owner);
    // A message box wraps at about five eighths of the screen's width and
    // adds its caption, margins and buttons; past 80 % of the height its
    // OK button would leave the screen on a smaller monitor or scale.
    const int width = (work.right - work.left) * 5 / 8;
    const int chrome = fw::Scaled(120, dpi);
    return TextHeight(owner, font.get(), text, width) + chrome > (work.bottom - work.top) * 4 / 5;
}

void ReportBox::Show(HWND owner, const std::wstring& text, const wchar_t* caption, UINT icon) {
    if (!NeedsScrolling(owner, text)) {
        MessageBoxW(owner, text.c_str(), caption, MB_OK | icon);
        return;
    }
    MessageBeep(icon & MB_ICONMASK);
    ReportBox box(owner, text, caption, icon);
    if (box.DoModal() == -1) MessageBoxW(owner, text.c_str(), caption, MB_OK | icon);
}

ReportBox::ReportBox(HWND owner, std::wstring text, std::wstring caption, UINT icon)
    : ResizableDialog(IDD_REPORT, owner), text_(std::move(text)), caption_(std::move(caption)), icon_(icon) {}

bool ReportBox::OnInitDialog() {
    AddControl(IDC_REPORT_TEXT, AnchorStretchRight | AnchorStretchDown);
    AddControl(IDOK, AnchorMoveRight | AnchorMoveDown);
    ResizableDialog::OnInitDialog();
    SetWindowTextW(Hwnd(), caption_.c_str());
    SendDlgItemMessageW(Hwnd(), IDC_REPORT_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, SystemIconOf(icon_))), 0);
    HWND edit = Item(IDC_REPORT_TEXT);
    SetWindowTextW(edit, WithCrLf(text_).c_str());

    // As tall as the text needs, up to the work area less a margin; the
    // text scrolls inside beyond that.
    RECT window{}, field{};
    GetWindowRect(Hwnd(), &window);
    GetWindowRect(edit, &field);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0));
    const int needed = TextHeight(edit, font, text_, field.right - field.left - fw::SystemMetric(SM_CXVSCROLL, Dpi())) +
                       fw::Scaled(8, Dpi());
    const RECT work = WorkAreaOf(GetParent(Hwnd()) ? GetParent(Hwnd()) : Hwnd());
    const int chrome = (window.bottom - window.top) - (field.bottom - field.top);
    const int height = std::min(chrome + needed, static_cast<int>((work.bottom - work.top) * 9 / 10));
    const int width = window.right - window.left;
    const int left = std::clamp<int>(window.left, work.left, std::max(work.left, work.right - width));
    const int top = work.top + ((work.bottom - work.top) - height) / 2;
    SetWindowPos(Hwnd(), nullptr, left, top, width, std::max(height, static_cast<int>(window.bottom - window.top)),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The caret would sit in read-only text; OK has the focus, as in a message box.
    SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDOK)), TRUE);
    return false;
}
