// fw::ProcessTree: what it follows, and that it claims no more. The program
// started is the uninstall tests' stand-in, which starts a copy of itself
// and exits at once; the copy then waits for this test.
#include "framework/ProcessTree.h"

#include <gtest/gtest.h>

#include <string>

#include "ThisProgram.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "TempFolder.h"

namespace {

fw::KernelHandle Event(const std::string& name) { return fw::KernelHandle(CreateEventA(nullptr, TRUE, FALSE, name.c_str())); }

bool Signalled(const fw::KernelHandle& event, DWORD ms) { return WaitForSingleObject(event.get(), ms) == WAIT_OBJECT_0; }

bool EndsWithin(const fw::ProcessTree& tree, DWORD ms) {
    for (const DWORD start = GetTickCount(); !tree.Ended(); Sleep(20))
        if (GetTickCount() - start > ms) return false;
    return true;
}

// A file type of this test's own, opened by the stand-in: the shell's start.
// This process's classes root points at a scratch key meanwhile.
class ScratchFileType {
public:
    ScratchFileType(const std::string& extension, const std::string& command) {
        RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, root_.put(), nullptr);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, root_.get());
        RegSetValueA(HKEY_CLASSES_ROOT, extension.c_str(), REG_SZ, "ZaltrowTest.Document", 0);
        RegSetValueA(HKEY_CLASSES_ROOT, "ZaltrowTest.Document\\shell\\open\\command", REG_SZ, command.c_str(), 0);
    }
    ~ScratchFileType() {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        root_.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }

private:
    std::string path_ = "Software\\ZaltrowTests\\" + std::to_string(GetCurrentProcessId()) + "_classes";
    fw::RegKey root_;
};

TEST(ProcessTree, FollowsEveryProcessOfAProgramButOnlyTheStartedOneThroughTheShell) {
    // Each start's own events: one says the copy is alone, one lets it end.
    const auto named = [](const char* what) { return "ZaltrowTest_" + std::to_string(GetCurrentProcessId()) + what; };
    const std::string program = BesideThisProgram("..\\app\\fake_uninstaller.exe");
    const auto words = [&](const char* tag) {
        return "spawn " + named(tag) + "Alone wait " + named(tag) + "Go leave";
    };
    TempFolder files;
    const std::string document = files.WriteFile("uninstall.zaltrowtest");
    ScratchFileType type(".zaltrowtest", "\"" + program + "\" " + words("Shell"));
    const struct {
        const char* what;
        const char* tag;
        std::string file, args;
        bool followsChildren;
    } cases[] = {
        {"a program", "Program", program, words("Program"), true},
        {"a document, through the shell", "Shell", document, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fw::KernelHandle alone = Event(named(c.tag) + "Alone"), release = Event(named(c.tag) + "Go");
        fw::ProcessTree tree;
        ASSERT_EQ(tree.Start(fw::Widen(c.file), fw::Widen(c.args)), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(tree.FollowsChildren(), c.followsChildren);
        ASSERT_TRUE(Signalled(alone, 10000)) << "the started process did not end, leaving its copy";
        // Only the started process has ended: followed alone, it is all that is known.
        EXPECT_EQ(EndsWithin(tree, 1000), !c.followsChildren);
        SetEvent(release.get());
        EXPECT_TRUE(EndsWithin(tree, 10000));
    }
}

}  // namespace
