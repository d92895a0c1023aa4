// ResizableDialog: the anchor arithmetic, the registration list, and real
// dialogs (the main window's template and the About box) resized on screen.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "GuiDriver.h"
#include "WindowProbe.h"
#include "resource.h"
#include "widgets/ResizableDialog.h"

using probe::Box;
using probe::ChildBox;

namespace {

// ---------------------------------------------------------------------------
// Arithmetic

struct AnchorCase {
    std::uint32_t mask;
    int dx, dy;
    Box expected;
};

TEST(AnchoredRect, MovesAndStretchesTheEdgesEachMaskNames) {
    const RECT start{10, 20, 110, 70};
    const AnchorCase cases[] = {
        {0, 30, -15, {10, 20, 110, 70}},
        {AnchorMoveRight, 30, -15, {40, 20, 140, 70}},
        {AnchorMoveDown, 30, -15, {10, 5, 110, 55}},
        {AnchorMoveRight | AnchorMoveDown, 30, -15, {40, 5, 140, 55}},
        {AnchorStretchRight, 30, -15, {10, 20, 140, 70}},
        {AnchorStretchDown, 30, -15, {10, 20, 110, 55}},
        {AnchorStretchRight | AnchorStretchDown, 30, -15, {10, 20, 140, 55}},
        {5, 30, -15, {10, 20, 140, 70}},   // stretch wins over move
        {10, 30, -15, {10, 20, 110, 55}},  // only the bottom edge follows
        {AnchorMoveRight, -7, 12, {3, 20, 103, 70}},
        {AnchorMoveDown, -7, 12, {10, 32, 110, 82}},
        {AnchorMoveRight | AnchorMoveDown, -7, 12, {3, 32, 103, 82}},
        {AnchorStretchRight | AnchorStretchDown, -7, 12, {10, 20, 103, 82}},
        {5, -7, 12, {10, 20, 103, 70}},
        {10, -7, 12, {10, 20, 110, 82}},
        {0, -7, 12, {10, 20, 110, 70}},
    };
    for (const AnchorCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mask " << c.mask << " dx " << c.dx << " dy " << c.dy);
        EXPECT_EQ(Box::Of(ResizableDialog::AnchoredRect(start, c.mask, c.dx, c.dy)), c.expected);
    }
}

TEST(AddControl, StoresPackedEntriesAndDropsEmptyMasks) {
    ResizableDialog dialog(IDD_ABOUTBOX, nullptr);
    EXPECT_TRUE(dialog.Controls().empty());
    EXPECT_EQ(dialog.MinTrackSize().cx, 0);
    EXPECT_EQ(dialog.LastClientSize().cx, 0);

    dialog.AddControl(1000, 0);
    dialog.AddControl(1000, 0x10000);  // only the low 16 bits decide
    EXPECT_TRUE(dialog.Controls().empty());

    dialog.AddControl(IDC_HELP_BUTTON, AnchorMoveRight | AnchorMoveDown);
    dialog.AddControl(0x12345, AnchorMoveDown);  // the id keeps 16 bits
    dialog.AddControl(IDC_PROGRAM_LIST, AnchorStretchRight | AnchorStretchDown);
    dialog.AddControl(IDC_HELP_BUTTON, AnchorMoveRight | AnchorMoveDown);  // duplicates stay
    const std::vector<std::uint32_t> expected{0x000303EB, 0x00022345, 0x000C03E8, 0x000303EB};
    EXPECT_EQ(dialog.Controls(), expected);
}

// ---------------------------------------------------------------------------
// Real dialogs

// Registers its controls at the start of its initialisation, as the
// program's dialogs do, and remembers where everything stood then.
class AnchoredDialog : public ResizableDialog {
public:
    AnchoredDialog(UINT templateId, std::vector<std::pair<int, std::uint32_t>> registrations)
        : ResizableDialog(templateId, nullptr), registrations_(std::move(registrations)) {}

