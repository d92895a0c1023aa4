// Starts the real program as its own process on entries seeded in the test
// prefix's registry, and reads its window from outside like a person would.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiDriver.h"
#include "RegistryPaths.h"
#include "TempFolder.h"
#include "ThisProgram.h"
#include "resource.h"

namespace {

std::string ProgramPath() { return BesideThisProgram(ZALTROW_EXE_FROM_TESTS); }

void SetText(HKEY root, const std::string& path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

// Entries in the prefix's own registry, removed again when the test ends.
class SeededPrefix {
public:
    SeededPrefix() {
        HKEY existing = nullptr;
        settingsExisted_ = RegOpenKeyExA(HKEY_CURRENT_USER, kSettings.c_str(), 0, KEY_READ, &existing) == ERROR_SUCCESS;
        if (existing) RegCloseKey(existing);
    }
    ~SeededPrefix() {
        for (const auto& [root, key] : keys_) RegDeleteTreeA(root, key.c_str());
        if (!settingsExisted_) RegDeleteTreeA(HKEY_CURRENT_USER, kSettings.c_str());
    }
    // The key's path under `root`.
    std::string Entry(const std::string& name, const std::string& command, HKEY root = HKEY_LOCAL_MACHINE) {
        const std::string key = kUninstall + "\\ZaltrowEndToEnd_" + std::to_string(GetCurrentProcessId()) + "_" +
                                std::to_string(keys_.size());
        keys_.emplace_back(root, key);
        SetText(root, key, "DisplayName", name);
        SetText(root, key, "UninstallString", command);
        return key;
    }

private:
    std::vector<std::pair<HKEY, std::string>> keys_;
    bool settingsExisted_ = false;
};

TEST(ProgramEndToEnd, ShowsTheSeededEntriesAndQuits) {
    TempFolder files;
    SeededPrefix prefix;
    const std::string present = files.WriteFile("Tool\\unins000.exe");
    prefix.Entry("ZE2E Charlie", "\"" + present + "\" /SILENT");
    prefix.Entry("ZE2E alpha", "MsiExec.exe /X{5}");
    prefix.Entry("ZE2E Bravo", files.Join("gone\\uninstall.exe"));
    SetText(HKEY_CURRENT_USER, kSettings, "bDisableSplash", "1");

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string command = "\"";
    command.append(ProgramPath()).append("\"");
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, files.Path().c_str(),
                               &startup, &process))
        << command << ": " << GetLastError();
    HWND window = gui::WaitForWindow(process.dwProcessId, "#32770", "Zaltrow", 15000);
    ASSERT_NE(window, nullptr);
    HWND list = GetDlgItem(window, 1000);
    ASSERT_NE(list, nullptr);

    std::vector<std::vector<std::string>> ours;
    std::vector<LPARAM> marks;
    const auto rows = gui::RemoteListRows(list, 2);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i][0].rfind("ZE2E", 0) != 0) continue;
        ours.push_back(rows[i]);
        marks.push_back(gui::RemoteItemData(list, static_cast<int>(i)));
    }
    const std::vector<std::vector<std::string>> expected{
        {"ZE2E alpha", "MsiExec.exe /X{5}"},
        {"ZE2E Bravo", files.Join("gone\\uninstall.exe")},
        {"ZE2E Charlie", "\"" + present + "\" /SILENT"},
    };
    EXPECT_EQ(ours, expected);
    EXPECT_EQ(marks, (std::vector<LPARAM>{0, 100, 0}));

    gui::PressButton(window, IDCANCEL);  // Quit
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    if (exitCode == STILL_ACTIVE) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

