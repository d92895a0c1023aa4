// The Properties view of a red entry read from the registry, in a real
// modal window driven from a second thread: its caption, the reason beside
// the phantom icon, every line, and a long name in three scripts shown whole.

#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "GuiDriver.h"
#include "RegistryPaths.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "app/PropertiesDialog.h"
#include "framework/Dpi.h"
#include "framework/TextConversion.h"
#include "inventory/EntryJudgement.h"
#include "inventory/UninstallerProbe.h"
#include "resource.h"

namespace {

using Lines = std::vector<std::pair<std::wstring, std::wstring>>;

std::wstring TextOf(HWND window) {
    wchar_t text[4096] = {};
    return std::wstring(text, static_cast<std::size_t>(GetWindowTextW(window, text, 4096)));
}

// The edit shows its last character inside its client area, unscrolled,
// and lies inside the dialog.
bool ShowsWhole(HWND edit) {
    RECT client{}, dialog{}, rect{};
    GetClientRect(edit, &client);
    GetClientRect(GetParent(edit), &dialog);
    GetWindowRect(edit, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(edit), reinterpret_cast<POINT*>(&rect), 2);
    const LRESULT last = SendMessageW(edit, EM_POSFROMCHAR, GetWindowTextLengthW(edit) - 1, 0);
    const int lineHeight = static_cast<int>(client.bottom / std::max<LRESULT>(1, SendMessageW(edit, EM_GETLINECOUNT, 0, 0)));
    return SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0) == 0 && last != -1 &&
           static_cast<short>(LOWORD(last)) < client.right && static_cast<short>(HIWORD(last)) + lineHeight <= client.bottom &&
           rect.left >= 0 && rect.top >= 0 && rect.right <= dialog.right && rect.bottom <= dialog.bottom;
}

TEST(PropertiesDialogTest, RedEntryShowsItsReasonBesideThePhantomIconAndEveryValueWhole) {
    ScratchRegistry scratch;
    TempFolder files;
    const std::wstring name = L"Очень длинное название программы удаления — とても長い名前です — Zażółć gęślą jaźń";
    const std::string key = kUninstall + "\\Gone";
    std::string command = "\"";
    command.append(files.Join("Gone\\unins000.exe")).append("\" /uninstall /log=\"");
    command.append(files.Join("Gone\\a rather long folder name\\uninstall.log")).append("\"");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, fw::Widen(key), L"DisplayName", name);
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "UninstallString", command);
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, key, "InstallDate", "20261208");
    ScratchRegistry::SetDword(HKEY_LOCAL_MACHINE, key, "EstimatedSize", 12698);
    ProgramInventory inventory;
    inventory.Enumerate();
    const std::vector<ListedEntry> listed = ListEntries(inventory);
    ASSERT_EQ(listed.size(), 1u);
    ASSERT_TRUE(listed[0].phantom);

    PropertiesDialog dialog(nullptr, *listed[0].entry, listed[0].phantom, listed[0].reason,
                            QuietUninstallOf(*listed[0].entry, listed[0].file, listed[0].args));
    std::wstring caption, status;
    HICON icon = nullptr;
    Lines lines;
    std::vector<std::wstring> cut;  // labels of values not shown whole
    std::thread driver([&] {
        HWND window = gui::WaitForDialog([](HWND w) { return GetDlgItem(w, IDC_PROPERTY_STATUS) != nullptr; }, 10000);
        if (!window) return;
        Sleep(50);
        // The caption as stored: the dialog's ANSI procedure would pass it
        // through the code page.
        caption.resize(4096);
        caption.resize(static_cast<std::size_t>(InternalGetWindowText(window, caption.data(), 4096)));
        status = TextOf(GetDlgItem(window, IDC_PROPERTY_STATUS));
        icon = reinterpret_cast<HICON>(SendDlgItemMessageW(window, IDC_PROPERTY_ICON, STM_GETICON, 0, 0));
        for (int id = IDC_PROPERTY_FIRST; GetDlgItem(window, id); id += 2) {
            HWND value = GetDlgItem(window, id + 1);
            lines.emplace_back(TextOf(GetDlgItem(window, id)), TextOf(value));
            if (!(GetWindowLongPtrW(value, GWL_STYLE) & WS_VSCROLL) && !ShowsWhole(value)) cut.push_back(lines.back().first);
        }
        if (!ShowsWhole(GetDlgItem(window, IDC_PROPERTY_STATUS))) cut.push_back(L"status");
        gui::PressEscape(window);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << "Escape closes";
    driver.join();

    EXPECT_EQ(caption, name + L" Properties");
    EXPECT_EQ(status, L"The uninstaller is missing: " + fw::Widen(files.Join("Gone\\unins000.exe")));
    EXPECT_EQ(gui::IconPixels(icon), gui::IconPixels(fw::LoadIconAt(GetModuleHandleW(nullptr), IDI_PHANTOM, 32, fw::SystemDpi()).get()));
    const Lines expected{
        {L"Name:", name},
        {L"List:", SourceDescription(EntrySource::Machine)},
        {L"Key:", L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gone"},
        {L"Installed on:", PropertiesDialog::LocaleDate(2026, 12, 8)},
        {L"Size:", L"12.4 MB"},
        {L"Uninstall command:", fw::Widen(command)},
        {L"Runs quietly:", L"No: it shows its own window"},
    };
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(cut.empty()) << fw::Narrow(cut.empty() ? L"" : cut.front());
}

}  // namespace
