// The main window's keyboard and selection as a user meets them: keys go
// through the program's own translation (MainDialog::TranslateKeys) as its
// message loop gives them, and each command a key or button sends is
// recorded on its way to the window.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <initializer_list>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "GuiDriver.h"
#include "MainDialogTestAccess.h"
#include "RegistryPaths.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "app/MainDialog.h"
#include "framework/TextConversion.h"
#include "resource.h"

namespace {

// The commands (button clicks, menu items, accelerators) the window got.
// Those in `swallowed` stop here, so a test of which command a key sends
// does not also run it.
struct CommandLog {
    std::vector<int> ids;
    std::set<int> swallowed;
};

LRESULT CALLBACK RecordCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto& log = *reinterpret_cast<CommandLog*>(data);
    if (message == WM_COMMAND && HIWORD(wParam) <= 1) {
        log.ids.push_back(LOWORD(wParam));
        if (log.swallowed.count(LOWORD(wParam))) return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

constexpr int kButtons[] = {IDC_UNINSTALL, IDC_REMOVE, IDC_REFRESH, IDC_UPGRADE, IDC_HELP_BUTTON, IDC_QUIT};

class MainWindowKeysTest : public ::testing::Test {
protected:
    MainWindowKeysTest() {
        ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettings, "bDisableSplash", "1");
        Entry("A", "Alpha", "MsiExec.exe /X{1}");
        Entry("B", "Bravo", "C:\\nowhere\\at\\all\\b.exe");  // red
        Entry("C", "Charlie", "MsiExec.exe /X{3}");
        Entry("D", "Delta", "C:\\nowhere\\at\\all\\d.exe");  // red
        log.swallowed = {IDC_UNINSTALL, IDC_REMOVE, IDC_REFRESH, IDC_UPGRADE, IDC_HELP_BUTTON, IDC_QUIT,
                         ID_PROPERTIES, ID_RESTORE_REMOVED};
    }
    ~MainWindowKeysTest() override {
        if (dialog.Hwnd()) RemoveWindowSubclass(dialog.Hwnd(), &RecordCommands, 1);
    }

    void Entry(const std::string& key, const std::string& name, const std::string& command) {
        ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "DisplayName", name);
        ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "UninstallString", command);
    }

    void Open() {
        ASSERT_TRUE(dialog.Create());
        SetForegroundWindow(dialog.Hwnd());
        SetWindowSubclass(dialog.Hwnd(), &RecordCommands, 1, reinterpret_cast<DWORD_PTR>(&log));
        Pump(50);
    }

    // The program's message loop for `ms` milliseconds.
    void Pump(DWORD ms) {
        const DWORD end = GetTickCount() + ms;
        do {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (dialog.TranslateKeys(message)) continue;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(5);
        } while (static_cast<LONG>(end - GetTickCount()) > 0);
    }

    // A key pressed on the focused control with the modifiers held (in
    // this thread's key state, where the translation reads them).
    void Press(UINT key, std::initializer_list<UINT> modifiers = {}) {
        BYTE state[256] = {};
        for (UINT modifier : modifiers) state[modifier] = 0x80;
        SetKeyboardState(state);
        // F10, like Alt combinations, comes as a system key.
        const bool alt = std::find(modifiers.begin(), modifiers.end(), static_cast<UINT>(VK_MENU)) != modifiers.end();
        const bool system = alt || key == VK_F10;
        HWND target = GetFocus() ? GetFocus() : dialog.Hwnd();
        const LPARAM context = alt ? 0x20000000 : 0;
        PostMessageW(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, context | 1);
        Pump(60);
        PostMessageW(target, system ? WM_SYSKEYUP : WM_KEYUP, key, context | 0xC0000001);
        Pump(30);
        const BYTE none[256] = {};
        SetKeyboardState(const_cast<BYTE*>(none));
    }

    ProgramListCtrl& List() { return MainDialogTestAccess::List(dialog); }
    std::vector<std::string> SelectedNames() {
        std::vector<std::string> names;
        for (int row : List().SelectedRows()) names.push_back(fw::Narrow(List().GetItemText(row, 0)));
        return names;
    }
    int RowOf(const std::string& name) {
        for (int row = 0; row < List().GetItemCount(); ++row)
            if (fw::Narrow(List().GetItemText(row, 0)) == name) return row;
        return -1;
    }
    void FocusOn(HWND control) { SendMessageW(dialog.Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE); }

    ScratchRegistry scratch;
    CommandLog log;
    fw::Modeless<MainDialog> dialog;
};

