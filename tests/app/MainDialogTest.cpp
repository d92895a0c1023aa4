#include "app/MainDialog.h"
#include "app/UninstallProgressDialog.h"

#include <gtest/gtest.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "GuiDriver.h"
#include "MainDialogTestAccess.h"
#include "RegistryPaths.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "ThisProgram.h"
#include "framework/TextConversion.h"
#include "framework/WindowQueries.h"
#include "resource.h"

namespace {

struct Row {
    std::string name;
    std::string command;
    LPARAM data;
    int image;
    bool operator==(const Row&) const = default;
};

class MainDialogTest : public ::testing::Test {
protected:
    void Entry(const std::string& key, const std::string& name, const std::string& command,
               const std::string& icon = "") {
        const std::string path = kUninstall + "\\" + key;
        ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, path);
        if (!name.empty()) ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, path, "DisplayName", name);
        if (!command.empty()) ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, path, "UninstallString", command);
        if (!icon.empty()) ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, path, "DisplayIcon", icon);
    }

    void Open(bool splash = false) {
        if (!splash) ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettings, "bDisableSplash", "1");
        ASSERT_TRUE(dialog.Create());
        gui::PumpFor(50);
        WaitForIcons();
    }

    // Icons come after the rows, from the loader's thread.
    void WaitForIcons() { ASSERT_TRUE(gui::PumpUntil([&] { return !dialog.IconsPending(); }, 20000)); }

    std::vector<Row> Rows() {
        std::vector<Row> rows;
        auto& list = MainDialogTestAccess::List(dialog);
        for (int i = 0; i < list.GetItemCount(); ++i) {
            LVITEMA item{};
            item.mask = LVIF_IMAGE;
            item.iItem = i;
            SendMessageA(list.Hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            rows.push_back({fw::Narrow(list.GetItemText(i, 0)), fw::Narrow(list.GetItemText(i, 1)), list.GetItemData(i),
                            item.iImage});
        }
        return rows;
    }

    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const Row& row : Rows()) names.push_back(row.name);
        return names;
    }

    RECT ChildRect(int id) { return fw::ChildRect(dialog.Item(id)); }

    // A click on a header item, as the mouse would deliver it.
    void ClickHeader(int column) {
        HWND header = MainDialogTestAccess::List(dialog).Header();
        RECT item{};
        SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
        const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(header, WM_LBUTTONUP, 0, point);
        gui::PumpFor(20);
    }

    COLORREF PixelInList(int x, int y) {
        RedrawWindow(MainDialogTestAccess::List(dialog).Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
        gui::PumpFor(30);
        HDC dc = GetDC(MainDialogTestAccess::List(dialog).Hwnd());
        const COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(MainDialogTestAccess::List(dialog).Hwnd(), dc);
        return color;
    }

    ScratchRegistry scratch;
    TempFolder files;
    fw::Modeless<MainDialog> dialog;
};

TEST_F(MainDialogTest, RowsForEntriesWithNameAndCommandSortedWithPhantomsMarked) {
    const std::string present = files.WriteFile("Tool\\unins000.exe");
    Entry("Tool_is1", "Tool", "\"" + present + "\" /SILENT", ThisProgram());
    Entry("Gone", "gone app", "\"" + files.Join("Gone\\unins000.exe") + "\"", ThisProgram() + ",1");
    Entry("Msi", "Office Thing", "MsiExec.exe /X{1234}");
    Entry("NoIcon", "_Beta", files.Join("missing\\setup.exe"), files.Join("missing\\icon.ico"));
    Entry("NameOnly", "Name Only", "");
    Entry("CommandOnly", "", "C:\\x\\uninstall.exe");
    Entry("Twin", "Tool", "\"" + files.Join("Old\\unins000.exe") + "\"");
    Open();

    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"_Beta", "gone app", "Office Thing", "Tool", "Tool"}));
    // Phantoms: missing drive paths only, and the mark stays with its row.
    for (const Row& row : rows) {
        const bool missing = row.command.find("missing") != std::string::npos ||
                             row.command.find("Gone") != std::string::npos ||
                             row.command.find("Old") != std::string::npos;
        EXPECT_EQ(row.data, missing ? PhantomMark : 0) << row.name << ": " << row.command;
    }
    // Icons: a real icon source gets an image of its own, the rest image 0.
    EXPECT_EQ(rows[0].image, 0) << "icon file missing";
    EXPECT_GT(rows[1].image, 0) << "icon 1 of this program";
    EXPECT_EQ(rows[2].image, 0) << "MsiExec.exe is no icon file here";
    EXPECT_EQ(MainDialogTestAccess::List(dialog).GetItemText(3, 1).empty(), false);
}

