// The upgrade without administrator rights, with the real program as
// processes of its own: the window hands the upgrade to an elevated copy
// started with the upgrade switch, which shows the check alone. Wine has
// no UAC, so its "runas" just starts the copy; a refused prompt is the
// rights aid's "standard-refused".

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "GuiDriver.h"
#include "RegistryPaths.h"
#include "ThisProgram.h"
#include "app/ElevatedUpgrade.h"
#include "framework/UniqueHandle.h"

namespace {

std::string ProgramPath() { return BesideThisProgram(ZALTROW_EXE_FROM_TESTS); }

// The real program, started with `args` and the rights aid set to `rights`
// (none when empty); ended when the test is done with it.
class Program {
public:
    Program(const std::string& args, const char* rights) {
        if (*rights) SetEnvironmentVariableA("ZALTROW_TEST_RIGHTS", rights);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string command = "\"";
        command.append(ProgramPath()).append("\" ").append(args);
        PROCESS_INFORMATION started{};
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
            process.reset(started.hProcess);
            CloseHandle(started.hThread);
            pid = started.dwProcessId;
        }
        SetEnvironmentVariableA("ZALTROW_TEST_RIGHTS", nullptr);
    }
    ~Program() {
        if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) TerminateProcess(process.get(), 1);
    }
    DWORD ExitCode(DWORD waitMs) const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process.get(), waitMs) == WAIT_OBJECT_0) GetExitCodeProcess(process.get(), &code);
        return code;
    }

    fw::KernelHandle process;
    DWORD pid = 0;
};

// Running copies of the program other than process `except`.
std::vector<DWORD> OtherCopies(DWORD except) {
    const std::string name = ProgramPath().substr(ProgramPath().rfind('\\') + 1);
    std::vector<DWORD> pids;
    fw::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
        if (entry.th32ProcessID != except && lstrcmpiA(entry.szExeFile, name.c_str()) == 0)
            pids.push_back(entry.th32ProcessID);
    return pids;
}

BOOL CALLBACK AddVisible(HWND window, LPARAM parameter) {
    auto& [pid, windows] = *reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid && IsWindowVisible(window)) windows.push_back(window);
    return TRUE;
}
// The visible top-level windows of process `pid`.
std::vector<HWND> VisibleWindows(DWORD pid) {
    std::pair<DWORD, std::vector<HWND>> search{pid, {}};
    EnumWindows(&AddVisible, reinterpret_cast<LPARAM>(&search));
    return search.second;
}
// A message box of process `pid` with its text in place, or null.
HWND MessageBoxOf(DWORD pid) {
    for (HWND window : VisibleWindows(pid))
        if (gui::IsMessageBox(window) && !gui::ItemText(window, 0xFFFF).empty()) return window;
    return nullptr;
}

class ElevatedUpgradeTest : public testing::Test {
protected:
    void SetUp() override {
        HKEY key = nullptr;
        settingsExisted_ = RegOpenKeyExA(HKEY_CURRENT_USER, kSettings.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (key) RegCloseKey(key);
    }
    void TearDown() override {
        if (!settingsExisted_) RegDeleteTreeA(HKEY_CURRENT_USER, kSettings.c_str());
    }

private:
    bool settingsExisted_ = false;
};

TEST_F(ElevatedUpgradeTest, UpgradeSwitchShowsTheCheckAloneAndEndsWithIt) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettings.c_str(), "bDisableSplash");  // the window would show the splash
    Program copy("/upgrade", "");
    ASSERT_TRUE(copy.process);
    HWND check = gui::WaitForWindow(copy.pid, "#32770", "Check for Upgrade", 15000);
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(VisibleWindows(copy.pid).size(), 1u) << "no main window, no splash";
    EXPECT_EQ(GetWindow(check, GW_OWNER), nullptr);
    gui::PressButton(check, IDCANCEL);
    EXPECT_EQ(copy.ExitCode(10000), 1u) << "ended, having installed nothing";
}

TEST_F(ElevatedUpgradeTest, WithoutRightsUpgradeStartsAnElevatedCopyOrSaysTheRefusedPromptStartedNothing) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettings.c_str(), "bDisableSplash", REG_SZ, "1", 2);
    for (const bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "refused" : "allowed");
        Program window("", refused ? "standard-refused" : "standard");
        HWND main = gui::WaitForWindow(window.pid, "#32770", "Zaltrow", 15000);
        ASSERT_NE(main, nullptr);
        gui::PressButton(main, 1006);  // Upgrade
        if (refused) {
            HWND box = nullptr;
            ASSERT_TRUE(gui::PumpUntil([&] { return (box = MessageBoxOf(window.pid)) != nullptr; }, 10000));
            EXPECT_EQ(gui::WideItemText(box, 0xFFFF), ElevatedUpgrade::RefusedText());
            EXPECT_TRUE(OtherCopies(window.pid).empty()) << "nothing started";
            gui::PressButton(box, IDOK);
        } else {
            std::vector<DWORD> copies;
            ASSERT_TRUE(gui::PumpUntil([&] { return !(copies = OtherCopies(window.pid)).empty(); }, 10000));
            ASSERT_EQ(copies.size(), 1u);
            HWND check = gui::WaitForWindow(copies[0], "#32770", "Check for Upgrade", 15000);
            ASSERT_NE(check, nullptr);
            EXPECT_EQ(VisibleWindows(copies[0]).size(), 1u) << "the copy shows the check alone";
            EXPECT_FALSE(IsWindowEnabled(main)) << "the window waits for the copy";
            fw::KernelHandle copy(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, copies[0]));
            gui::PressButton(check, IDCANCEL);
            ASSERT_EQ(WaitForSingleObject(copy.get(), 10000), WAIT_OBJECT_0);
            DWORD code = 0;
            GetExitCodeProcess(copy.get(), &code);
            EXPECT_EQ(code, 1u);
        }
        EXPECT_TRUE(gui::PumpUntil([&] { return IsWindowEnabled(main) != FALSE; }, 5000));
        EXPECT_EQ(window.ExitCode(0), STILL_ACTIVE) << "the window stays";
        gui::PressButton(main, IDCANCEL);  // Quit
        EXPECT_EQ(window.ExitCode(10000), 0u);
    }
}

}  // namespace