    std::map<int, Box> atInit;
    SIZE outerAtInit{};
    SIZE clientAtInit{};

protected:
    bool OnInitDialog() override {
        for (const auto& [id, mask] : registrations_) AddControl(id, mask);
        outerAtInit = probe::OuterSize(Hwnd());
        clientAtInit = probe::ClientSize(Hwnd());
        for (HWND child = GetWindow(Hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const int id = GetDlgCtrlID(child);
            atInit[id] = ChildBox(Hwnd(), id);
        }
        return ResizableDialog::OnInitDialog();
    }

private:
    std::vector<std::pair<int, std::uint32_t>> registrations_;
};

constexpr int kMissingId = 999;

class ResizableWindow : public testing::Test {
protected:
    void SetUp() override {
        // Keep the pointer away from the windows so no real mouse input
        // reaches them.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        dialog_ = std::make_unique<fw::Modeless<AnchoredDialog>>(
            IDD_ZALTROW_DIALOG,
            std::vector<std::pair<int, std::uint32_t>>{
                {IDC_UNINSTALL, AnchorMoveDown},
                {IDC_QUIT, AnchorMoveRight | AnchorMoveDown},
                {IDC_PROGRAM_LIST, AnchorStretchRight | AnchorStretchDown},
                {IDC_REFRESH, 5},
                {IDC_REMOVE, 10},
                {IDC_UPGRADE, AnchorMoveRight},
                {IDC_ACTIONS_GROUP, AnchorMoveDown},
                {IDC_ACTIONS_GROUP, AnchorMoveDown},  // registered twice
                {IDC_HELP_BUTTON, 0},                 // never stored
                {0x10000 | IDC_OPTIONS_GROUP, AnchorMoveRight | AnchorMoveDown},
                {kMissingId, AnchorMoveRight | AnchorMoveDown},  // no such child
            });
        ASSERT_TRUE(dialog_->Create());
        hwnd_ = dialog_->Hwnd();
        ASSERT_TRUE(gui::PumpUntil([this] { return IsWindowVisible(hwnd_) != FALSE; }, 3000));
        gui::PumpFor(30);
    }

    void TearDown() override { dialog_.reset(); }

    // The legend above the list: the template's one static, never registered.
    int LabelId() const {
        for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char name[16] = {};
            GetClassNameA(child, name, sizeof name);
            if (lstrcmpiA(name, "Static") == 0) return GetDlgCtrlID(child);
        }
        return 0;
    }

    Box Now(int id) const { return ChildBox(hwnd_, id); }
    Box Init(int id) const { return dialog_->atInit.at(id); }