TEST_F(MainDialogTest, HeaderClicksSortShowTheArrowAndKeepTheSelectedEntry) {
    Entry("A", "Alpha", "C:\\z\\a.exe");
    Entry("B", "bravo", "C:\\a\\b.exe");
    Entry("C", "Charlie", "C:\\m\\c.exe");
    Open();
    ProgramListCtrl& list = MainDialogTestAccess::List(dialog);
    const auto arrows = [&] {
        std::vector<int> shown;
        for (int column = 0; column < 2; ++column) {
            HDITEMW item{};
            item.mask = HDI_FORMAT;
            SendMessageW(list.Header(), HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
            shown.push_back(item.fmt & (HDF_SORTUP | HDF_SORTDOWN));
        }
        return shown;
    };
    const auto selectedNames = [&] {
        std::vector<std::string> names;
        for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list.GetNextItem(row, LVNI_SELECTED))
            names.push_back(fw::Narrow(list.GetItemText(row, 0)));
        return names;
    };
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "bravo", "Charlie"}));
    EXPECT_EQ(arrows(), (std::vector<int>{HDF_SORTUP, 0}));
    list.SelectRows({1}, 1);  // bravo alone, as a click selects it

    struct Click {
        int column;
        std::vector<std::string> names;
        std::vector<int> arrows;
    };
    const Click clicks[] = {
        {1, {"bravo", "Charlie", "Alpha"}, {0, HDF_SORTUP}},    // a new column starts ascending
        {1, {"Alpha", "Charlie", "bravo"}, {0, HDF_SORTDOWN}},  // the sorted one flips
        {0, {"Alpha", "bravo", "Charlie"}, {HDF_SORTUP, 0}},
        {0, {"Charlie", "bravo", "Alpha"}, {HDF_SORTDOWN, 0}},
    };
    for (const Click& click : clicks) {
        ClickHeader(click.column);
        EXPECT_EQ(Names(), click.names) << click.column;
        EXPECT_EQ(arrows(), click.arrows) << click.column;
        EXPECT_EQ(selectedNames(), std::vector<std::string>{"bravo"}) << click.column;
        const int focused = list.GetNextItem(-1, LVNI_FOCUSED);
        EXPECT_EQ(fw::Narrow(list.GetItemText(focused, 0)), "bravo") << click.column;
    }

    // A refresh keeps the column and direction.
    list.SetSort(1, false);
    gui::PressButton(dialog.Hwnd(), IDC_REFRESH);
    gui::PumpFor(50);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "Charlie", "bravo"}));
    EXPECT_EQ(arrows(), (std::vector<int>{0, HDF_SORTDOWN}));
    EXPECT_EQ(list.SortColumn(), 1);
    EXPECT_FALSE(list.SortAscending());
}

TEST_F(MainDialogTest, RefreshRereadsAndKeepsTheImageListBounded) {
    for (int i = 0; i < 5; ++i)
        Entry(std::string("E").append(std::to_string(i)), std::string("Entry ").append(std::to_string(i)), "C:\\e.exe",
              ThisProgram());
    Open();
    ASSERT_EQ(MainDialogTestAccess::List(dialog).GetItemCount(), 5);
    const int images = MainDialogTestAccess::Images(dialog).Count();
    EXPECT_EQ(images, MainDialog::kFixedImages + 1) << "the rows share their one icon source's image";

    Entry("E9", "Entry 9", "C:\\e.exe");
    for (int i = 0; i < 3; ++i) {
        gui::PressButton(dialog.Hwnd(), IDC_REFRESH);
        gui::PumpFor(30);
    }
    WaitForIcons();
    EXPECT_EQ(MainDialogTestAccess::List(dialog).GetItemCount(), 6);
    EXPECT_EQ(MainDialogTestAccess::Images(dialog).Count(), MainDialog::kFixedImages + 1)
        << "the new entry has no icon; old fills' images are gone";
    EXPECT_EQ(Rows().back().image, 0);
}