bool KeyThere(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A message box of process `pid`, waited for.
HWND WaitForMessageBox(DWORD pid, bool (*accept)(HWND) = gui::IsMessageBox) {
    for (int i = 0; i < 1500; ++i, Sleep(10)) {
        HWND found = nullptr;
        for (HWND w = GetTopWindow(nullptr); w && !found; w = GetWindow(w, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == pid && IsWindowVisible(w) && accept(w)) found = w;
        }
        if (found) return found;
    }
    return nullptr;
}

// The window as a standard user (the rights aid): the user's own entries
// it removes itself; the machine's it hands, all at once, to the elevated
// console program, which backs them up into the machine's folder; a declined
// prompt removes nothing at all.
TEST(ProgramEndToEnd, StandardUserHandsTheMachinesEntriesToTheElevatedConsoleProgram) {
    struct Case {
        const char* aid;
        bool machineChosen;
        const char* reportStarts;
        bool machineGone, userGone;
    };
    const Case cases[] = {
        {"standard", true, "2 entries were removed", true, true},
        {"standard-refused", true, "Nothing was removed", false, false},
        {"standard-refused", false, "ZE2E user entry was successfully removed", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.aid) + (c.machineChosen ? ", both chosen" : ", the user's own chosen"));
        TempFolder files;
        SeededPrefix prefix;
        // Built up in place: GCC 12 misjudges "literal" + a temporary here (-Wrestrict).
        const auto quoted = [](const std::string& path) {
            std::string text(1, '"');
            text += path;
            text += '"';
            return text;
        };
        const std::string machine = prefix.Entry("ZE2E machine entry", quoted(files.WriteFile("m\\un.exe")));
        const std::string user = prefix.Entry("ZE2E user entry", quoted(files.WriteFile("u\\un.exe")), HKEY_CURRENT_USER);
        SetText(HKEY_CURRENT_USER, kSettings, "bDisableSplash", "1");
        // The user's backups go to the folder "Local AppData" names.
        char appData[MAX_PATH] = {};
        DWORD size = sizeof appData;
        const bool hadAppData = RegGetValueA(HKEY_CURRENT_USER, kUserShellFolders.c_str(), "Local AppData",
                                             RRF_RT_REG_SZ | RRF_NOEXPAND, nullptr, appData, &size) == ERROR_SUCCESS;
        SetText(HKEY_CURRENT_USER, kUserShellFolders, "Local AppData", files.Path());

        SetEnvironmentVariableA("ZALTROW_TEST_RIGHTS", c.aid);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::string command = "\"";
        command.append(ProgramPath()).append("\"");
        const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                            files.Path().c_str(), &startup, &process);
        SetEnvironmentVariableA("ZALTROW_TEST_RIGHTS", nullptr);
        ASSERT_TRUE(started);
        HWND window = gui::WaitForWindow(process.dwProcessId, "#32770", "Zaltrow", 15000);
        ASSERT_NE(window, nullptr);
        HWND list = GetDlgItem(window, 1000);
        std::vector<int> chosen;
        const auto rows = gui::RemoteListRows(list, 1);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i][0] == "ZE2E user entry" || (c.machineChosen && rows[i][0] == "ZE2E machine entry"))
                chosen.push_back(static_cast<int>(i));
        gui::RemoteSelectRows(list, chosen);
        Sleep(200);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_REMOVE, BN_CLICKED), 0);
        HWND question = WaitForMessageBox(process.dwProcessId, gui::IsRemoveQuestion);
        ASSERT_NE(question, nullptr);
        gui::PressButton(question, GetDlgItem(question, IDYES) ? IDYES : gui::kRemoveTheEntry);
        Sleep(300);
        HWND report = WaitForMessageBox(process.dwProcessId);
        ASSERT_NE(report, nullptr);
        EXPECT_EQ(gui::ItemText(report, 0xFFFF).rfind(c.reportStarts, 0), 0u) << gui::ItemText(report, 0xFFFF);
        gui::PressButton(report, IDOK);
        gui::PressButton(window, IDCANCEL);
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);

        EXPECT_EQ(!KeyThere(HKEY_LOCAL_MACHINE, machine), c.machineGone);
        EXPECT_EQ(!KeyThere(HKEY_CURRENT_USER, user), c.userGone);
        // The user's backups in the user's folder; the elevated step's in
        // the machine's, where the user's window cannot redirect it.
        const auto backupsOf = [](const std::string& pattern, bool take) {
            WIN32_FIND_DATAA found{};
            std::size_t count = 0;
            HANDLE search = FindFirstFileA(pattern.c_str(), &found);
            for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
                ++count;
                if (take) DeleteFileA((pattern.substr(0, pattern.rfind('\\') + 1) + found.cFileName).c_str());
            }
            if (search != INVALID_HANDLE_VALUE) FindClose(search);
            return count;
        };
        char programData[MAX_PATH] = {};
        GetEnvironmentVariableA("ProgramData", programData, MAX_PATH);
        const std::string machineKey = machine.substr(machine.rfind('\\') + 1);
        EXPECT_EQ(backupsOf(files.Join("Zaltrow\\Removed\\*.reg"), false), c.userGone ? 1u : 0u);
        EXPECT_EQ(backupsOf(std::string(programData) + "\\Zaltrow\\Removed\\*" + machineKey + "*.reg", true),
                  c.machineGone ? 1u : 0u);
        if (hadAppData) SetText(HKEY_CURRENT_USER, kUserShellFolders, "Local AppData", appData);
        else RegDeleteKeyValueA(HKEY_CURRENT_USER, kUserShellFolders.c_str(), "Local AppData");
    }
}

}  // namespace
