// fw::ElevatedStart and fw::UnelevatedStart hand the started program its
// arguments and working folder. Wine has no UAC ("runas" just starts the
// program) but does have the desktop shell's interfaces, so the unelevated
// start is the desktop shell's: the program is no child of this process.

#include "framework/ElevatedStart.h"
#include "framework/UnelevatedStart.h"

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "GuiDriver.h"
#include "TempFolder.h"
#include "ThisProgram.h"
#include "framework/TextConversion.h"

namespace {

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

// The parent of the newest running process of that file name; 0 if none runs.
DWORD ParentOf(const char* name) {
    fw::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
        if (lstrcmpiA(entry.szExeFile, name) == 0) parent = entry.th32ParentProcessID;
    return parent;
}

TEST(ShellStarts, PassArgumentsAndFolderAndTheUnelevatedOneIsTheDesktopShells) {
    const std::string recorder = FullPath(BesideThisProgram("..\\net\\command_recorder.exe"));
    const std::wstring args = L"one \"two words\"";
    for (const bool elevated : {true, false}) {
        SCOPED_TRACE(elevated ? "elevated" : "unelevated");
        TempFolder folder;
        if (elevated) {
            fw::KernelHandle process;
            ASSERT_EQ(fw::ElevatedStart::Start(fw::Widen(recorder), args, fw::Widen(folder.Path()), process), 0u);
            ASSERT_TRUE(process);
            EXPECT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
        } else {
            const auto outcome = fw::UnelevatedStart::Start(fw::Widen(recorder), args, fw::Widen(folder.Path()));
            ASSERT_EQ(outcome.error, 0u);
            EXPECT_EQ(outcome.route, fw::UnelevatedStart::Route::DesktopShell) << "Wine's desktop took it";
        }
        std::string line;
        gui::PumpUntil([&] {
            std::ifstream log(folder.Join("calls.log"), std::ios::binary);
            line.assign(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
            return !line.empty();
        }, 10000);
        EXPECT_TRUE(line.ends_with("command_recorder.exe\" one \"two words\"\n")) << line;
    }

    // A program that stays a moment, to see who started it.
    const std::string waiter = FullPath(BesideThisProgram("..\\app\\fake_uninstaller.exe"));
    ASSERT_EQ(fw::UnelevatedStart::Start(fw::Widen(waiter), L"slow 3000", {}).error, 0u);
    DWORD parent = 0;
    ASSERT_TRUE(gui::PumpUntil([&] { return (parent = ParentOf("fake_uninstaller.exe")) != 0; }, 5000));
    EXPECT_NE(parent, GetCurrentProcessId());
}

}  // namespace
