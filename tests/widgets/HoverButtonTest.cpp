// HoverButton: the layout arithmetic, and the six buttons of the main
// window's template bound to real hover buttons, driven with mouse and focus
// messages and read back from the pixels they paint.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include "GuiDriver.h"
#include "WindowProbe.h"
#include "framework/Dialog.h"
#include "resource.h"
#include "widgets/HoverButton.h"

using probe::Box;
using probe::Shot;

namespace {

// ---------------------------------------------------------------------------
// Arithmetic

struct LayoutCase {
    RECT item;
    int iconWidth, iconHeight;
    bool hasCaption, pressed;
    POINT iconTopLeft;
    int captionLeft;
};

TEST(HoverButtonLayout, PlacesTheIconBesideOrInsideTheCaptionArea) {
    const LayoutCase cases[] = {
        // Beside a caption: 3 px from the left, centred vertically.
        {{0, 0, 100, 40}, 32, 32, true, false, {3, 4}, 35},
        {{10, 5, 111, 42}, 32, 32, true, false, {13, 7}, 45},
        {{0, 0, 100, 40}, 20, 16, true, false, {3, 12}, 23},
        // Without one: centred both ways, relative to the item's corner.
        {{0, 0, 100, 40}, 32, 32, false, false, {34, 4}, 0},
        {{10, 5, 111, 42}, 32, 32, false, false, {44, 7}, 10},
        // Pressed: the icon moves by one pixel each way.
        {{0, 0, 100, 40}, 32, 32, true, true, {4, 5}, 35},
        {{0, 0, 100, 40}, 32, 32, false, true, {35, 5}, 0},
        // Items smaller than the icon: halves truncate toward zero.
        {{0, 0, 20, 25}, 32, 32, false, false, {-6, -3}, 0},
        {{0, 0, 100, 25}, 32, 32, true, false, {3, -3}, 35},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "item " << Box::Of(c.item) << " icon " << c.iconWidth << "x"
                                        << c.iconHeight << (c.hasCaption ? " caption" : "")
                                        << (c.pressed ? " pressed" : ""));
        const HoverButton::Layout layout =
            HoverButton::ComputeLayout(c.item, c.iconWidth, c.iconHeight, 0, c.hasCaption, c.pressed);
        EXPECT_EQ(layout.icon.left, c.iconTopLeft.x);
        EXPECT_EQ(layout.icon.top, c.iconTopLeft.y);
        EXPECT_EQ(Box::Of(layout.caption), Box::Of(RECT{c.captionLeft, c.item.top, c.item.right, c.item.bottom}));
    }
}

// ---------------------------------------------------------------------------
// Real buttons

constexpr UINT kMissingIcon = 9999;  // no such resource

// The main window's template with its six push buttons bound to hover
// buttons: five with icons the way the program sets them up (one with a
// hover icon that does not load), Upgrade with its caption only.
class ButtonDialog : public fw::Dialog {
public:
    ButtonDialog() : fw::Dialog(IDD_ZALTROW_DIALOG, nullptr) {}

    HoverButton help, refresh, quit, uninstall, remove, upgrade;
    int helpClicks = 0;

protected:
    void DoDataExchange() override {
        Bind(help, IDC_HELP_BUTTON);
        Bind(refresh, IDC_REFRESH);
        Bind(quit, IDC_QUIT);
        Bind(uninstall, IDC_UNINSTALL);
        Bind(remove, IDC_REMOVE);
        Bind(upgrade, IDC_UPGRADE);
    }
    bool OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        help.SetIcons(IDI_HELP_HOVER, IDI_HELP_NORMAL, 32, 32);
        refresh.SetIcons(IDI_REFRESH_HOVER, IDI_REFRESH_NORMAL, 32, 32);
        quit.SetIcons(IDI_QUIT, IDI_QUIT, 32, 32);
        uninstall.SetIcons(IDI_UNINSTALL, 0, 32, 32);
        remove.SetIcons(kMissingIcon, IDI_REMOVE_NORMAL, 32, 32);
        for (HoverButton* b : {&help, &refresh, &quit, &uninstall, &remove, &upgrade}) b->SetIconAlign(0);
        return false;
    }
    bool OnCommand(int id, int code, HWND control) override {
        if (id == IDC_HELP_BUTTON && code == BN_CLICKED) ++helpClicks;
        return fw::Dialog::OnCommand(id, code, control);
    }
};