TEST_F(MainDialogTest, PhantomRowsAreLightRedAndRulingLinesFillThePage) {
    Entry("Gone", "Gone", "C:\\nowhere\\at\\all\\uninstall.exe");
    Entry("Here", "Here", "MsiExec.exe /X{1}");
    Open();
    MainDialogTestAccess::List(dialog).SelectRows({}, -1);  // the colours of rows not selected
    ASSERT_EQ(Rows().size(), 2u);
    const int phantomRow = Rows()[0].name == "Gone" ? 0 : 1;
    RECT row{};
    ASSERT_TRUE(MainDialogTestAccess::List(dialog).GetItemRect(phantomRow, row, LVIR_BOUNDS));
    EXPECT_EQ(PixelInList(row.left + 300, row.top + 4), ProgramListCtrl::kPhantomBackground);
    // The red row carries the phantom badge in its icon's bottom right
    // corner; the other row, with the same icon, none.
    ProgramListCtrl& list = MainDialogTestAccess::List(dialog);
    RECT other{};
    ASSERT_TRUE(list.GetItemRect(1 - phantomRow, other, LVIR_ICON));
    ASSERT_TRUE(list.GetItemRect(phantomRow, row, LVIR_ICON));
    const int width = row.right - row.left, tall = row.bottom - row.top;
    ASSERT_GE(width, ProgramListCtrl::kBadgeSize);
    PixelInList(0, 0);  // painted once, then read
    HDC dc = GetDC(list.Hwnd());
    int differInCorner = 0, differElsewhere = 0;
    for (int y = 2; y < tall; ++y)  // the ruling line may cross a row's top
        for (int x = 0; x < width; ++x)
            (x >= width - ProgramListCtrl::kBadgeSize && y >= tall - ProgramListCtrl::kBadgeSize ? differInCorner
                                                                                               : differElsewhere) +=
                GetPixel(dc, row.left + x, row.top + y) != GetPixel(dc, other.left + x, other.top + y);
    ReleaseDC(list.Hwnd(), dc);
    EXPECT_GT(differInCorner, 60);
    EXPECT_EQ(differElsewhere, 0) << width << " x " << tall;
    ASSERT_TRUE(list.GetItemRect(phantomRow, row, LVIR_BOUNDS));
    ASSERT_TRUE(list.GetItemRect(1 - phantomRow, other, LVIR_BOUNDS));

    // Selected, it stays red (dark), with the list focused and without; an
    // ordinary row selected is not red.
    list.SetItemState(phantomRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetItemState(1 - phantomRow, LVIS_SELECTED, LVIS_SELECTED);
    for (HWND focus : {list.Hwnd(), dialog.Item(IDC_REFRESH)}) {
        SetFocus(focus);
        EXPECT_EQ(PixelInList(row.left + 300, row.top + 4), ProgramListCtrl::kSelectedPhantomBackground);
        const COLORREF selected = PixelInList(other.left + 300, other.top + 4);
        EXPECT_NE(selected, ProgramListCtrl::kSelectedPhantomBackground);
        EXPECT_NE(selected, ProgramListCtrl::kPhantomBackground);
    }
    list.SetItemState(-1, 0, LVIS_SELECTED);

    // Below the last row, the page's empty slots are ruled too.
    RECT header{};
    GetClientRect(MainDialogTestAccess::List(dialog).Header(), &header);
    const int height = row.bottom - row.top;
    const int slot = 4;
    ASSERT_LT(slot, MainDialogTestAccess::List(dialog).GetCountPerPage());
    const int y = header.bottom + slot * height;
    const COLORREF on = PixelInList(100, y);
    const COLORREF above = PixelInList(100, y - 1);
    EXPECT_TRUE(on == ProgramListCtrl::kRulingColor || above == ProgramListCtrl::kRulingColor);
    EXPECT_NE(PixelInList(100, y - height / 2), ProgramListCtrl::kRulingColor);
}

TEST_F(MainDialogTest, EmptyListHasNoRulingLines) {
    Open();
    ASSERT_EQ(MainDialogTestAccess::List(dialog).GetItemCount(), 0);
    RECT header{};
    GetClientRect(MainDialogTestAccess::List(dialog).Header(), &header);
    for (int y = header.bottom + 2; y < header.bottom + 200; y += 3)
        ASSERT_NE(PixelInList(100, y), ProgramListCtrl::kRulingColor) << y;
}

TEST_F(MainDialogTest, ResizingMovesGroupsWithTheirEdgesAndRefusesShrinking) {
    Open();
    const RECT list = ChildRect(IDC_PROGRAM_LIST), left = ChildRect(IDC_UNINSTALL), right = ChildRect(IDC_QUIT);
    const RECT actions = ChildRect(IDC_ACTIONS_GROUP), options = ChildRect(IDC_OPTIONS_GROUP);
    RECT legendBefore = {};
    HWND legend = dialog.Item(IDC_LEGEND);
    GetWindowRect(legend, &legendBefore);

    RECT outer{};
    GetWindowRect(dialog.Hwnd(), &outer);
    SetWindowPos(dialog.Hwnd(), nullptr, 0, 0, outer.right - outer.left + 100, outer.bottom - outer.top + 60,
                 SWP_NOMOVE | SWP_NOZORDER);
    gui::PumpFor(30);

    const RECT listAfter = ChildRect(IDC_PROGRAM_LIST);
    EXPECT_EQ(listAfter.left, list.left);
    EXPECT_EQ(listAfter.top, list.top);
    EXPECT_EQ(listAfter.right, list.right + 100);
    EXPECT_EQ(listAfter.bottom, list.bottom + 60);
    EXPECT_EQ(ChildRect(IDC_UNINSTALL).left, left.left);
    EXPECT_EQ(ChildRect(IDC_UNINSTALL).top, left.top + 60);
    EXPECT_EQ(ChildRect(IDC_QUIT).left, right.left + 100);
    EXPECT_EQ(ChildRect(IDC_QUIT).top, right.top + 60);
    EXPECT_EQ(ChildRect(IDC_ACTIONS_GROUP).left, actions.left);
    EXPECT_EQ(ChildRect(IDC_OPTIONS_GROUP).left, options.left + 100);
    RECT legendAfter = {};
    GetWindowRect(legend, &legendAfter);
    EXPECT_TRUE(EqualRect(&legendAfter, &legendBefore)) << "the legend stays";

    // The tracking size may not go below the opening size.
    MINMAXINFO info{};
    SendMessageA(dialog.Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    // (The window may open wider than its template to show its columns:
    // the template's size is the least.)
    EXPECT_LE(info.ptMinTrackSize.x, outer.right - outer.left);
    EXPECT_LE(info.ptMinTrackSize.y, outer.bottom - outer.top);
    EXPECT_EQ(dialog.MinTrackSize().cx, info.ptMinTrackSize.x);
    EXPECT_EQ(dialog.MinTrackSize().cy, info.ptMinTrackSize.y);

    // Minimised and restored, everything is back where the resize put it.
    ShowWindow(dialog.Hwnd(), SW_MINIMIZE);
    gui::PumpFor(30);
    ShowWindow(dialog.Hwnd(), SW_RESTORE);
    gui::PumpFor(30);
    const RECT listRestored = ChildRect(IDC_PROGRAM_LIST);
    EXPECT_TRUE(EqualRect(&listAfter, &listRestored));
}

TEST_F(MainDialogTest, ToolTipsAnswerByWindowHandleOnly) {
    Open();
    const std::pair<int, const char*> expected[] = {
        {IDC_UNINSTALL, "Launch the selected program's Uninstall program."},
        {IDC_QUIT, "Quit."},
        {IDC_REMOVE, "Remove the selected program from the Add/Remove Programs list."},
        {IDC_REFRESH, "Refresh the list of Add/Remove Programs."},
        {IDC_HELP_BUTTON, "Help."},
        {IDC_UPGRADE, "Check for updates."},
    };
    auto ask = [&](UINT_PTR id, UINT flags, std::string& text) {
        NMTTDISPINFOA info{};
        info.hdr.code = TTN_NEEDTEXTA;
        info.hdr.idFrom = id;
        info.uFlags = flags;
        const bool answered = SendMessageA(dialog.Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info)) &&
                              GetWindowLongPtrA(dialog.Hwnd(), DWLP_MSGRESULT) != 0;
        text = info.lpszText ? info.lpszText : "";
        return answered;
    };
    std::string text;
    for (const auto& [id, tip] : expected) {
        EXPECT_TRUE(ask(reinterpret_cast<UINT_PTR>(dialog.Item(id)), TTF_IDISHWND, text)) << id;
        EXPECT_EQ(text, tip);
    }
    EXPECT_FALSE(ask(IDC_QUIT, 0, text)) << "an id instead of a window is not answered";
    EXPECT_TRUE(ask(reinterpret_cast<UINT_PTR>(dialog.Item(IDC_PROGRAM_LIST)), TTF_IDISHWND, text));
    EXPECT_EQ(text, "") << "other controls: accepted, no text";
}

BOOL CALLBACK FindShownToolTip(HWND window, LPARAM parameter) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(window) || lstrcmpiA(name, TOOLTIPS_CLASSA) != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(parameter) = window;
    return FALSE;
}