TEST_F(MainWindowKeysTest, EnterPressesTheFocusedButtonAndUninstallFromTheList) {
    Open();
    ASSERT_EQ(GetFocus(), List().Hwnd()) << "the list has the focus at start";
    ASSERT_EQ(SelectedNames(), std::vector<std::string>{"Alpha"}) << "its first row selected";

    const struct {
        int focus;  // 0: the list
        int expected;
    } cases[] = {{IDC_QUIT, IDC_QUIT},     {IDC_UNINSTALL, IDC_UNINSTALL}, {IDC_REMOVE, IDC_REMOVE},
                 {IDC_REFRESH, IDC_REFRESH}, {IDC_UPGRADE, IDC_UPGRADE},   {IDC_HELP_BUTTON, IDC_HELP_BUTTON},
                 {0, IDC_UNINSTALL}};
    for (const auto& c : cases) {
        FocusOn(c.focus ? dialog.Item(c.focus) : List().Hwnd());
        Pump(30);
        // One button takes Enter, framed as the default: the focused one,
        // or Uninstall while the list has the focus.
        for (int id : kButtons)
            EXPECT_EQ(MainDialogTestAccess::Button(dialog, id).TakesEnter(), id == c.expected)
                << "focus " << c.focus << ", button " << id;
        log.ids.clear();
        Press(VK_RETURN);
        EXPECT_EQ(log.ids, std::vector<int>{c.expected}) << "focus " << c.focus;
    }

    // Nothing selected: Uninstall and Remove are grey and Enter does nothing.
    List().SelectRows({}, -1);
    Pump(30);
    EXPECT_FALSE(IsWindowEnabled(dialog.Item(IDC_UNINSTALL)));
    EXPECT_FALSE(IsWindowEnabled(dialog.Item(IDC_REMOVE)));
    log.ids.clear();
    Press(VK_RETURN);
    EXPECT_TRUE(log.ids.empty());
}

