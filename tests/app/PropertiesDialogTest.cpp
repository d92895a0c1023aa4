// The Properties view of a red entry read from the registry, in a real
// modal window driven from a second thread: its caption, the reason beside
// the phantom icon, every line, and a long name in two scripts shown whole.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "GuiDriver.h"
#include "RegistryPaths.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "app/PropertiesDialog.h"
#include "framework/TextConversion.h"
#include "inventory/EntryJudgement.h"
#include "resource.h"

namespace {

std::wstring WindowTextOf(HWND window) {
    wchar_t text[4096] = {};
    return std::wstring(text, static_cast<std::size_t>(GetWindowTextW(window, text, 4096)));
}

// The caption as the window stores it: asking the dialog's ANSI procedure
// would pass it through the code page.
std::wstring CaptionOf(HWND window) {
    wchar_t text[4096] = {};
    return std::wstring(text, static_cast<std::size_t>(InternalGetWindowText(window, text, 4096)));
}

// True when the edit shows its last character inside its client area
// without scrolling: the whole text is in sight.
bool ShowsWhole(HWND edit) {
    if (SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0) != 0) return false;
    const int length = GetWindowTextLengthW(edit);
    if (length == 0) return true;
    const LRESULT position = SendMessageW(edit, EM_POSFROMCHAR, length - 1, 0);
    if (position == -1) return false;
    RECT client{};
    GetClientRect(edit, &client);
    HDC dc = GetDC(edit);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    const int x = static_cast<short>(LOWORD(position)), y = static_cast<short>(HIWORD(position));
    return x >= 0 && x < client.right && y >= 0 && y + metrics.tmHeight <= client.bottom;
}

struct Seen {
    std::wstring caption;
    std::wstring status;
    HICON icon = nullptr;
    std::vector<std::pair<std::wstring, std::wstring>> lines;
    std::vector<std::wstring> cut;  // labels of values not shown whole or outside the window
    bool buttonInside = false;
};

TEST(PropertiesDialogTest, RedEntryShowsItsReasonBesideThePhantomIconAndEveryValueWhole) {
    ScratchRegistry scratch;
    TempFolder files;
    const std::wstring name =
        L"Очень длинное название программы удаления — とても長いプログラムの名前です — Zażółć gęślą jaźń";
    const std::string key = kUninstall + "\\Gone";
    const std::string command = "\"" + files.Join("Gone\\unins000.exe") + "\" /uninstall /log=\"" +
                                files.Join("Gone\\a rather long folder name\\uninstall.log") + "\"";
    ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, key);
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, fw::Widen(key), L"DisplayName", name);
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "UninstallString", command);
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "QuietUninstallString", command + " /VERYSILENT");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "Publisher", "Acme");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "InstallDate", "20261208");
    ScratchRegistry::SetDword(HKEY_LOCAL_MACHINE, key, "EstimatedSize", 12698);

    ProgramInventory inventory;
    inventory.Enumerate();
    const std::vector<ListedEntry> listed = ListEntries(inventory);
    ASSERT_EQ(listed.size(), 1u);
    ASSERT_TRUE(listed[0].phantom);

    PropertiesDialog dialog(nullptr, *listed[0].entry, listed[0].phantom, listed[0].reason);
    Seen seen;
    std::thread driver([&seen] {
        HWND window = gui::WaitForDialog([](HWND w) { return GetDlgItem(w, IDC_PROPERTY_STATUS) != nullptr; }, 10000);
        if (!window) return;
        Sleep(50);
        seen.caption = CaptionOf(window);
        seen.status = WindowTextOf(GetDlgItem(window, IDC_PROPERTY_STATUS));
        seen.icon = reinterpret_cast<HICON>(SendDlgItemMessageW(window, IDC_PROPERTY_ICON, STM_GETICON, 0, 0));
        RECT client{};
        GetClientRect(window, &client);
        const auto inside = [window, &client](HWND control) {
            RECT rect{};
            GetWindowRect(control, &rect);
            MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
            return rect.left >= 0 && rect.top >= 0 && rect.right <= client.right && rect.bottom <= client.bottom;
        };
        for (int id = IDC_PROPERTY_FIRST; GetDlgItem(window, id); id += 2) {
            HWND value = GetDlgItem(window, id + 1);
            seen.lines.emplace_back(WindowTextOf(GetDlgItem(window, id)), WindowTextOf(value));
            const bool scrolls = GetWindowLongPtrW(value, GWL_STYLE) & WS_VSCROLL;
            if (!inside(value) || (!scrolls && !ShowsWhole(value))) seen.cut.push_back(seen.lines.back().first);
        }
        if (!ShowsWhole(GetDlgItem(window, IDC_PROPERTY_STATUS))) seen.cut.push_back(L"status");
        seen.buttonInside = inside(GetDlgItem(window, IDOK));
        gui::PressEscape(window);
    });
    const INT_PTR code = dialog.DoModal();
    driver.join();

    EXPECT_EQ(code, IDCANCEL) << "Escape closes";
    EXPECT_EQ(seen.caption, name + L" Properties");
    EXPECT_EQ(seen.status, L"The uninstaller is missing: " + fw::Widen(files.Join("Gone\\unins000.exe")));
    EXPECT_EQ(seen.icon, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PHANTOM)));
    const std::vector<std::pair<std::wstring, std::wstring>> lines{
        {L"Name:", name},
        {L"List:", SourceDescription(EntrySource::Machine)},
        {L"Key:", L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gone"},
        {L"Publisher:", L"Acme"},
        {L"Installed on:", PropertiesDialog::LocaleDate(2026, 12, 8)},
        {L"Size:", L"12.4 MB"},
        {L"Uninstall command:", fw::Widen(command)},
        {L"Quiet uninstall command:", fw::Widen(command + " /VERYSILENT")},
    };
    EXPECT_EQ(seen.lines, lines);
    EXPECT_TRUE(seen.cut.empty()) << fw::Narrow(seen.cut.empty() ? L"" : seen.cut.front());
    EXPECT_TRUE(seen.buttonInside);
}

}  // namespace