// The visible tooltip window of this process, if one is showing.
HWND ShownToolTip() {
    HWND found = nullptr;
    EnumWindows(&FindShownToolTip, reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST_F(MainDialogTest, HoveringAButtonShowsItsToolTip) {
    Entry("A", "Alpha", "MsiExec.exe /X{1}");  // a selected row: Uninstall is not grey
    Open();
    SetForegroundWindow(dialog.Hwnd());
    for (int id : {IDC_UNINSTALL, IDC_REFRESH, IDC_QUIT}) {
        RECT button{};
        GetWindowRect(dialog.Item(id), &button);
        // Off the window first, so each hover starts afresh (over the list
        // a row's own tip would show instead).
        RECT window{};
        GetWindowRect(dialog.Hwnd(), &window);
        SetCursorPos(button.left, window.bottom + 30);
        gui::PumpFor(100);
        SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
        gui::PumpFor(30);
        SetCursorPos((button.left + button.right) / 2 + 1, (button.top + button.bottom) / 2);
        std::string text;
        gui::PumpUntil([&] {
            HWND tip = ShownToolTip();
            text = tip ? gui::Text(tip) : "";
            return !text.empty();
        }, 4000);
        EXPECT_EQ(text, MainDialog::ToolTipText(id)) << id;
    }
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    gui::PumpFor(50);
}

TEST_F(MainDialogTest, SystemMenuOpensTheAboutBox) {
    Open();
    HMENU menu = GetSystemMenu(dialog.Hwnd(), FALSE);
    const int last = GetMenuItemCount(menu) - 1;
    char text[64] = {};
    GetMenuStringA(menu, last, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About Zaltrow...");
    EXPECT_EQ(GetMenuItemID(menu, last), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(GetMenuState(menu, last - 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));

    std::string version, second;
    bool hasIcon = false;
    std::thread reader([&] {
        HWND about = gui::WaitForWindow(GetCurrentProcessId(), "#32770", "About Zaltrow", 5000);
        if (!about) return;
        for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
            if ((style & SS_TYPEMASK) == SS_ICON) hasIcon = SendMessageA(child, STM_GETICON, 0, 0) != 0;
            const std::string t = gui::Text(child);
            if (t == "Zaltrow Version 1.2") version = t;
            else if (GetDlgCtrlID(child) != IDOK && !t.empty()) second = t;
        }
        gui::PressButton(about, IDOK);
    });
    SendMessageA(dialog.Hwnd(), WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3, 0);  // low bits are the system's own
    reader.join();
    EXPECT_EQ(version, "Zaltrow Version 1.2");
    EXPECT_FALSE(second.empty());
    EXPECT_TRUE(hasIcon);
}

TEST_F(MainDialogTest, SplashShowsUnlessDisabledAndStoresZero) {
    Open(true);
    ASSERT_NE(MainDialogTestAccess::Splash(dialog), nullptr);
    EXPECT_TRUE(IsWindowVisible(MainDialogTestAccess::Splash(dialog)->Hwnd()));
    EXPECT_EQ(ScratchRegistry::GetString(HKEY_CURRENT_USER, kSettings, "bDisableSplash"), "0");
    EXPECT_EQ(GetWindow(MainDialogTestAccess::Splash(dialog)->Hwnd(), GW_OWNER), dialog.Hwnd());
    // The timer hides it after two seconds.
    EXPECT_TRUE(gui::PumpUntil([&] { return !IsWindowVisible(MainDialogTestAccess::Splash(dialog)->Hwnd()); }, 6000));
}

TEST_F(MainDialogTest, SplashClickHidesItAtOnce) {
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettings, "bDisableSplash", "7");
    Open(true);
    ASSERT_NE(MainDialogTestAccess::Splash(dialog), nullptr);
    EXPECT_EQ(ScratchRegistry::GetString(HKEY_CURRENT_USER, kSettings, "bDisableSplash"), "0");
    SendMessageA(MainDialogTestAccess::Splash(dialog)->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_FALSE(IsWindowVisible(MainDialogTestAccess::Splash(dialog)->Hwnd()));
    EXPECT_TRUE(IsWindow(MainDialogTestAccess::Splash(dialog)->Hwnd())) << "hidden, not destroyed";
}

TEST_F(MainDialogTest, SplashDisabledByOne) {
    Open();  // stores "1"
    EXPECT_EQ(MainDialogTestAccess::Splash(dialog), nullptr);
    EXPECT_EQ(ScratchRegistry::GetString(HKEY_CURRENT_USER, kSettings, "bDisableSplash"), "1");
}

TEST_F(MainDialogTest, ButtonsAreOwnerDrawnWithTheirIcons) {
    Open();
    for (int id : {IDC_UNINSTALL, IDC_REMOVE, IDC_REFRESH, IDC_UPGRADE, IDC_HELP_BUTTON, IDC_QUIT}) {
        HoverButton& button = MainDialogTestAccess::Button(dialog, id);
        EXPECT_EQ(button.Hwnd(), dialog.Item(id));
        EXPECT_EQ(GetWindowLongPtrA(button.Hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << id;
        EXPECT_NE(button.HoverIcon(), nullptr) << id;
        EXPECT_NE(button.NormalIcon(), nullptr) << id;
        // Quit and Uninstall load the same id twice: two handles.
        EXPECT_NE(button.HoverIcon(), button.NormalIcon()) << id;
    }
    EXPECT_EQ(gui::ItemText(dialog.Hwnd(), IDC_UPGRADE), "U&pgrade");
    EXPECT_EQ(gui::Text(dialog.Hwnd()), "Zaltrow");
}

TEST_F(MainDialogTest, EnterAndDoubleClickDoNotCloseTheWindow) {
    Entry("A", "Alpha", "MsiExec.exe /X{1}");
    Open();
    MainDialogTestAccess::List(dialog).SelectRows({}, -1);  // nothing to uninstall
    SendMessageA(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = MainDialogTestAccess::List(dialog).Hwnd();
    click.hdr.idFrom = IDC_PROGRAM_LIST;
    click.hdr.code = NM_DBLCLK;
    SendMessageA(dialog.Hwnd(), WM_NOTIFY, IDC_PROGRAM_LIST, reinterpret_cast<LPARAM>(&click));
    gui::PumpFor(30);
    EXPECT_TRUE(IsWindowVisible(dialog.Hwnd()));
}

// The 32 x 32 picture of one image, drawn on white.
std::vector<DWORD> Picture(HIMAGELIST images, int index) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 32;
    info.bmiHeader.biHeight = -32;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    PatBlt(dc, 0, 0, 32, 32, WHITENESS);
    ImageList_Draw(images, index, dc, 0, 0, ILD_NORMAL);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + 32 * 32);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
    return pixels;
}

// What icon `index` of `path` looks like once in an image list like the
// window's; empty when there is no such icon.
std::vector<DWORD> ExtractedPicture(const std::string& path, int index) {
    HICON icon = nullptr;
    if (ExtractIconExA(path.c_str(), index, &icon, nullptr, 1) == 0 || !icon) return {};
    HIMAGELIST images = ImageList_Create(32, 32, ILC_COLOR32, 0, 1);
    ImageList_ReplaceIcon(images, -1, icon);
    DestroyIcon(icon);
    std::vector<DWORD> pixels = Picture(images, 0);
    ImageList_Destroy(images);
    return pixels;
}

std::set<DWORD> ThreadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    std::set<DWORD> threads;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) threads.insert(entry.th32ThreadID);
    CloseHandle(snapshot);
    return threads;
}

// Lets the icon loader's worker through one extraction per permit, so a
// test can catch the loading halfway for certain.
HANDLE gIconGate = nullptr;
std::atomic<int> gExtractions{0};  // begun, including one held at the gate
HICON GatedExtraction(const std::wstring& path, int index, int size) {
    ++gExtractions;
    WaitForSingleObject(gIconGate, INFINITE);
    return IconLoader::ExtractIconAt(path, index, size);
}

class ListIconsTest : public MainDialogTest {
protected:
    ListIconsTest() {
        gIconGate = CreateSemaphoreA(nullptr, 0, 1 << 20, nullptr);
        gExtractions = 0;
        MainDialogTestAccess::Icons(dialog).SetExtractor(&GatedExtraction);
        ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettings, "bDisableSplash", "1");
    }
    ~ListIconsTest() override {
        Let(1 << 19);  // nothing may stay blocked when the window goes
        dialog.Destroy();
        CloseHandle(gIconGate);
    }
    static void Let(int extractions) { ReleaseSemaphore(gIconGate, extractions, nullptr); }

    static constexpr int kEntries = 120;

    // Entry k shows icon `(k + shift) % 10` of this program, through a link
    // of its own to it per ten entries, so no two entries share an icon
    // source (the window extracts a shared one once); every seventh names a
    // missing icon file and every eleventh has no icon at all.
    void Seed(int shift) {
        for (int k = 0; k < kEntries; ++k) {
            const std::string link = files.Join("icons" + std::to_string(k / 10) + ".exe");
            if (GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES &&
                !CreateHardLinkA(link.c_str(), ThisProgram().c_str(), nullptr))
                CopyFileA(ThisProgram().c_str(), link.c_str(), TRUE);
            std::string icon = link + "," + std::to_string((k + shift) % 10);
            if (k % 7 == 0) icon = files.Join("gone" + std::to_string(k) + ".ico");
            if (k % 11 == 0) icon.clear();
            const std::string number = std::to_string(k);
            std::string command = "MsiExec.exe /X{";
            command.append(number).append("}");
            Entry("E" + number, "Entry " + std::to_string(1000 + k), command, icon);
            expected_[1000 + k] = icon.empty() || k % 7 == 0 ? std::vector<DWORD>{} : Pictures()[(k + shift) % 10];
            if (!icon.empty()) sourced_.insert(1000 + k);
        }
    }

    // Every row shows what its own entry's icon gives, image 0 otherwise.
    void ExpectEachRowWithItsOwnIcon() {
        const std::vector<Row> rows = Rows();
        ASSERT_EQ(rows.size(), expected_.size());
        std::set<int> images;
        for (const Row& row : rows) {
            const std::vector<DWORD>& want = expected_.at(std::stoi(row.name.substr(6)));
            if (want.empty()) {
                EXPECT_EQ(row.image, 0) << row.name;
                continue;
            }
            EXPECT_GE(row.image, MainDialog::kFixedImages) << row.name;
            EXPECT_TRUE(images.insert(row.image).second) << row.name << ": an image of its own";
            EXPECT_TRUE(Picture(MainDialogTestAccess::Images(dialog).Get(), row.image) == want) << row.name;
        }
    }

    // Icons 0 to 9 of this program.
    static const std::vector<std::vector<DWORD>>& Pictures() {
        static const std::vector<std::vector<DWORD>> pictures = [] {
            std::vector<std::vector<DWORD>> all;
            for (int i = 0; i < 10; ++i) all.push_back(ExtractedPicture(ThisProgram(), i));
            return all;
        }();
        return pictures;
    }

    int IconRows() const {
        return static_cast<int>(
            std::count_if(expected_.begin(), expected_.end(), [](const auto& e) { return !e.second.empty(); }));
    }

    bool SomeRowHasItsIcon() {
        for (int row = 0; row < MainDialogTestAccess::List(dialog).GetItemCount(); ++row)
            if (MainDialogTestAccess::List(dialog).GetItemImage(row) >= MainDialog::kFixedImages) return true;
        return false;
    }

    std::map<int, std::vector<DWORD>> expected_;
    std::set<int> sourced_;  // entries that name an icon, there or not
};

TEST_F(ListIconsTest, RowsComeAtOnceAndEndWithTheirOwnIcons) {
    // The pictures must tell the icons apart, or a wrong one would pass.
    const std::set<std::vector<DWORD>> distinct(Pictures().begin(), Pictures().end());
    ASSERT_GE(distinct.size(), 8u);

    Seed(0);
    ASSERT_TRUE(dialog.Create());
    // Every row is there before any icon, with image 0.
    gui::PumpFor(20);
    ASSERT_EQ(MainDialogTestAccess::List(dialog).GetItemCount(), kEntries);
    ASSERT_TRUE(dialog.IconsPending());
    for (const Row& row : Rows()) ASSERT_EQ(row.image, 0) << row.name;
    Let(1 << 19);
    WaitForIcons();
    ExpectEachRowWithItsOwnIcon();
    EXPECT_EQ(MainDialogTestAccess::Images(dialog).Count(), MainDialog::kFixedImages + IconRows());
}

TEST_F(ListIconsTest, RefreshAndSortWhileIconsLoadPutNoIconOnAWrongRow) {
    Seed(0);
    ASSERT_TRUE(dialog.Create());
    Let(30);  // some icons of the first fill arrive; the 31st is held
    ASSERT_TRUE(gui::PumpUntil([&] { return gExtractions == 31 && SomeRowHasItsIcon(); }, 10000));
    ASSERT_TRUE(dialog.IconsPending());

    // Other icons for every entry, fewer entries: a late icon of the first
    // fill would land on a row that now wants another one.
    expected_.clear();
    Seed(3);
    for (int k = 0; k < kEntries; k += 4) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kUninstall + "\\E" + std::to_string(k)).c_str());
        expected_.erase(1000 + k);
    }
    gui::PressButton(dialog.Hwnd(), IDC_REFRESH);
    ASSERT_TRUE(gui::PumpUntil([&] { return MainDialogTestAccess::List(dialog).GetItemCount() == kEntries - kEntries / 4; }, 10000));
    ASSERT_EQ(gExtractions, 31);
    // The held icon of the first fill comes out after the refresh: it must
    // go nowhere, while the second fill's first icon is held.
    Let(1);
    ASSERT_TRUE(gui::PumpUntil([&] { return gExtractions == 32; }, 10000));
    gui::PumpFor(30);
    EXPECT_FALSE(SomeRowHasItsIcon());
    EXPECT_EQ(MainDialogTestAccess::Images(dialog).Count(), MainDialog::kFixedImages);
    Let(20);
    gui::PumpFor(20);
    ClickHeader(0);  // rows move while their icons are on the way
    ASSERT_TRUE(dialog.IconsPending());
    Let(1 << 19);
    WaitForIcons();
    EXPECT_FALSE(MainDialogTestAccess::List(dialog).SortAscending());
    EXPECT_EQ(Rows().front().name, "Entry 1119");
    ExpectEachRowWithItsOwnIcon();
    EXPECT_EQ(MainDialogTestAccess::Images(dialog).Count(), MainDialog::kFixedImages + IconRows());
}

