// fw::Dialog: the teardown contract of a modeless dialog and the typed
// handlers' unpacking of their messages.
#include "framework/Dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"

namespace {

// Writes down its window's destruction, with a member only a whole object
// still has, and its own destruction.
class TeardownRecorder : public fw::Dialog {
public:
    explicit TeardownRecorder(std::vector<std::string>& log) : fw::Dialog(IDD_ABOUTBOX, nullptr), log_(log) {}
    ~TeardownRecorder() override { log_.push_back("object gone"); }

protected:
    void OnDestroy() override { log_.push_back("OnDestroy with " + member_); }

private:
    std::vector<std::string>& log_;
    std::string member_ = "its member";
};

TEST(DialogTeardown, TheOwnerDestroysTheWindowWhileTheDerivedDialogIsWhole) {
    for (bool windowFirst : {false, true}) {
        SCOPED_TRACE(windowFirst ? "window destroyed by hand first" : "window left to the owner");
        std::vector<std::string> log;
        HWND hwnd = nullptr;
        {
            fw::Modeless<TeardownRecorder> dialog(log);
            ASSERT_TRUE(dialog.Create());
            hwnd = dialog.Hwnd();
            if (windowFirst) {
                DestroyWindow(hwnd);
                EXPECT_EQ(dialog.Hwnd(), nullptr);
            }
        }
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(log, (std::vector<std::string>{"OnDestroy with its member", "object gone"}));
    }
}

// Writes down what its typed handlers are given.
class TypedHandlers : public fw::Dialog {
public:
    TypedHandlers() : fw::Dialog(IDD_ABOUTBOX, nullptr) {}
    std::vector<std::string> calls;

protected:
    void OnSize(UINT sizeType, int cx, int cy) override {
        calls.push_back("size " + std::to_string(sizeType) + " " + std::to_string(cx) + "x" + std::to_string(cy));
    }
    bool OnGetMinMaxInfo(MINMAXINFO& info) override {
        info.ptMinTrackSize = POINT{123, 45};
        calls.push_back("minmax");
        return true;
    }
    bool OnSysCommand(UINT command, LPARAM) override {
        calls.push_back("syscommand " + std::to_string(command));
        return true;
    }
    bool OnTimer(UINT_PTR id) override {
        calls.push_back("timer " + std::to_string(id));
        return true;
    }
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
        if (message >= WM_USER) calls.push_back("other " + std::to_string(message - WM_USER));
        return false;
    }
};

TEST(DialogHandlers, EachMessageReachesItsTypedHandlerUnpackedAndOnlyThere) {
    fw::Modeless<TypedHandlers> dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.calls.clear();

    SendMessageA(dialog.Hwnd(), WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(300, 200));
    MINMAXINFO info{};
    SendMessageA(dialog.Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    // The system's own low four bits of a system command are not the command's.
    SendMessageA(dialog.Hwnd(), WM_SYSCOMMAND, 0x0017, 0);
    SendMessageA(dialog.Hwnd(), WM_TIMER, 7, 0);
    SendMessageA(dialog.Hwnd(), WM_USER + 5, 0, 0);

    EXPECT_EQ(dialog.calls, (std::vector<std::string>{"size 2 300x200", "minmax", "syscommand 16", "timer 7",
                                                      "other 5"}));
    EXPECT_EQ(info.ptMinTrackSize.x, 123);
    EXPECT_EQ(info.ptMinTrackSize.y, 45);
}

}  // namespace
