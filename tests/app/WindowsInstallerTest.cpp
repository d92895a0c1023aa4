// Windows Installer entries in the real main window, judged against real
// packages: the test prefix's own msiexec installs (and removes) them, so
// Windows Installer knows exactly what it would know on a machine where
// they were installed, and the entries are the ones it wrote.

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "MainDialogTestAccess.h"
#include "ScratchRegistry.h"
#include "ThisProgram.h"
#include "app/MainDialog.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "resource.h"

namespace {

const std::wstring kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::wstring kKept = ZALTROW_TEST_KEPT_PRODUCT;
const std::wstring kOrphan = ZALTROW_TEST_ORPHAN_PRODUCT;
const std::wstring kNeverKnown = L"{5A0C2F4E-1B7D-4C39-9E61-2D8F3A7B6C09}";

// msiexec of the prefix, run to its end; its exit code.
DWORD RunMsiexec(const std::wstring& arguments) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring command = L"msiexec.exe " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW((std::wstring(system) + L"\\msiexec.exe").c_str(), command.data(), nullptr, nullptr, FALSE,
                        0, nullptr, nullptr, &startup, &process))
        return GetLastError();
    fw::KernelHandle thread(process.hThread), owned(process.hProcess);
    DWORD code = WAIT_TIMEOUT;
    if (WaitForSingleObject(owned.get(), 120000) == WAIT_OBJECT_0) GetExitCodeProcess(owned.get(), &code);
    return code;
}

std::wstring Package(const char* name) {
    return L"\"" + fw::Widen(BesideThisProgram(name)) + L"\"";
}

class WindowsInstallerTest : public ::testing::Test {
protected:
    // The machine keys stay real: msiexec, a process of its own, writes them.
    WindowsInstallerTest() : scratch(ScratchRegistry::Roots::UserOnly) {}
    ~WindowsInstallerTest() override {
        RunMsiexec(L"/x " + kKept + L" /qn");
        for (const std::wstring& key : keys) RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kUninstallKey + key).c_str());
    }

    // An entry written as an installer or a cleaner would have left it.
    void Entry(const std::wstring& key, const std::wstring& name, const std::wstring& command,
               std::initializer_list<std::pair<const wchar_t*, DWORD>> numbers = {}) {
        keys.push_back(key);
        ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstallKey + key, L"DisplayName", name);
        ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstallKey + key, L"UninstallString", command);
        fw::RegKey entry;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kUninstallKey + key).c_str(), 0, KEY_SET_VALUE, entry.put());
        for (const auto& [valueName, number] : numbers)
            RegSetValueExW(entry.get(), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
    bool Listed(const std::wstring& key) { return ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey + key); }
    int RowOf(const std::wstring& name) {
        auto& list = MainDialogTestAccess::List(dialog);
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (list.GetItemText(i, 0) == name) return i;
        return -1;
    }

    ScratchRegistry scratch;
    std::vector<std::wstring> keys;
    fw::Modeless<MainDialog> dialog;
};

TEST_F(WindowsInstallerTest, RedExactlyWhenWindowsInstallerNoLongerKnowsTheProduct) {
    ASSERT_EQ(RunMsiexec(L"/i " + Package("ZaltrowTestKept.msi") + L" /qn"), 0u);
    ASSERT_TRUE(Listed(kKept)) << "msiexec wrote no entry";
    // What a failed uninstall or a cleaner leaves behind: the product is
    // gone from Windows Installer, its entry is back.
    ASSERT_EQ(RunMsiexec(L"/i " + Package("ZaltrowTestOrphan.msi") + L" /qn"), 0u);
    ASSERT_EQ(RunMsiexec(L"/x " + kOrphan + L" /qn"), 0u);
    ASSERT_FALSE(Listed(kOrphan));
    Entry(kOrphan, L"ZaltrowTestOrphan", L"MsiExec.exe /I" + kOrphan, {{L"WindowsInstaller", 1}});

    const std::wstring tag = std::to_wstring(GetCurrentProcessId());
    Entry(kNeverKnown, L"ZaltrowTest never known", L"MsiExec.exe /X" + kNeverKnown, {{L"WindowsInstaller", 1}});
    Entry(L"ZaltrowTest command " + tag, L"ZaltrowTest known by command",
          L"\"C:\\Windows\\System32\\MSIEXEC.EXE\" /uninstall " + kNeverKnown);
    Entry(L"ZaltrowTest malformed " + tag, L"ZaltrowTest malformed", L"MsiExec.exe /X{5A0C2F4E-1B7D}",
          {{L"WindowsInstaller", 1}});
    Entry(L"ZaltrowTest component " + tag, L"ZaltrowTest component", L"MsiExec.exe /X" + kKept,
          {{L"WindowsInstaller", 1}, {L"SystemComponent", 1}});

    ScratchRegistry::SetString(HKEY_CURRENT_USER, "Software\\Zaltrow", "bDisableSplash", "1");
    ASSERT_TRUE(dialog.Create());
    auto& list = MainDialogTestAccess::List(dialog);
    std::map<std::wstring, LPARAM> shown;
    for (int i = 0; i < list.GetItemCount(); ++i)
        if (list.GetItemText(i, 0).starts_with(L"ZaltrowTest")) shown[list.GetItemText(i, 0)] = list.GetItemData(i);
    const std::map<std::wstring, LPARAM> expected{
        {L"ZaltrowTestKept", 0},                          // installed
        {L"ZaltrowTestOrphan", PhantomMark},              // uninstalled, its entry put back
        {L"ZaltrowTest never known", PhantomMark},        // a product code Windows Installer never knew
        {L"ZaltrowTest known by command", PhantomMark},   // the same, found through its command
        {L"ZaltrowTest malformed", 0},                    // no product code: the file rule
    };  // and no row for the system component
    EXPECT_EQ(shown, expected);

    // Uninstall of the orphan runs nothing: straight to the removal offer.
    list.SelectRows({RowOf(L"ZaltrowTestOrphan")}, RowOf(L"ZaltrowTestOrphan"));
    gui::BoxAnswerer wait([](HWND w) { return gui::HasButton(w, IDOK, "&Next"); }, IDOK, 3000);
    gui::BoxAnswerer offer([](HWND w) { return gui::HasButton(w, IDCANCEL, "&No"); }, IDCANCEL);
    SendMessageW(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_UNINSTALL, BN_CLICKED), 0);
    EXPECT_NE(offer.Seen().window, nullptr);
    EXPECT_EQ(wait.Seen().window, nullptr) << "an uninstaller was started";
    EXPECT_TRUE(Listed(kOrphan)) << "No was answered";
}

}  // namespace