TEST_F(ListIconsTest, RowsOnScreenGetTheirIconsFirstWhereverTheUserScrolls) {
    Seed(0);
    ASSERT_TRUE(dialog.Create());
    ProgramListCtrl& list = MainDialogTestAccess::List(dialog);
    // The loader is held at its first job, the top row's; the user goes to
    // the end of the list meanwhile.
    ASSERT_TRUE(gui::PumpUntil([&] { return gExtractions == 1; }, 10000));
    list.EnsureVisible(kEntries - 1);
    gui::PumpFor(100);
    const auto [first, last] = list.VisibleRows();
    ASSERT_GT(first, list.GetCountPerPage());
    int sources = 0;
    for (int row = first; row < last; ++row) sources += sourced_.count(std::stoi(Names()[row].substr(6))) ? 1 : 0;
    ASSERT_GT(sources, 0);
    // The held job and exactly the page's are let through.
    Let(1 + sources);
    ASSERT_TRUE(gui::PumpUntil([&] { return gExtractions == 2 + sources; }, 10000));
    gui::PumpFor(100);
    const std::vector<Row> rows = Rows();
    for (int row = first; row < last; ++row) {
        const Row& shown = rows[static_cast<std::size_t>(row)];
        EXPECT_EQ(shown.image >= MainDialog::kFixedImages, !expected_.at(std::stoi(shown.name.substr(6))).empty())
            << shown.name;
    }
    int elsewhere = 0;
    for (int row = 0; row < first; ++row) elsewhere += rows[static_cast<std::size_t>(row)].image >= MainDialog::kFixedImages;
    EXPECT_LE(elsewhere, 1) << "only the job held at the start";
}