    void Resize(int width, int height) {
        SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Every control where the registrations put it after the client area
    // grew by dx, dy since initialisation.
    void ExpectLaidOutFor(int dx, int dy) const {
        SCOPED_TRACE(testing::Message() << "client grown by " << dx << ", " << dy);
        EXPECT_EQ(Now(IDC_UNINSTALL), Init(IDC_UNINSTALL).Shifted(0, dy, 0, dy));
        EXPECT_EQ(Now(IDC_QUIT), Init(IDC_QUIT).Shifted(dx, dy, dx, dy));
        EXPECT_EQ(Now(IDC_PROGRAM_LIST), Init(IDC_PROGRAM_LIST).Shifted(0, 0, dx, dy));
        EXPECT_EQ(Now(IDC_REFRESH), Init(IDC_REFRESH).Shifted(0, 0, dx, 0));
        EXPECT_EQ(Now(IDC_REMOVE), Init(IDC_REMOVE).Shifted(0, 0, 0, dy));
        EXPECT_EQ(Now(IDC_UPGRADE), Init(IDC_UPGRADE).Shifted(dx, 0, dx, 0));
        EXPECT_EQ(Now(IDC_ACTIONS_GROUP), Init(IDC_ACTIONS_GROUP).Shifted(0, 2 * dy, 0, 2 * dy));
        EXPECT_EQ(Now(IDC_HELP_BUTTON), Init(IDC_HELP_BUTTON));
        EXPECT_EQ(Now(IDC_OPTIONS_GROUP), Init(IDC_OPTIONS_GROUP).Shifted(dx, dy, dx, dy));
        EXPECT_EQ(Now(LabelId()), Init(LabelId()));  // the unregistered legend
    }

    std::unique_ptr<fw::Modeless<AnchoredDialog>> dialog_;
    HWND hwnd_ = nullptr;
};

TEST_F(ResizableWindow, CreationMovesNothingAndRecordsTheClientSize) {
    ExpectLaidOutFor(0, 0);
    const SIZE client = probe::ClientSize(hwnd_);
    EXPECT_EQ(dialog_->LastClientSize().cx, client.cx);
    EXPECT_EQ(dialog_->LastClientSize().cy, client.cy);
    ASSERT_EQ(dialog_->Controls().size(), 10u);  // mask 0 left out
}

TEST_F(ResizableWindow, GrowingAndShrinkingFollowEachMask) {
    const SIZE outer = probe::OuterSize(hwnd_);
    const SIZE client = probe::ClientSize(hwnd_);

    Resize(outer.cx + 64, outer.cy + 48);
    SIZE grown = probe::ClientSize(hwnd_);
    ASSERT_EQ(grown.cx - client.cx, 64);
    ASSERT_EQ(grown.cy - client.cy, 48);
    ExpectLaidOutFor(64, 48);
    EXPECT_EQ(dialog_->LastClientSize().cx, grown.cx);
    EXPECT_EQ(dialog_->LastClientSize().cy, grown.cy);

    Resize(outer.cx, outer.cy);
    ExpectLaidOutFor(0, 0);

    Resize(outer.cx - 40, outer.cy - 30);
    SIZE shrunk = probe::ClientSize(hwnd_);
    ASSERT_EQ(shrunk.cx - client.cx, -40);
    ASSERT_EQ(shrunk.cy - client.cy, -30);
    ExpectLaidOutFor(-40, -30);
}

TEST_F(ResizableWindow, SameSizeNotificationMovesNothingButRepaintsTheRegistered) {
    // Nothing pending, so only this notification can mark a child.
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ValidateRect(child, nullptr);
        ASSERT_FALSE(GetUpdateRect(child, nullptr, FALSE));
    }
    const SIZE client = probe::ClientSize(hwnd_);
    SendMessageA(hwnd_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.cx, client.cy));

    ExpectLaidOutFor(0, 0);
    for (int id : {IDC_UNINSTALL, IDC_QUIT, IDC_PROGRAM_LIST, IDC_REFRESH, IDC_REMOVE, IDC_UPGRADE,
                   IDC_ACTIONS_GROUP, IDC_OPTIONS_GROUP}) {
        SCOPED_TRACE(testing::Message() << "control " << id);
        HWND child = GetDlgItem(hwnd_, id);
        RECT update{}, whole{};
        GetClientRect(child, &whole);
        EXPECT_TRUE(GetUpdateRect(child, &update, FALSE));
        EXPECT_EQ(Box::Of(update), Box::Of(whole));
    }
    EXPECT_FALSE(GetUpdateRect(GetDlgItem(hwnd_, IDC_HELP_BUTTON), nullptr, FALSE));
    EXPECT_FALSE(GetUpdateRect(GetDlgItem(hwnd_, LabelId()), nullptr, FALSE));
}

