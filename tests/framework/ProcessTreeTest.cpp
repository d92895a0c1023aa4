// fw::ProcessTree: a program's start follows every process it starts; a
// start through the shell (here a document of a file type of the test's
// own, opened by the uninstall tests' stand-in) follows the started one alone.
#include "framework/ProcessTree.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "TempFolder.h"
#include "ThisProgram.h"
#include "framework/TextConversion.h"

TEST(ProcessTree, FollowsAProgramsChildrenButAShellStartAlone) {
    const std::string program = BesideThisProgram("..\\app\\fake_uninstaller.exe");
    const std::string classes = "Software\\ZaltrowTests\\" + std::to_string(GetCurrentProcessId()) + "_classes";
    fw::RegKey root;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, classes.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, root.put(), nullptr), 0);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, root.get());  // this process's file types only
    RegSetValueA(HKEY_CLASSES_ROOT, ".zaltrowtest", REG_SZ, "ZaltrowTest.Document", 0);
    RegSetValueA(HKEY_CLASSES_ROOT, "ZaltrowTest.Document\\shell\\open\\command", REG_SZ, ("\"" + program + "\" leave").c_str(), 0);
    TempFolder files;
    for (const auto& [file, args, followsChildren] : {std::tuple{program, std::string("leave"), true},
                                                      std::tuple{files.WriteFile("a.zaltrowtest"), std::string(), false}}) {
        SCOPED_TRACE(file);
        fw::ProcessTree tree;
        ASSERT_EQ(tree.Start(fw::Widen(file), fw::Widen(args)), 0u);
        EXPECT_EQ(tree.FollowsChildren(), followsChildren);
        for (int tries = 0; !tree.Ended() && tries < 500; ++tries) Sleep(20);
        EXPECT_TRUE(tree.Ended());
    }
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    root.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, classes.c_str());
}