TEST_F(ListIconsTest, ClosingWhileIconsLoadEndsTheWorker) {
    Seed(0);
    const std::set<DWORD> before = ThreadsOfThisProcess();
    ASSERT_TRUE(dialog.Create());
    Let(10);
    ASSERT_TRUE(gui::PumpUntil([&] { return SomeRowHasItsIcon(); }, 10000));
    ASSERT_TRUE(dialog.IconsPending());
    // The worker is held inside an extraction while the window goes; the
    // window waits for it.
    std::thread late([] {
        Sleep(200);
        Let(1);
    });
    DestroyWindow(dialog.Hwnd());
    late.join();
    EXPECT_FALSE(dialog.IconsPending());
    // Threads of earlier tests may have ended meanwhile; none may be new.
    std::set<DWORD> added;
    for (DWORD thread : ThreadsOfThisProcess())
        if (!before.count(thread)) added.insert(thread);
    EXPECT_TRUE(added.empty()) << "the loader's thread is gone";
    gui::PumpFor(100);  // nothing is still due for the window that went
    EXPECT_EQ(dialog.Hwnd(), nullptr);
}

}  // namespace

namespace {

// An icon's pixels as drawn on white, for comparing two icons by looks.
std::vector<COLORREF> Drawn(HICON icon) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 32, 32};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<COLORREF> DrawnResource(UINT id) {
    HICON icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(icon, nullptr) << id;
    std::vector<COLORREF> pixels = Drawn(icon);
    DestroyIcon(icon);
    return pixels;
}

}  // namespace