TEST_F(MainWindowKeysTest, KeysMenuAndSelectionActAsInWindowsOwnList) {
    Open();
    // Keys on the list: each sends its command; Escape none, and the
    // window stays.
    const struct {
        UINT key;
        std::initializer_list<UINT> modifiers;
        std::vector<int> commands;
        std::vector<std::string> selectedAfter;  // empty: not checked
    } cases[] = {
        {VK_DELETE, {}, {IDC_REMOVE}, {}},
        {VK_F5, {}, {IDC_REFRESH}, {}},
        {VK_F1, {}, {IDC_HELP_BUTTON}, {}},
        {VK_RETURN, {VK_MENU}, {ID_PROPERTIES}, {}},
        {'P', {VK_MENU}, {IDC_UPGRADE}, {}},
        {'Q', {VK_MENU}, {IDC_QUIT}, {}},
        {VK_ESCAPE, {}, {ID_KEY_IGNORED}, {}},
        {'A', {VK_CONTROL}, {ID_SELECT_ALL}, {"Alpha", "Bravo", "Charlie", "Delta"}},
        {'A', {VK_CONTROL, VK_SHIFT}, {ID_SELECT_RED}, {"Bravo", "Delta"}},
    };
    for (const auto& c : cases) {
        FocusOn(List().Hwnd());
        log.ids.clear();
        Press(c.key, c.modifiers);
        EXPECT_EQ(log.ids, c.commands) << "key " << c.key;
        if (!c.selectedAfter.empty()) {
            EXPECT_EQ(SelectedNames(), c.selectedAfter) << "key " << c.key;
        }
        ASSERT_TRUE(IsWindowVisible(dialog.Hwnd())) << "key " << c.key;
    }
    // Two rows selected: Uninstall (one after another) and Remove both act.
    EXPECT_TRUE(IsWindowEnabled(dialog.Item(IDC_UNINSTALL)));
    EXPECT_TRUE(IsWindowEnabled(dialog.Item(IDC_REMOVE)));

    // The same entries stay selected across Refresh, though a new entry
    // moves their rows; the focus stays on its entry too.
    List().SelectRows({RowOf("Bravo"), RowOf("Delta")}, RowOf("Delta"));
    Entry("0", "Aardvark", "MsiExec.exe /X{0}");
    log.swallowed.erase(IDC_REFRESH);
    SendMessageW(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED), 0);
    Pump(30);
    EXPECT_EQ(RowOf("Aardvark"), 0);
    EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"Bravo", "Delta"}));
    EXPECT_EQ(List().FocusedRow(), RowOf("Delta"));

    // Shift+F10 opens the context menu at the focused row, its items grey
    // where they cannot act; Escape closes it.
    List().SelectRows({RowOf("Charlie")}, RowOf("Charlie"));
    Pump(30);
    std::vector<std::pair<UINT, bool>> items;
    std::thread reader([&] {
        const HWND menu = gui::WaitForWindow(GetCurrentProcessId(), "#32768", nullptr, 5000);
        if (menu) {
            const HMENU handle = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
            for (int i = 0; i < GetMenuItemCount(handle); ++i)
                if (const UINT id = GetMenuItemID(handle, i); id != 0 && id != static_cast<UINT>(-1))
                    items.push_back({id, !(GetMenuState(handle, i, MF_BYPOSITION) & MF_GRAYED)});
        }
        // Escape, as the keyboard would, until the menu has gone.
        for (int tries = 0; menu && IsWindowVisible(menu) && tries < 50; ++tries) {
            PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
            Sleep(100);
        }
    });
    FocusOn(List().Hwnd());
    log.ids.clear();
    Press(VK_F10, {VK_SHIFT});
    reader.join();
    EXPECT_EQ(log.ids, std::vector<int>{ID_CONTEXT_MENU});
    const std::vector<std::pair<UINT, bool>> expected{
        {IDC_UNINSTALL, true}, {IDC_REMOVE, true},    {ID_PROPERTIES, true},      {ID_OPEN_FOLDER, false},
        {ID_COPY_NAME, true},  {ID_SELECT_ALL, true}, {ID_SELECT_RED, true},      {ID_RESTORE_REMOVED, true},
        {ID_EXPORT, true}};
    EXPECT_EQ(items, expected);
    EXPECT_TRUE(IsWindowVisible(dialog.Hwnd()));
}

