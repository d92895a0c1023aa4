// fw::ElevatedStart and fw::UnelevatedStart hand the started program its
// arguments and working folder. Wine has no UAC ("runas" just starts the
// program) but does have the desktop shell's interfaces, so the
// unelevated start is the desktop shell's.

#include "framework/ElevatedStart.h"
#include "framework/UnelevatedStart.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "GuiDriver.h"
#include "TempFolder.h"
#include "ThisProgram.h"
#include "framework/TextConversion.h"

TEST(ShellStarts, PassArgumentsAndFolderAndTheUnelevatedOneIsTheDesktopShells) {
    char recorder[MAX_PATH] = {};
    GetFullPathNameA(BesideThisProgram("..\\net\\command_recorder.exe").c_str(), MAX_PATH, recorder, nullptr);
    const std::wstring file = fw::Widen(recorder), args = L"one \"two words\"";
    for (const bool elevated : {true, false}) {
        SCOPED_TRACE(elevated ? "elevated" : "unelevated");
        TempFolder folder;
        if (elevated) {
            fw::KernelHandle process;
            ASSERT_EQ(fw::ElevatedStart::Start(file, args, fw::Widen(folder.Path()), process), 0u);
            EXPECT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
        } else {
            const fw::UnelevatedStart::StartOutcome outcome = fw::UnelevatedStart::Start(file, args, fw::Widen(folder.Path()));
            ASSERT_EQ(outcome.error, 0u);
            EXPECT_EQ(outcome.route, fw::UnelevatedStart::Route::DesktopShell);
        }
        std::string line;
        gui::PumpUntil([&] {
            std::ifstream log(folder.Join("calls.log"), std::ios::binary);
            line.assign(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
            return !line.empty();
        }, 10000);
        EXPECT_TRUE(line.ends_with("command_recorder.exe\" one \"two words\"\n")) << line;
    }
}
