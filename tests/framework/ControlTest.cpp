#include "framework/Control.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// Counts what reaches it and can throw, to show nothing unwinds into the
// system's dispatch.
class Probe : public fw::Control {
public:
    std::vector<UINT> seen;
    bool throwOnPaint = false;
    bool attachedBeforeSubclass = false;

protected:
    void PreSubclass() override {
        // The hook runs while the window still has its own procedure.
        attachedBeforeSubclass = Hwnd() != nullptr &&
                                 GetWindowLongPtrA(Hwnd(), GWLP_WNDPROC) == originalProc;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER + 1) {
            seen.push_back(message);
            return 42;
        }
        if (message == WM_USER + 2 && throwOnPaint) throw std::runtime_error("no");
        return DefaultProc(message, wParam, lParam);
    }

public:
    LONG_PTR originalProc = 0;
};

LRESULT CALLBACK Relay(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        child = CreateWindowExA(0, "STATIC", "text", WS_CHILD, 0, 0, 50, 20, parent, nullptr, nullptr, nullptr);
        ASSERT_NE(child, nullptr);
        probe.originalProc = GetWindowLongPtrA(child, GWLP_WNDPROC);
    }
    void TearDown() override {
        if (IsWindow(parent)) DestroyWindow(parent);
    }
    HWND parent = nullptr;
    HWND child = nullptr;
    Probe probe;
};

TEST_F(ControlTest, BoundObjectSeesMessagesAndIsFoundFromItsWindow) {
    ASSERT_TRUE(probe.Attach(child));
    EXPECT_TRUE(probe.attachedBeforeSubclass);
    EXPECT_EQ(fw::Control::FromHandle(child), &probe);
    EXPECT_EQ(SendMessageA(child, WM_USER + 1, 0, 0), 42);
    EXPECT_EQ(probe.seen.size(), 1u);
    // Default processing still reaches the control's own procedure.
    char text[16] = {};
    GetWindowTextA(child, text, sizeof text);
    EXPECT_STREQ(text, "text");
    EXPECT_FALSE(probe.Attach(child)) << "bound once only";
}

TEST_F(ControlTest, DetachRestoresTheWindowAndDestructionUnbinds) {
    ASSERT_TRUE(probe.Attach(child));
    probe.Detach();
    EXPECT_EQ(fw::Control::FromHandle(child), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_WNDPROC), probe.originalProc);
    EXPECT_EQ(SendMessageA(child, WM_USER + 1, 0, 0), 0);

    ASSERT_TRUE(probe.Attach(child)) << "can be bound again";
    DestroyWindow(parent);
    EXPECT_EQ(probe.Hwnd(), nullptr) << "the window went first";
}

TEST_F(ControlTest, SubclassedAfterUsStillForwardsOnceUnbound) {
    ASSERT_TRUE(probe.Attach(child));
    // A tooltip with TTF_SUBCLASS does this after the dialog binds its controls.
    ASSERT_TRUE(SetWindowSubclass(child, &Relay, 1, 0));
    EXPECT_EQ(SendMessageA(child, WM_USER + 1, 0, 0), 42);
    probe.Detach();
    EXPECT_EQ(fw::Control::FromHandle(child), nullptr);
    EXPECT_EQ(SendMessageA(child, WM_USER + 1, 0, 0), 0) << "forwarded to the control's own procedure";
    char text[16] = {};
    GetWindowTextA(child, text, sizeof text);
    EXPECT_STREQ(text, "text");
}

TEST_F(ControlTest, WindowDataStaysTheOwnersAndExceptionsStayInside) {
    // The owner's window data is neither needed nor taken for a pointer.
    SetWindowLongPtrA(child, GWLP_USERDATA, 1234);
    EXPECT_EQ(fw::Control::FromHandle(child), nullptr);
    ASSERT_TRUE(probe.Attach(child));
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_USERDATA), 1234);
    Probe other;
    EXPECT_FALSE(other.Attach(child)) << "one object per window";
    probe.throwOnPaint = true;
    EXPECT_EQ(SendMessageA(child, WM_USER + 2, 0, 0), 0) << "default processing instead of an unwind";
}

}  // namespace
