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
        for (const std::string& key : keys_) RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
        if (!settingsExisted_) RegDeleteTreeA(HKEY_CURRENT_USER, kSettings.c_str());
    }
    void Entry(const std::string& name, const std::string& command) {
        const std::string key = kUninstall + "\\ZaltrowEndToEnd_" + std::to_string(GetCurrentProcessId()) + "_" +
                                std::to_string(keys_.size());
        keys_.push_back(key);
        SetText(HKEY_LOCAL_MACHINE, key, "DisplayName", name);
        SetText(HKEY_LOCAL_MACHINE, key, "UninstallString", command);
    }

private:
    std::vector<std::string> keys_;
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

}  // namespace