// Each button shows its own pair of pictures, not a neighbour's.
TEST_F(MainDialogTest, EachButtonShowsItsOwnIcons) {
    Open();
    struct Expected {
        int button;
        UINT hover;
        UINT normal;
    };
    const Expected table[] = {
        {IDC_REFRESH, IDI_REFRESH_HOVER, IDI_REFRESH_NORMAL}, {IDC_UPGRADE, IDI_UPGRADE_HOVER, IDI_UPGRADE_NORMAL},
        {IDC_REMOVE, IDI_REMOVE_HOVER, IDI_REMOVE_NORMAL},    {IDC_QUIT, IDI_QUIT, IDI_QUIT},
        {IDC_HELP_BUTTON, IDI_HELP_HOVER, IDI_HELP_NORMAL},   {IDC_UNINSTALL, IDI_UNINSTALL, IDI_UNINSTALL},
    };
    std::set<std::vector<COLORREF>> distinct;
    for (const Expected& e : table) {
        HoverButton& button = MainDialogTestAccess::Button(dialog, e.button);
        EXPECT_EQ(Drawn(button.HoverIcon()), DrawnResource(e.hover)) << e.button;
        EXPECT_EQ(Drawn(button.NormalIcon()), DrawnResource(e.normal)) << e.button;
        distinct.insert(Drawn(button.NormalIcon()));
    }
    EXPECT_EQ(distinct.size(), 6u) << "two buttons look alike";
}

TEST_F(MainDialogTest, ListIsAReportWhoseFirstColumnsAreNameAndCommandWithFullRowSelection) {
    Open();
    HWND list = MainDialogTestAccess::List(dialog).Hwnd();
    EXPECT_EQ(GetWindowLongPtrA(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
              LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_HEADERDRAGDROP);
    // Their widths follow the rows (the display scale test shows them whole).
    const std::string columns[] = {"Add/Remove Program Entries", "Uninstall Path"};
    for (int i = 0; i < 2; ++i) {
        char text[64] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column))) << i;
        EXPECT_EQ(text, columns[i]);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    // Name, Publisher, Installed on, Size, Version and the command by default.
    EXPECT_EQ(Header_GetItemCount(MainDialogTestAccess::List(dialog).Header()), 6);
    int width = 0, height = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
                          &width, &height);
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 32);
}