TEST_F(ResizableWindow, MinimiseThenRestorePutsEveryControlBack) {
    const SIZE outer = probe::OuterSize(hwnd_);
    const SIZE client = probe::ClientSize(hwnd_);
    Resize(outer.cx + 30, outer.cy + 20);
    const SIZE before = probe::ClientSize(hwnd_);
    ASSERT_EQ(before.cx - client.cx, 30);

    ShowWindow(hwnd_, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(hwnd_));
    EXPECT_EQ(dialog_->LastClientSize().cx, before.cx);  // nothing stored
    EXPECT_EQ(dialog_->LastClientSize().cy, before.cy);
    ExpectLaidOutFor(30, 20);

    ShowWindow(hwnd_, SW_RESTORE);
    ASSERT_FALSE(IsIconic(hwnd_));
    const SIZE after = probe::ClientSize(hwnd_);
    ASSERT_EQ(after.cx, before.cx);
    ASSERT_EQ(after.cy, before.cy);
    ExpectLaidOutFor(30, 20);
}

TEST_F(ResizableWindow, MaximiseLaysOutLikeAResize) {
    const SIZE client = probe::ClientSize(hwnd_);
    ShowWindow(hwnd_, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(hwnd_));
    const SIZE zoomed = probe::ClientSize(hwnd_);
    ASSERT_GT(zoomed.cx, client.cx);
    ASSERT_GT(zoomed.cy, client.cy);
    ExpectLaidOutFor(zoomed.cx - client.cx, zoomed.cy - client.cy);

    ShowWindow(hwnd_, SW_RESTORE);
    ASSERT_EQ(probe::ClientSize(hwnd_).cx, client.cx);
    ExpectLaidOutFor(0, 0);
}

TEST_F(ResizableWindow, MinimumTrackingSizeIsTheCreationSizeLessAFixedMargin) {
    const SIZE created = dialog_->outerAtInit;
    ASSERT_EQ(probe::OuterSize(hwnd_).cx, created.cx);
    // A later resize does not change it.
    Resize(created.cx + 50, created.cy + 50);

    MINMAXINFO info{};
    info.ptMinTrackSize = POINT{1, 1};
    info.ptMaxTrackSize = POINT{7777, 8888};
    SendMessageA(hwnd_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, created.cx - 250);
    EXPECT_EQ(info.ptMinTrackSize.y, created.cy - 280);
    EXPECT_EQ(info.ptMaxTrackSize.x, 7777);
    EXPECT_EQ(info.ptMaxTrackSize.y, 8888);

    // The system's own sizing stops there.
    Resize(40, 40);
    const SIZE smallest = probe::OuterSize(hwnd_);
    EXPECT_EQ(smallest.cx, created.cx - 250);
    EXPECT_EQ(smallest.cy, created.cy - 280);
}

TEST_F(ResizableWindow, DestroyClearsTheSizesButKeepsTheRegistrations) {
    ASSERT_NE(dialog_->MinTrackSize().cx, 0);
    ASSERT_NE(dialog_->LastClientSize().cx, 0);
    DestroyWindow(hwnd_);
    EXPECT_EQ(dialog_->Hwnd(), nullptr);
    EXPECT_EQ(dialog_->MinTrackSize().cx, 0);
    EXPECT_EQ(dialog_->MinTrackSize().cy, 0);
    EXPECT_EQ(dialog_->LastClientSize().cx, 0);
    EXPECT_EQ(dialog_->LastClientSize().cy, 0);
    EXPECT_EQ(dialog_->Controls().size(), 10u);
}

TEST(AboutBoxBase, RegistersNothingMovesNothingAndTakesItsMinimumFromCreation) {
    fw::Modeless<ResizableDialog> about(IDD_ABOUTBOX, nullptr);
    ASSERT_TRUE(about.Create());
    HWND hwnd = about.Hwnd();
    const SIZE created = probe::OuterSize(hwnd);
    const Box ok = ChildBox(hwnd, IDOK);

    SetWindowPos(hwnd, nullptr, 0, 0, created.cx + 80, created.cy + 60, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(probe::OuterSize(hwnd).cx, created.cx + 80);
    EXPECT_EQ(ChildBox(hwnd, IDOK), ok);
    EXPECT_TRUE(about.Controls().empty());

    MINMAXINFO info{};
    SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, created.cx - 250);
    EXPECT_EQ(info.ptMinTrackSize.y, created.cy - 280);
}

}  // namespace
