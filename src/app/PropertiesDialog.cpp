#include "app/PropertiesDialog.h"

#include <algorithm>
#include <utility>

#include "framework/Dpi.h"
#include "framework/LocaleTime.h"
#include "framework/ShellIcon.h"
#include "framework/WindowQueries.h"
#include "inventory/EntryJudgement.h"
#include "resource.h"

namespace {

// Dialog units of the layout; the template holds the icon, the rule and
// the button, whose places these continue.
constexpr int kMargin = 7;
constexpr int kStatusLeft = 36;
constexpr int kLabelWidth = 96;
constexpr int kRowGap = 4;
// A longer value scrolls rather than make the window taller than a screen.
constexpr int kMaxLines = 4;

RECT Units(HWND dialog, int left, int top, int right, int bottom) {
    RECT rect{left, top, right, bottom};
    MapDialogRect(dialog, &rect);
    return rect;
}

int LineHeight(HWND window, HFONT font) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return metrics.tmHeight;
}

}  // namespace

PropertiesDialog::PropertiesDialog(HWND owner, const ProgramEntry& entry, bool phantom, std::wstring reason,
                                   const quiet_uninstall::QuietForm& quiet)
    : fw::Dialog(IDD_PROPERTIES, owner), entry_(entry), facts_(FactsOf(entry, phantom, reason, quiet)) {}

std::wstring PropertiesDialog::LocaleDate(int year, int month, int day) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    return fw::LocaleDate(time);
}

bool PropertiesDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    // As Windows names property sheets. The dialog's window is an ANSI one,
    // whose WM_SETTEXT would turn a name outside the code page into '?':
    // the caption is stored as UTF-16 directly.
    const std::wstring caption = facts_.displayName + L" Properties";
    DefWindowProcW(Hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
    valueFont_ = fw::MessageFont(Dpi());
    ShowStatus();

    const RECT rule = fw::ChildRect(Item(IDC_PROPERTY_RULE));
    const RECT columns = Units(Hwnd(), kMargin, kRowGap, kMargin + kLabelWidth, kMargin);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const int valueLeft = columns.right;
    const int valueWidth = client.right - columns.bottom - valueLeft;
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(Hwnd(), WM_GETFONT, 0, 0));

    int top = rule.bottom + columns.bottom;
    int id = IDC_PROPERTY_FIRST;
    for (const PropertyLine& line : EntryProperties(facts_, &LocaleDate)) {
        HWND label = CreateWindowExW(0, L"STATIC", (line.label + L":").c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                                     columns.left, top, valueLeft - columns.left, 0, Hwnd(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), nullptr, nullptr);
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
        const int bottom = AddValue(id++, line.value, valueLeft, top, valueWidth);
        // The label is as high as its value, so a label that wraps is not cut.
        SetWindowPos(label, nullptr, 0, 0, valueLeft - columns.left - columns.top, bottom - top,
                     SWP_NOMOVE | SWP_NOZORDER);
        top = bottom + columns.top;
    }

    HWND close = Item(IDOK);
    const RECT button = fw::ChildRect(close);
    const int buttonTop = top + columns.bottom - columns.top;
    SetWindowPos(close, nullptr, button.left, buttonTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // The values come before the button in the tab order, in reading order.
    SetWindowPos(close, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    GrowTo(buttonTop + (button.bottom - button.top) + columns.bottom);
    SetFocus(close);
    return false;
}

void PropertiesDialog::ShowStatus() {
    const int size = fw::SystemMetric(SM_CXICON, Dpi());
    if (facts_.judgement == EntryFacts::Judgement::Missing) {
        entryIcon_ = fw::LoadIconAt(ResourceModule(), IDI_PHANTOM, fw::SystemMetric(SM_CXICON, fw::kDefaultDpi), Dpi());
    } else {
        if (!entry_.iconPath.empty()) entryIcon_ = fw::ExtractIconAt(entry_.iconPath, entry_.iconIndex, size);
        if (!entryIcon_)
            entryIcon_ = fw::LoadIconAt(ResourceModule(), IDI_DEFAULT_PROGRAM, fw::SystemMetric(SM_CXICON, fw::kDefaultDpi), Dpi());
    }
    SendDlgItemMessageW(Hwnd(), IDC_PROPERTY_ICON, STM_SETICON, reinterpret_cast<WPARAM>(entryIcon_.get()), 0);

    const RECT place = Units(Hwnd(), kStatusLeft, kMargin, 0, 0);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const RECT iconRect = fw::ChildRect(Item(IDC_PROPERTY_ICON));
    const int bottom = AddValue(IDC_PROPERTY_STATUS, JudgementText(facts_), place.left, place.top,
                                client.right - place.left - iconRect.left);
    // The rule goes below whichever is lower, the icon or the text.
    HWND rule = Item(IDC_PROPERTY_RULE);
    const RECT ruleRect = fw::ChildRect(rule);
    const int ruleTop = std::max<int>(bottom, iconRect.bottom) + (ruleRect.top - iconRect.bottom);
    SetWindowPos(rule, nullptr, ruleRect.left, ruleTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

int PropertiesDialog::AddValue(int id, const std::wstring& text, int left, int top, int width) {
    const int lineHeight = LineHeight(Hwnd(), valueFont_.get());
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY;
    HWND value = nullptr;
    int lines = 1;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (value) DestroyWindow(value);
        value = CreateWindowExW(0, L"EDIT", L"", style, left, top, width, lineHeight * kMaxLines, Hwnd(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        if (valueFont_) SendMessageW(value, WM_SETFONT, reinterpret_cast<WPARAM>(valueFont_.get()), FALSE);
        SetWindowTextW(value, text.c_str());
        // The edit wraps the text itself: its line count is the height.
        lines = static_cast<int>(SendMessageW(value, EM_GETLINECOUNT, 0, 0));
        if (lines <= kMaxLines) break;
        style |= WS_VSCROLL;  // then wrapped again, narrower
    }
    const int shown = std::clamp(lines, 1, kMaxLines);
    const int height = shown * lineHeight + 2;
    SetWindowPos(value, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    return top + height;
}

void PropertiesDialog::GrowTo(int clientHeight) {
    RECT window{}, client{};
    GetWindowRect(Hwnd(), &window);
    GetClientRect(Hwnd(), &client);
    const int grow = clientHeight - client.bottom;
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    // Still centred where it opened, and never above the work area.
    const int top = std::max<int>(area.top, window.top - grow / 2);
    SetWindowPos(Hwnd(), nullptr, window.left, top, window.right - window.left, window.bottom - window.top + grow,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}