// The search box and the quick filter choose the rows shown; Ctrl+A, the
// red-row selection and Export act on those only, Escape in the box clears
// it, and this program's own entry is left out of Ctrl+A.
TEST_F(MainWindowKeysTest, SearchChoosesTheShownRowsAndCommandsActOnThemOnly) {
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, fw::Widen(kUninstall) + L"\\A", L"Publisher", L"\x0141\x00F3" L"d\x017A Soft");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\C", "Publisher", "Acme");
    Entry("Zaltrow", "Zaltrow", "MsiExec.exe /X{9}");
    Open();
    HWND box = dialog.Item(IDC_SEARCH_BOX);
    EXPECT_TRUE(IsWindowUnicode(box)) << "or a search in another script is cut to the code page";
    const auto shown = [&] {
        std::vector<std::string> names;
        for (int row = 0; row < List().GetItemCount(); ++row) names.push_back(fw::Narrow(List().GetItemText(row, 0)));
        return names;
    };
    const struct {
        const wchar_t* text;
        std::vector<std::string> names;
        const wchar_t* count;
    } cases[] = {
        {L"", {"Alpha", "Bravo", "Charlie", "Delta", "Zaltrow"}, L""},
        {L"\x0141\x00F3" L"D\x017A", {"Alpha"}, L"1 of 5 shown"},  // the publisher, D as d
        {L"\x0142\x00F3" L"d\x017A", {}, L"0 of 5 shown"},         // only A-Z fold: not \x0141 as \x0142
        {L"aCmE", {"Charlie"}, L"1 of 5 shown"},
        {L"\\AT\\ALL\\", {"Bravo", "Delta"}, L"2 of 5 shown"},     // the command
        {L"/x{", {"Alpha", "Charlie", "Zaltrow"}, L"3 of 5 shown"},
    };
    for (const auto& c : cases) {
        SetWindowTextW(box, c.text);
        Pump(30);
        EXPECT_EQ(shown(), c.names) << fw::Narrow(c.text);
        EXPECT_EQ(fw::Narrow(gui::WideItemText(dialog.Hwnd(), IDC_SHOWN_COUNT)), fw::Narrow(c.count)) << fw::Narrow(c.text);
    }

    // "/x{" is on: Ctrl+A selects what is shown, but not this program's own entry.
    FocusOn(List().Hwnd());
    Press('A', {VK_CONTROL});
    EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"Alpha", "Charlie"}));

    // Red only, with a text: the red rows selected are the shown ones, and the count says of how many.
    SetWindowTextW(box, L"delta");
    Pump(30);
    FocusOn(List().Hwnd());
    Press('A', {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(SelectedNames(), std::vector<std::string>{"Delta"});
    EXPECT_EQ(fw::Narrow(gui::WideItemText(dialog.Hwnd(), IDC_SHOWN_COUNT)), "1 of 5 shown; 1 of 2 red rows selected");
    HWND quick = dialog.Item(IDC_QUICK_FILTER);
    SetWindowTextW(box, L"");
    SendMessageW(quick, CB_SETCURSEL, SendMessageW(quick, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                   reinterpret_cast<LPARAM>(L"Red only")), 0);
    SendMessageW(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_QUICK_FILTER, CBN_SELCHANGE), reinterpret_cast<LPARAM>(quick));
    Pump(30);
    EXPECT_EQ(shown(), (std::vector<std::string>{"Bravo", "Delta"}));

    // Export writes the rows shown, in their order, as the console program's writers do.
    TempFolder files;
    const auto exported = [&](const std::string& name, ExportFormat format) {
        const std::string path = files.Join(name);
        EXPECT_EQ(MainDialogTestAccess::Export(dialog).Write(fw::Widen(path), format), static_cast<DWORD>(ERROR_SUCCESS));
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string csv = exported("rows.csv", ExportFormat::Csv);
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBFlist,user,key,name,", 0), 0u) << csv;
    EXPECT_LT(csv.find(",Bravo,"), csv.find(",Delta,"));
    EXPECT_EQ(csv.find("Alpha"), std::string::npos);
    const std::string json = exported("rows.json", ExportFormat::Json);
    EXPECT_NE(json.find("\"name\": \"Delta\""), std::string::npos);
    EXPECT_EQ(json.find("Charlie"), std::string::npos);
    const std::string html = exported("rows.html", ExportFormat::Html);
    EXPECT_NE(html.find("Bravo"), std::string::npos);
    EXPECT_EQ(html.find("<script src"), std::string::npos) << "nothing fetched from elsewhere";
    EXPECT_NE(MainDialogTestAccess::Export(dialog).Write(fw::Widen(files.Join("no such folder\\rows.csv")), ExportFormat::Csv),
              static_cast<DWORD>(ERROR_SUCCESS));

    // Escape in the box clears its text; the quick filter stays.
    SendMessageW(quick, CB_SETCURSEL, 0, 0);
    SendMessageW(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_QUICK_FILTER, CBN_SELCHANGE), reinterpret_cast<LPARAM>(quick));
    SetWindowTextW(box, L"zzz");
    Pump(30);
    EXPECT_TRUE(shown().empty());
    FocusOn(box);
    Press(VK_ESCAPE);
    EXPECT_EQ(gui::WideItemText(dialog.Hwnd(), IDC_SEARCH_BOX), L"");
    EXPECT_EQ(shown().size(), 5u);
}

}  // namespace