bool IconAlive(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return false;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return true;
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// Pixels that are not background inside the 1-pixel border ring.
struct Ink {
    int count = 0;
    Box bounds{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};

Ink InkInside(const Shot& shot, COLORREF background) {
    Ink ink;
    for (int y = 1; y < shot.Height() - 1; ++y)
        for (int x = 1; x < shot.Width() - 1; ++x) {
            if (shot.At(x, y) == background) continue;
            ++ink.count;
            ink.bounds.left = std::min(ink.bounds.left, x);
            ink.bounds.top = std::min(ink.bounds.top, y);
            ink.bounds.right = std::max(ink.bounds.right, x);
            ink.bounds.bottom = std::max(ink.bounds.bottom, y);
        }
    return ink;
}

class HoverButtonWindow : public testing::Test {
protected:
    void SetUp() override {
        // The real pointer stays clear of the dialog, so only the messages
        // sent here reach the buttons.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        face_ = GetSysColor(COLOR_BTNFACE);
        highlight_ = GetSysColor(COLOR_BTNHIGHLIGHT);
        shadow_ = GetSysColor(COLOR_BTNSHADOW);
        text_ = GetSysColor(COLOR_BTNTEXT);
        ASSERT_NE(face_, highlight_);
        ASSERT_NE(face_, shadow_);
        ASSERT_NE(highlight_, shadow_);
        ASSERT_NE(face_, text_);

        dialog_ = std::make_unique<fw::Modeless<ButtonDialog>>();
        ASSERT_TRUE(dialog_->Create());
        hwnd_ = dialog_->Hwnd();
        ASSERT_TRUE(gui::PumpUntil([this] { return IsWindowVisible(hwnd_) != FALSE; }, 3000));
        gui::PumpFor(30);
        SetFocus(GetDlgItem(hwnd_, IDC_PROGRAM_LIST));
        ReleaseCapture();
    }

    void TearDown() override {
        ReleaseCapture();
        dialog_.reset();
    }

    static SIZE Size(const HoverButton& b) { return probe::ClientSize(b.Hwnd()); }
    static void Send(const HoverButton& b, UINT message, WPARAM keys, int x, int y) {
        SendMessageA(b.Hwnd(), message, keys, MAKELPARAM(x, y));
    }
    static void MoveInside(const HoverButton& b, WPARAM keys = 0) {
        Send(b, WM_MOUSEMOVE, keys, Size(b).cx / 2, Size(b).cy / 2);
    }
    static void MoveOutside(const HoverButton& b, WPARAM keys = 0) {
        Send(b, WM_MOUSEMOVE, keys, Size(b).cx + 5, Size(b).cy / 2);
    }

    // The thin border's lines: the corner and the middle of each edge,
    // inside the default frame of a button that takes Enter.
    void ExpectEdges(const HoverButton& b, COLORREF topLeft, COLORREF bottomRight) const {
        const Shot shot(b.Hwnd());
        const int in = b.TakesEnter() ? 1 : 0;
        const int w = shot.Width(), h = shot.Height();
        if (in) {
            EXPECT_EQ(shot.At(0, 0), GetSysColor(COLOR_WINDOWFRAME)) << "default frame";
        }
        EXPECT_EQ(shot.At(in, in), topLeft) << "top-left corner";
        EXPECT_EQ(shot.At(w / 2, in), topLeft) << "top edge";
        EXPECT_EQ(shot.At(in, h / 2), topLeft) << "left edge";
        EXPECT_EQ(shot.At(w / 2, h - 1 - in), bottomRight) << "bottom edge";
        EXPECT_EQ(shot.At(w - 1 - in, h / 2), bottomRight) << "right edge";
    }
    void ExpectFlat(const HoverButton& b) const { ExpectEdges(b, face_, face_); }
    void ExpectRaised(const HoverButton& b) const { ExpectEdges(b, highlight_, shadow_); }
    void ExpectSunken(const HoverButton& b) const { ExpectEdges(b, shadow_, highlight_); }

    // Pixels where `icon`, placed at (x0, y0), differs from what the
    // button shows; only the part inside the border ring is compared.
    int IconMismatches(const Shot& shot, HICON icon, int x0, int y0, int* compared) const {
        const int iw = GetSystemMetrics(SM_CXICON), ih = GetSystemMetrics(SM_CYICON);
        const std::vector<COLORREF> expected = probe::DrawnIcon(icon, face_, iw, ih);
        int mismatches = 0;
        *compared = 0;
        for (int y = 0; y < ih; ++y)
            for (int x = 0; x < iw; ++x) {
                const int sx = x0 + x, sy = y0 + y;
                if (sx < 1 || sy < 1 || sx >= shot.Width() - 1 || sy >= shot.Height() - 1) continue;
                ++*compared;
                if (shot.At(sx, sy) != expected[static_cast<size_t>(y) * iw + x]) ++mismatches;
            }
        return mismatches;
    }
    void ExpectIconAt(const HoverButton& b, HICON icon, int x0, int y0) const {
        int compared = 0;
        EXPECT_EQ(IconMismatches(Shot(b.Hwnd()), icon, x0, y0, &compared), 0) << "icon at " << x0 << ", " << y0;
        EXPECT_GT(compared, 500);
    }

    std::unique_ptr<fw::Modeless<ButtonDialog>> dialog_;
    HWND hwnd_ = nullptr;
    COLORREF face_ = 0, highlight_ = 0, shadow_ = 0, text_ = 0;
};

TEST_F(HoverButtonWindow, BindingMakesEveryButtonOwnerDrawn) {
    for (int id : {IDC_UNINSTALL, IDC_QUIT, IDC_REMOVE, IDC_REFRESH, IDC_HELP_BUTTON, IDC_UPGRADE}) {
        SCOPED_TRACE(testing::Message() << "button " << id);
        const LONG_PTR style = GetWindowLongPtrA(GetDlgItem(hwnd_, id), GWL_STYLE);
        EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW);
        EXPECT_TRUE(style & WS_TABSTOP);
    }
}

TEST_F(HoverButtonWindow, IconsAreLoadedPerIdAndReplacedCleanly) {
    ButtonDialog& d = *dialog_;
    // The same id twice: two separate handles.
    EXPECT_TRUE(IconAlive(d.quit.HoverIcon()));
    EXPECT_TRUE(IconAlive(d.quit.NormalIcon()));
    EXPECT_NE(d.quit.HoverIcon(), d.quit.NormalIcon());
    // Normal id 0: the hover icon serves both states.
    EXPECT_TRUE(IconAlive(d.uninstall.HoverIcon()));
    EXPECT_EQ(d.uninstall.NormalIcon(), d.uninstall.HoverIcon());
    // A hover icon that does not load leaves only the normal one.
    EXPECT_EQ(d.remove.HoverIcon(), nullptr);
    EXPECT_TRUE(IconAlive(d.remove.NormalIcon()));
    // Loaded at the system's icon size.
    EXPECT_EQ(IconWidth(d.help.HoverIcon()), GetSystemMetrics(SM_CXICON));

    // Loading again releases what the button held, the shared handle once.
    const HICON quitHover = d.quit.HoverIcon(), quitNormal = d.quit.NormalIcon();
    const HICON shared = d.uninstall.HoverIcon();
    d.quit.SetIcons(0x10000 | IDI_REFRESH_HOVER, 0, 32, 32);  // only the low 16 bits name the icon
    d.uninstall.SetIcons(IDI_HELP_HOVER, IDI_HELP_NORMAL, 32, 32);
    EXPECT_FALSE(IconAlive(quitHover));
    EXPECT_FALSE(IconAlive(quitNormal));
    EXPECT_FALSE(IconAlive(shared));
    EXPECT_TRUE(IconAlive(d.quit.HoverIcon()));
    EXPECT_TRUE(IconAlive(d.uninstall.HoverIcon()));
    EXPECT_TRUE(IconAlive(d.uninstall.NormalIcon()));
}

TEST(HoverButtonLifetime, DestroyingDialogAndButtonsReleasesEveryIcon) {
    for (bool windowFirst : {true, false}) {
        SCOPED_TRACE(windowFirst ? "window destroyed first" : "object destroyed with its window");
        auto dialog = std::make_unique<fw::Modeless<ButtonDialog>>();
        ASSERT_TRUE(dialog->Create());
        const std::vector<HICON> icons{dialog->quit.HoverIcon(),      dialog->quit.NormalIcon(),
                                       dialog->uninstall.HoverIcon(), dialog->help.HoverIcon(),
                                       dialog->help.NormalIcon(),     dialog->remove.NormalIcon()};
        for (HICON icon : icons) ASSERT_TRUE(IconAlive(icon));
        if (windowFirst) {
            DestroyWindow(dialog->Hwnd());
            EXPECT_EQ(dialog->help.Hwnd(), nullptr);  // unbound with its window
        }
        dialog.reset();
        for (HICON icon : icons) EXPECT_FALSE(IconAlive(icon));
    }
}

TEST_F(HoverButtonWindow, IdleButtonIsFlat) {
    EXPECT_FALSE(dialog_->help.MouseOver());
    EXPECT_NE(GetCapture(), dialog_->help.Hwnd());
    ExpectFlat(dialog_->help);
    ExpectFlat(dialog_->upgrade);
}

TEST_F(HoverButtonWindow, HoverRaisesTheBorderUntilTheMouseLeaves) {
    HoverButton& help = dialog_->help;
    MoveInside(help);
    EXPECT_TRUE(help.MouseOver());
    EXPECT_EQ(GetCapture(), help.Hwnd());
    ExpectRaised(help);

    MoveInside(help);  // moving about inside changes nothing
    EXPECT_TRUE(help.MouseOver());
    EXPECT_EQ(GetCapture(), help.Hwnd());

    MoveOutside(help);
    EXPECT_FALSE(help.MouseOver());
    EXPECT_EQ(GetCapture(), nullptr);
    ExpectFlat(help);
}

TEST_F(HoverButtonWindow, EnteringWithTheLeftButtonDownStartsNoHover) {
    HoverButton& help = dialog_->help;
    MoveInside(help, MK_LBUTTON);
    EXPECT_FALSE(help.MouseOver());
    EXPECT_NE(GetCapture(), help.Hwnd());
    ExpectFlat(help);
}

TEST_F(HoverButtonWindow, DraggingOutOfThePressedButtonKeepsTheCapture) {
    HoverButton& help = dialog_->help;
    const SIZE size = Size(help);
    MoveInside(help);
    Send(help, WM_LBUTTONDOWN, MK_LBUTTON, size.cx / 2, size.cy / 2);
    EXPECT_EQ(GetCapture(), help.Hwnd());
    ExpectSunken(help);

    MoveOutside(help, MK_LBUTTON);
    EXPECT_FALSE(help.MouseOver());
    EXPECT_EQ(GetCapture(), help.Hwnd());  // the press is still being tracked
    ExpectFlat(help);

    Send(help, WM_LBUTTONUP, 0, size.cx + 5, size.cy / 2);
    EXPECT_EQ(dialog_->helpClicks, 0);
    EXPECT_NE(GetCapture(), help.Hwnd());
}

TEST_F(HoverButtonWindow, ClickingKeepsTheHoverLookWithoutTheCapture) {
    HoverButton& help = dialog_->help;
    const SIZE size = Size(help);
    MoveInside(help);
    Send(help, WM_LBUTTONDOWN, MK_LBUTTON, size.cx / 2, size.cy / 2);
    Send(help, WM_LBUTTONUP, 0, size.cx / 2, size.cy / 2);
    EXPECT_EQ(dialog_->helpClicks, 1);
    EXPECT_TRUE(help.MouseOver());
    EXPECT_EQ(GetCapture(), nullptr);
    ExpectRaised(help);

    // The next move over it takes the capture again; leaving ends it all.
    MoveInside(help);
    EXPECT_TRUE(help.MouseOver());
    EXPECT_EQ(GetCapture(), help.Hwnd());
    MoveOutside(help);
    EXPECT_FALSE(help.MouseOver());
    EXPECT_EQ(GetCapture(), nullptr);

    // Another window taking the capture leaves the hover state set too.
    MoveInside(help);
    SetCapture(hwnd_);
    EXPECT_TRUE(help.MouseOver());
    EXPECT_NE(GetCapture(), help.Hwnd());
    ExpectRaised(help);
}

TEST_F(HoverButtonWindow, LosingTheFocusEndsTheHover) {
    HoverButton& help = dialog_->help;
    SetFocus(help.Hwnd());
    ASSERT_EQ(GetFocus(), help.Hwnd());
    MoveInside(help);
    ASSERT_TRUE(help.MouseOver());
    SetFocus(GetDlgItem(hwnd_, IDC_PROGRAM_LIST));
    EXPECT_FALSE(help.MouseOver());
    ExpectFlat(help);
}

TEST_F(HoverButtonWindow, PressedSinksTheBorderAndShiftsTheCaption) {
    HoverButton& upgrade = dialog_->upgrade;
    const Ink idle = InkInside(Shot(upgrade.Hwnd()), face_);
    ASSERT_GT(idle.count, 20);  // the caption

    SendMessageA(upgrade.Hwnd(), BM_SETSTATE, TRUE, 0);
    const Shot pressed(upgrade.Hwnd());
    ExpectSunken(upgrade);
    const Ink shifted = InkInside(pressed, face_);
    EXPECT_EQ(shifted.count, idle.count);
    EXPECT_EQ(shifted.bounds, idle.bounds.Shifted(1, 1, 1, 1));

    SendMessageA(upgrade.Hwnd(), BM_SETSTATE, FALSE, 0);
    ExpectFlat(upgrade);
}

TEST_F(HoverButtonWindow, IconsFollowTheStateAndTheLayout) {
    HoverButton& refresh = dialog_->refresh;
    const SIZE size = Size(refresh);
    const int dy = (size.cy - 32) / 2;
    int compared = 0;
    ASSERT_GT(IconMismatches(Shot(refresh.Hwnd()), refresh.HoverIcon(), 3, dy, &compared), 0)
        << "the two icons must look different for this test to tell them apart";

    ExpectIconAt(refresh, refresh.NormalIcon(), 3, dy);
    MoveInside(refresh);
    ExpectIconAt(refresh, refresh.HoverIcon(), 3, dy);
    SendMessageA(refresh.Hwnd(), BM_SETSTATE, TRUE, 0);
    ExpectIconAt(refresh, refresh.HoverIcon(), 4, dy + 1);
    SendMessageA(refresh.Hwnd(), BM_SETSTATE, FALSE, 0);
    MoveOutside(refresh);

    // Without a caption the icon is centred both ways.
    SetWindowTextA(refresh.Hwnd(), "");
    ExpectIconAt(refresh, refresh.NormalIcon(), (size.cx - 32) / 2, dy);
}

TEST_F(HoverButtonWindow, WithoutAHoverIconNoIconIsDrawn) {
    HoverButton& remove = dialog_->remove;
    ASSERT_EQ(remove.HoverIcon(), nullptr);
    ASSERT_NE(remove.NormalIcon(), nullptr);
    const SIZE size = Size(remove);
    const int dy = (size.cy - 32) / 2;
    int compared = 0;
    const Shot blank(remove.Hwnd());
    // Where the normal icon would go there is only background.
    const std::vector<COLORREF> wouldBe = probe::DrawnIcon(remove.NormalIcon(), face_, 32, 32);
    ASSERT_GT(std::count_if(wouldBe.begin(), wouldBe.end(), [this](COLORREF c) { return c != face_; }), 50);
    int inked = 0;
    for (int y = std::max(dy, 1); y < std::min<int>(dy + 32, size.cy - 1); ++y)
        for (int x = 3; x < 35; ++x) {
            ++compared;
            if (blank.At(x, y) != face_) ++inked;
        }
    EXPECT_GT(compared, 500);
    EXPECT_EQ(inked, 0);
}

TEST_F(HoverButtonWindow, PartialRepaintLandsInPlace) {
    HoverButton& help = dialog_->help;
    MoveInside(help);  // border, icon and caption: nothing symmetric
    const Shot whole(help.Hwnd());
    const int w = whole.Width(), h = whole.Height();

    // Spoil the painted pixels, then let only the right part repaint.
    const COLORREF spoiled = RGB(255, 0, 255);
    {
        HDC dc = GetDC(help.Hwnd());
        HBRUSH brush = CreateSolidBrush(spoiled);
        RECT all{0, 0, w, h};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(help.Hwnd(), dc);
    }
    const RECT right{w / 3, 0, w, h};
    InvalidateRect(help.Hwnd(), &right, TRUE);
    UpdateWindow(help.Hwnd());
    const Shot repaired(help.Hwnd(), false);

    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = right.left; x < w; ++x)
            if (repaired.At(x, y) != whole.At(x, y)) ++wrong;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(repaired.At(0, h / 2), spoiled);  // outside the clip box: untouched
}

