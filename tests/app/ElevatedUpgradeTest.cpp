// The upgrade without administrator rights, with the real program as
// processes of its own: the window hands the upgrade to a copy of itself
// started elevated with /upgrade, which shows the check alone and ends
// with it. Wine has no UAC, so its "runas" just starts the copy; a refused
// prompt is the rights aid's "standard-refused".

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiDriver.h"
#include "RegistryPaths.h"
#include "ThisProgram.h"
#include "app/ElevatedUpgrade.h"
#include "framework/UniqueHandle.h"

namespace {

const std::string kProgram = BesideThisProgram(ZALTROW_EXE_FROM_TESTS);

// Running copies of the program other than process `except`.
std::vector<DWORD> OtherCopies(DWORD except) {
    std::vector<DWORD> pids;
    fw::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
        if (entry.th32ProcessID != except && kProgram.ends_with(std::string("\\") + entry.szExeFile))
            pids.push_back(entry.th32ProcessID);
    return pids;
}

DWORD ExitCode(HANDLE process, DWORD waitMs) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process, waitMs) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    return code;
}

TEST(ElevatedUpgrade, WithoutRightsUpgradeRunsInAnElevatedCopyOrARefusedPromptStartsNothing) {
    HKEY settings = nullptr;
    const bool settingsExisted = RegOpenKeyExA(HKEY_CURRENT_USER, kSettings.c_str(), 0, KEY_READ, &settings) == 0;
    if (settings) RegCloseKey(settings);
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettings.c_str(), "bDisableSplash", REG_SZ, "1", 2);
    for (const char* rights : {"standard", "standard-refused"}) {
        SCOPED_TRACE(rights);
        SetEnvironmentVariableA("ZALTROW_TEST_RIGHTS", rights);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        std::string command = "\"" + kProgram + "\"";
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
        SetEnvironmentVariableA("ZALTROW_TEST_RIGHTS", nullptr);
        const fw::KernelHandle process(started.hProcess), thread(started.hThread);
        HWND main = gui::WaitForWindow(started.dwProcessId, "#32770", "Zaltrow", 15000);
        ASSERT_NE(main, nullptr);
        gui::PressButton(main, 1006);  // Upgrade
        if (rights == std::string("standard-refused")) {
            HWND box = nullptr;
            ASSERT_TRUE(gui::PumpUntil([&] {
                box = GetLastActivePopup(main);
                return box != main && !gui::ItemText(box, 0xFFFF).empty();
            }, 10000));
            EXPECT_EQ(gui::WideItemText(box, 0xFFFF), ElevatedUpgrade::RefusedText());
            EXPECT_TRUE(OtherCopies(started.dwProcessId).empty()) << "nothing started";
            gui::PressButton(box, IDOK);
        } else {
            std::vector<DWORD> copies;
            ASSERT_TRUE(gui::PumpUntil([&] { return (copies = OtherCopies(started.dwProcessId)).size() == 1; }, 10000));
            const fw::KernelHandle copy(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, copies[0]));
            HWND check = gui::WaitForWindow(copies[0], "#32770", "Check for Upgrade", 15000);
            ASSERT_NE(check, nullptr);
            EXPECT_EQ(gui::WaitForWindow(copies[0], "#32770", "Zaltrow", 0), nullptr) << "no main window";
            EXPECT_FALSE(IsWindowEnabled(main)) << "the window waits for its copy";
            gui::PressButton(check, IDCANCEL);
            EXPECT_EQ(ExitCode(copy.get(), 10000), 1u) << "the copy ends with its check, having installed nothing";
        }
        EXPECT_TRUE(gui::PumpUntil([&] { return IsWindowEnabled(main) != FALSE; }, 5000));
        EXPECT_EQ(ExitCode(process.get(), 0), STILL_ACTIVE) << "the window stays";
        gui::PressButton(main, IDCANCEL);  // Quit
        EXPECT_EQ(ExitCode(process.get(), 10000), 0u);
    }
    if (!settingsExisted) RegDeleteTreeA(HKEY_CURRENT_USER, kSettings.c_str());
}

}  // namespace