// All ten controls follow their edges: the order and masks the window
// registers them with.
TEST_F(MainDialogTest, TenControlsAreRegisteredWithTheirAnchors) {
    Open();
    const std::vector<std::uint32_t> expected{
        (2u << 16) | IDC_UNINSTALL,     (2u << 16) | IDC_REMOVE,         (2u << 16) | IDC_REFRESH,
        (3u << 16) | IDC_UPGRADE,       (3u << 16) | IDC_HELP_BUTTON,    (3u << 16) | IDC_QUIT,
        (12u << 16) | IDC_PROGRAM_LIST, (4u << 16) | IDC_SHOWN_COUNT,    (2u << 16) | IDC_ACTIONS_GROUP,
        (3u << 16) | IDC_OPTIONS_GROUP,
    };
    EXPECT_EQ(dialog.Controls(), expected);
}

// Where Windows asks apps to be dark, the list, its red rows and the
// window's background are dark; a change of the setting while the window
// is open (the system's "ImmersiveColorSet" notice) is followed at once.
TEST_F(MainDialogTest, ListAndWindowFollowTheAppsDarkSetting) {
    const std::string personalize = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
    Entry("Gone", "Gone", "C:\\nowhere\\at\\all\\uninstall.exe");
    const COLORREF lightList = GetSysColor(COLOR_WINDOW), darkList = theme::kDark.listBackground;
    const COLORREF lightRed = ProgramListCtrl::kPhantomBackground, darkRed = theme::kDarkRows.phantomBackground;
    struct Case {
        int atOpen;  // AppsUseLightTheme; -1 for none
        COLORREF list, red, window;
        int changedTo;  // -1 for no change
        COLORREF listAfter, redAfter, windowAfter;
    };
    const COLORREF lightWindow = GetSysColor(COLOR_BTNFACE), darkWindow = theme::kDark.window;
    const Case cases[] = {
        {-1, lightList, lightRed, lightWindow, -1, lightList, lightRed, lightWindow},
        {1, lightList, lightRed, lightWindow, 0, darkList, darkRed, darkWindow},
        {0, darkList, darkRed, darkWindow, 1, lightList, lightRed, lightWindow},
        {0, darkList, darkRed, darkWindow, -1, darkList, darkRed, darkWindow},
    };
    const auto pixel = [](HWND window, int x, int y) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        gui::PumpFor(30);
        HDC dc = GetDC(window);
        const COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return color;
    };
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettings, "bDisableSplash", "1");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.atOpen << " then " << c.changedTo);
        if (c.atOpen >= 0) ScratchRegistry::SetDword(HKEY_CURRENT_USER, personalize, "AppsUseLightTheme", c.atOpen);
        fw::Modeless<MainDialog> window;  // a window of its own for each setting
        ASSERT_TRUE(window.Create());
        ASSERT_TRUE(gui::PumpUntil([&] { return !window.IconsPending(); }, 20000));
        ProgramListCtrl& list = MainDialogTestAccess::List(window);
        list.SelectRows({}, -1);  // the colours of rows not selected
        RECT row{};
        ASSERT_TRUE(list.GetItemRect(0, row, LVIR_BOUNDS));
        EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list.Hwnd(), LVM_GETBKCOLOR, 0, 0)), c.list);
        EXPECT_EQ(pixel(list.Hwnd(), row.left + 300, row.top + 4), c.red);
        EXPECT_EQ(pixel(window.Hwnd(), 2, 2), c.window);
        {
            // A dialog's plain list, its rows too (the batch's progress).
            fw::Modeless<UninstallProgressDialog> progress(window.Hwnd(), {L"A program"});
            ASSERT_TRUE(progress.Create());
            ShowWindow(progress.Hwnd(), SW_SHOWNA);
            HWND rows = progress.Item(IDC_BATCH_LIST);
            RECT first{};
            ListView_GetItemRect(rows, 0, &first, LVIR_BOUNDS);
            EXPECT_EQ(pixel(rows, first.right - 4, first.bottom - 2), c.list);
            // Its header too, past the last column.
            HWND header = ListView_GetHeader(rows);
            RECT room{};
            GetClientRect(header, &room);
            EXPECT_EQ(pixel(header, room.right - 2, room.bottom / 2) == theme::kDark.header, c.list == darkList);
        }
        if (c.changedTo >= 0) {
            ScratchRegistry::SetDword(HKEY_CURRENT_USER, personalize, "AppsUseLightTheme", c.changedTo);
            SendMessageW(window.Hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"));
        }
        EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list.Hwnd(), LVM_GETBKCOLOR, 0, 0)), c.listAfter);
        EXPECT_EQ(pixel(list.Hwnd(), row.left + 300, row.top + 4), c.redAfter);
        EXPECT_EQ(pixel(window.Hwnd(), 2, 2), c.windowAfter);
        // The quick filter's arrow button, which the system draws light,
        // is the search row's colour too while dark.
        if (c.windowAfter == darkWindow) {
            HWND quick = window.Item(IDC_QUICK_FILTER);
            RECT box{};
            GetClientRect(quick, &box);
            EXPECT_EQ(pixel(quick, box.right - 3, 3), theme::kDark.edit);
        }
        RegDeleteKeyA(HKEY_CURRENT_USER, personalize.c_str());
    }
}