TEST_F(HoverButtonWindow, AmpersandUnderlinesOnlyTheLetterAfterIt) {
    HWND upgrade = dialog_->upgrade.Hwnd();
    SetWindowTextA(upgrade, "Help");
    const Shot plain(upgrade);
    SetWindowTextA(upgrade, "&Help");
    const Shot marked(upgrade);

    // The word itself is drawn the same, in the same place: no ampersand.
    int lost = 0;
    std::vector<POINT> added;
    for (int y = 1; y < plain.Height() - 1; ++y)
        for (int x = 1; x < plain.Width() - 1; ++x) {
            const bool before = plain.At(x, y) != face_;
            const bool after = marked.At(x, y) != face_;
            if (before && marked.At(x, y) != plain.At(x, y)) ++lost;
            if (after && !before) added.push_back(POINT{x, y});
        }
    EXPECT_EQ(lost, 0);
    ASSERT_FALSE(added.empty()) << "no underline";

    // Where the first letter sits: the word is centred, measured in the
    // button's own font.
    SIZE word{}, letter{};
    {
        HDC dc = GetDC(upgrade);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(upgrade, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32A(dc, "Help", 4, &word);
        GetTextExtentPoint32A(dc, "H", 1, &letter);
        SelectObject(dc, old);
        ReleaseDC(upgrade, dc);
    }
    const int first = (plain.Width() - word.cx) / 2;
    const int end = first + letter.cx;  // one past the letter
    int letterBottom = 0;
    for (int y = 1; y < plain.Height() - 1; ++y)
        for (int x = first; x < end; ++x)
            if (plain.At(x, y) != face_) letterBottom = std::max(letterBottom, y);
    ASSERT_GT(letterBottom, 0) << "no letter where the word should start";

    for (const POINT& p : added) {
        EXPECT_GE(p.x, first - 1);
        EXPECT_LE(p.x, end);
        EXPECT_GT(p.y, letterBottom);
        EXPECT_EQ(marked.At(p.x, p.y), text_);
    }
    EXPECT_GE(static_cast<int>(added.size()), letter.cx / 2);
}

TEST_F(HoverButtonWindow, FocusShowsTheDefaultFrameAndTheFocusRectangle) {
    HoverButton& help = dialog_->help;
    // Let focus cues show, as after keyboard use.
    SendMessageA(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    SendMessageA(hwnd_, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    ASSERT_NE(GetFocus(), help.Hwnd());
    ASSERT_FALSE(help.TakesEnter());
    const Shot unfocused(help.Hwnd());
    SetFocus(help.Hwnd());
    ASSERT_EQ(GetFocus(), help.Hwnd());
    EXPECT_TRUE(help.TakesEnter());
    EXPECT_EQ(SendMessageA(help.Hwnd(), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON, DLGC_DEFPUSHBUTTON);
    const Shot focused(help.Hwnd());
    EXPECT_EQ(unfocused.At(0, 0), face_);
    EXPECT_EQ(focused.At(0, 0), GetSysColor(COLOR_WINDOWFRAME));
    // The dotted focus rectangle, three pixels inside the frame.
    int differing = 0;
    for (int x = 4; x < focused.Width() - 4; ++x)
        if (focused.At(x, 4) != unfocused.At(x, 4)) ++differing;
    EXPECT_GT(differing, focused.Width() / 4);
}

}  // namespace
