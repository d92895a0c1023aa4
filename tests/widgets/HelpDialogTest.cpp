// The help dialog in real windows under Wine: its template and heading at
// the window's scale, the embedded page and the help in it, where links
// lead, the plain view that stands in for the browser (Wine has no HTML
// engine here), a missing page, and the layout on resizing.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "HelpAddresses.h"
#include "HelpResource.h"
#include "ThisProgram.h"
#include "cli/Usage.h"
#include "framework/Dpi.h"
#include "framework/TextConversion.h"
#include "framework/WindowQueries.h"
#include "widgets/HelpDialog.h"
#include "widgets/HelpPageText.h"

namespace {

// The built-in help as the plain view shows it, from the program's page.
std::wstring HelpPlainText() {
    std::wstring page;
    if (!fw::FromUtf8(HelpDialog::PageSource(), page)) return {};
    return std::wstring(fw::AsWide(help_text::PlainTextOf(help_text::SplitPage(fw::AsUtf16(page)).help)));
}

// A modeless help dialog on screen, with what it opens outside recorded.
class OpenHelpDialog {
public:
    explicit OpenHelpDialog(INT_PTR openResult = 33, HelpDialog::PageLoader loader = nullptr) {
        dialog.SetUrlOpener([this, openResult](const std::string& url, int show) {
            opened.push_back(url);
            shows.push_back(show);
            return openResult;
        });
        if (loader) dialog.SetPageLoader(std::move(loader));
        created = dialog.Create();
        if (created) ShowWindow(dialog.Hwnd(), SW_SHOW);
    }
    HWND Item(int id) const { return GetDlgItem(dialog.Hwnd(), id); }
    // The control's rectangle in the dialog's client coordinates.
    RECT Rect(int id) const { return fw::ChildRect(Item(id)); }
    bool WaitForPlainView() { return gui::PumpUntil([&] { return dialog.ShowsPlainView(); }, 10000); }

    fw::Modeless<HelpDialog> dialog;
    std::vector<std::string> opened;
    std::vector<int> shows;
    bool created = false;
};

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::wstring WideText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A point inside link `index` of a link control, found by asking it.
bool FindLinkPoint(HWND view, int index, POINT& point) {
    RECT client{};
    GetClientRect(view, &client);
    for (int y = 0; y < client.bottom; y += 2) {
        for (int x = 0; x < client.right; x += 2) {
            LHITTESTINFO hit{};
            hit.pt = POINT{x, y};
            if (SendMessageA(view, LM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) && hit.item.iLink == index) {
                point = hit.pt;
                return true;
            }
        }
    }
    return false;
}

void ClickLink(HWND view, int index) {
    POINT point{};
    ASSERT_TRUE(FindLinkPoint(view, index, point)) << index;
    SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

}  // namespace

TEST(HelpDialog, TemplateLinksAndTheHeadingAtTheWindowsScale) {
    OpenHelpDialog open;
    ASSERT_TRUE(open.created);
    HWND hwnd = open.dialog.Hwnd();
    EXPECT_EQ(gui::Text(hwnd), "Zaltrow");
    const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_EQ(gui::Buttons(hwnd), (std::vector<std::pair<int, std::string>>{{IDOK, "OK"}}));
    EXPECT_TRUE(GetWindowLongPtrA(open.Item(IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_EQ(gui::ItemText(hwnd, IDC_HELP_VERSION), "Zaltrow Version 1.2\n(C) 2026 Quorvane");

    // The address lines show the maker's addresses; the site line opens the
    // product page, the mail line starts a message to the address it shows.
    EXPECT_EQ(gui::ItemText(hwnd, IDC_HELP_MAIL_LINK), "support@quorvane.com");
    EXPECT_EQ(open.dialog.MailLink().LinkUrl(), "mailto:support@quorvane.com");
    EXPECT_EQ(gui::ItemText(hwnd, IDC_HELP_SITE_LINK), "http://www.quorvane.com");
    EXPECT_EQ(open.dialog.SiteLink().LinkUrl(), "http://www.quorvane.com/zaltrow.html");

    // The icon at the window's scale, whole; the version lines beside it,
    // the page below both.
    const int size = fw::Scaled(HelpDialog::kIconSize, fw::WindowDpi(hwnd));
    EXPECT_NE(SendMessageA(open.Item(IDC_HELP_ICON), STM_GETICON, 0, 0), 0);
    const RECT icon = open.Rect(IDC_HELP_ICON), version = open.Rect(IDC_HELP_VERSION);
    EXPECT_EQ(icon.right - icon.left, size);
    EXPECT_EQ(icon.bottom - icon.top, size);
    EXPECT_GT(version.left, icon.right);
    const RECT page = open.dialog.ShowsPlainView() ? open.Rect(IDC_HELP_LINKS) : open.Rect(IDC_HELP_BROWSER);
    EXPECT_GT(page.top, std::max(icon.bottom, version.bottom));
}

TEST(HelpDialog, EmbeddedPageHoldsTheLinksAndTheWholeHelpWithTheProgramsIdentity) {
    EXPECT_EQ(HelpDialog::PageAddress(), "res://" + ThisProgram() + "/23/186");
    const std::string source = HelpDialog::PageSource();
    std::wstring page;
    ASSERT_TRUE(fw::FromUtf8(source, page));
    EXPECT_NE(source.find("charset=utf-8"), std::string::npos);
    EXPECT_EQ(source.find('@'), std::string::npos);  // every placeholder filled in
    const help_text::PageParts parts = help_text::SplitPage(fw::AsUtf16(page));
    EXPECT_EQ(fw::AsWide(help_text::LinkMarkupOf(parts.links)),
              L"Zaltrow Help\r\n\r\n"
              L"<a href=\"" ZALTROW_ONLINE_HELP L"\">Open Online Help</a>\r\n"
              L"You must be connected to the Internet to view the online help files.\r\n\r\n"
              L"<a href=\"#built-in-help\">Open Built-In Help</a>\r\n"
              L"The help below comes with Zaltrow 1.2 and needs no Internet.");
    EXPECT_EQ(std::string(ZALTROW_ONLINE_HELP), "http://www.quorvane.com/help/zaltrow_help.html");

    const std::wstring help = L"\r\n\r\n" + HelpPlainText();
    for (const wchar_t* section : {L"WHAT THE LIST SHOWS", L"RED ROWS: PHANTOM ENTRIES", L"UNINSTALL", L"REMOVE",
                                   L"BACKUPS AND RESTORING", L"KEYBOARD AND MOUSE", L"THE COMMAND LINE", L"UPGRADING"})
        EXPECT_NE(help.find(L"\r\n\r\n" + std::wstring(section) + L"\r\n\r\n"), std::wstring::npos) << section;
    EXPECT_NE(help.find(L"%LOCALAPPDATA%\\Zaltrow\\Removed"), std::wstring::npos);
}

// The help cannot fall behind the console program: every command line and
// option its usage prints, and every exit code it has.
TEST(HelpDialog, HelpNamesEveryCommandOptionAndExitCodeOfTheConsoleProgram) {
    const std::wstring help = HelpPlainText();
    const std::wstring usage = UsageText();
    std::wistringstream lines(usage);
    std::wstring line;
    int commands = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.rfind(L"  zaltrow ", 0) != 0) continue;
        ++commands;
        EXPECT_NE(help.find(L"\r\n" + line.substr(2) + L"\r\n"), std::wstring::npos) << fw::Narrow(line);
    }
    EXPECT_EQ(commands, 8);
    const std::wregex option(L"--[a-z][a-z-]*");
    std::set<std::wstring> options;
    for (auto it = std::wsregex_iterator(usage.begin(), usage.end(), option); it != std::wsregex_iterator(); ++it)
        options.insert(it->str());
    EXPECT_GE(options.size(), 9u);
    for (const std::wstring& name : options) EXPECT_NE(help.find(name), std::wstring::npos) << fw::Narrow(name);

    // The codes as the program declares them, from its own source.
    std::ifstream header(ZALTROW_EXIT_CODE_HEADER);
    ASSERT_TRUE(header) << ZALTROW_EXIT_CODE_HEADER;
    const std::string source((std::istreambuf_iterator<char>(header)), std::istreambuf_iterator<char>());
    const std::regex code(R"(kExit\w+\s*=\s*(\d+))");
    int codes = 0;
    for (auto it = std::sregex_iterator(source.begin(), source.end(), code); it != std::sregex_iterator(); ++it) {
        ++codes;
        const std::wstring number = fw::Widen((*it)[1].str());
        EXPECT_NE(help.find(L"\r\n" + number + L"\r\n    "), std::wstring::npos) << "exit code " << (*it)[1];
    }
    EXPECT_EQ(codes, 7);
}

TEST(HelpDialog, WebAndMailAddressesOpenOutsideAndAFailureIsSaid) {
    OpenHelpDialog open;
    ASSERT_TRUE(open.created);
    for (const wchar_t* url : {L"http://www.quorvane.com/help/zaltrow_help.html", L"mailto:support@quorvane.com"})
        EXPECT_TRUE(open.dialog.InterceptNavigation(url)) << url;
    EXPECT_EQ(open.opened, (std::vector<std::string>{"http://www.quorvane.com/help/zaltrow_help.html",
                                                     "mailto:support@quorvane.com"}));
    EXPECT_EQ(open.shows, (std::vector<int>{SW_SHOW, SW_SHOW}));
    // The page itself and its anchors navigate in the browser.
    for (const std::string& url : {HelpDialog::PageAddress(), HelpDialog::PageAddress() + "#built-in-help"})
        EXPECT_FALSE(open.dialog.InterceptNavigation(fw::Widen(url))) << url;
    EXPECT_EQ(open.opened.size(), 2u);

    OpenHelpDialog failing(2);  // as if the shell found nothing to open it with
    ASSERT_TRUE(failing.created);
    gui::BoxAnswerer box(&gui::IsMessageBox, IDOK);  // the dialog has the same caption
    EXPECT_TRUE(failing.dialog.InterceptNavigation(L"https://www.quorvane.com/"));
    const gui::SeenBox& seen = box.Seen();
    ASSERT_NE(seen.window, nullptr);
    EXPECT_EQ(seen.text, "Can't open link:\n\nThe specified file was not found.");
}

TEST(HelpDialog, UnderWineThePlainViewShowsTheLinksAndTheWholeHelp) {
    OpenHelpDialog open;
    ASSERT_TRUE(open.created);
    // No HTML engine: the browser reports the page as failed.
    ASSERT_TRUE(open.WaitForPlainView());
    EXPECT_FALSE(open.dialog.Browser().IsCreated());
    EXPECT_EQ(open.Item(IDC_HELP_BROWSER), nullptr);
    HWND links = open.Item(IDC_HELP_LINKS);
    HWND text = open.Item(IDC_HELP_TEXT);
    ASSERT_TRUE(links && text);
    EXPECT_EQ(ClassOf(links), "SysLink");
    std::wstring page;
    ASSERT_TRUE(fw::FromUtf8(HelpDialog::PageSource(), page));
    EXPECT_EQ(WideText(links), fw::AsWide(help_text::LinkMarkupOf(help_text::SplitPage(fw::AsUtf16(page)).links)));

    // The help, whole, in a read-only box that scrolls and can be copied.
    EXPECT_EQ(ClassOf(text), "Edit");
    const LONG_PTR style = WS_VSCROLL | ES_READONLY | ES_MULTILINE | WS_TABSTOP | WS_VISIBLE;
    EXPECT_EQ(GetWindowLongPtrW(text, GWL_STYLE) & style, style);
    const std::wstring help = HelpPlainText();
    ASSERT_GT(help.size(), 5000u);
    EXPECT_EQ(WideText(text), help);
    EXPECT_GT(SendMessageW(text, EM_GETLINECOUNT, 0, 0), 100);
    EXPECT_EQ(GetFocus(), text);
    // In the system's message font at the window's scale.
    LOGFONTW shown{}, message{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)), sizeof shown, &shown);
    const fw::Font expected = fw::MessageFont(fw::WindowDpi(open.dialog.Hwnd()));
    GetObjectW(expected.get(), sizeof message, &message);
    EXPECT_EQ(shown.lfHeight, message.lfHeight);
    EXPECT_EQ(std::wstring(shown.lfFaceName), message.lfFaceName);

    // Links above the text, the text down to where the browser ended.
    const RECT linkRect = open.Rect(IDC_HELP_LINKS), textRect = open.Rect(IDC_HELP_TEXT);
    RECT bottom{0, 0, 0, 289};
    MapDialogRect(open.dialog.Hwnd(), &bottom);
    EXPECT_GT(linkRect.bottom, linkRect.top);
    EXPECT_GE(textRect.top, linkRect.bottom);
    EXPECT_EQ(textRect.bottom, bottom.bottom);
    EXPECT_EQ(textRect.left, linkRect.left);
    EXPECT_EQ(textRect.right, linkRect.right);

    // "Open Built-In Help" brings the text's beginning into view and the
    // keyboard to it; it opens nothing.
    SetFocus(links);
    SendMessageW(text, EM_SETSEL, static_cast<WPARAM>(help.size()), static_cast<LPARAM>(help.size()));
    SendMessageW(text, EM_SCROLLCARET, 0, 0);
    ASSERT_GT(SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0), 50);
    ClickLink(links, 1);
    EXPECT_EQ(SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_EQ(GetFocus(), text);
    EXPECT_TRUE(open.opened.empty());

    // The online help opens outside the dialog.
    ClickLink(links, 0);
    EXPECT_EQ(open.opened, std::vector<std::string>{ZALTROW_ONLINE_HELP});
    EXPECT_EQ(open.shows, std::vector<int>{SW_SHOW});
}

TEST(HelpDialog, AMissingPageIsSaidAndTheOnlineHelpOffered) {
    for (const char* page : {"", "<p>no help here</p>", "\xff\xfe not UTF-8"}) {
        OpenHelpDialog open(33, [page] { return std::string(page); });
        ASSERT_TRUE(open.created);
        ASSERT_TRUE(open.dialog.ShowsPlainView()) << page;  // at once: nothing to navigate to
        EXPECT_EQ(gui::ItemText(open.dialog.Hwnd(), IDC_HELP_TEXT),
                  "The built-in help is missing: its page could not be read from this copy of Zaltrow's program "
                  "file. Open the online help above, or install Zaltrow again.");
        ClickLink(open.Item(IDC_HELP_LINKS), 0);
        EXPECT_EQ(open.opened, std::vector<std::string>{ZALTROW_ONLINE_HELP});
    }
}

TEST(HelpDialog, ResizingMovesTheRegisteredControlsOnly) {
    OpenHelpDialog open;
    ASSERT_TRUE(open.created);
    ASSERT_TRUE(open.WaitForPlainView());
    HWND hwnd = open.dialog.Hwnd();

    const int ids[] = {IDOK, IDC_HELP_LINKS, IDC_HELP_TEXT, IDC_HELP_ICON, IDC_HELP_VERSION, IDC_HELP_MAIL_LINK,
                       IDC_HELP_SITE_LINK};
    std::map<int, RECT> before;
    for (int id : ids) before[id] = open.Rect(id);
    RECT client{};
    GetClientRect(hwnd, &client);

    RECT window{};
    GetWindowRect(hwnd, &window);
    SetWindowPos(hwnd, nullptr, 0, 0, window.right - window.left + 120, window.bottom - window.top + 80,
                 SWP_NOMOVE | SWP_NOZORDER);
    gui::PumpFor(50);
    RECT grown{};
    GetClientRect(hwnd, &grown);
    const int dx = grown.right - client.right;
    const int dy = grown.bottom - client.bottom;
    ASSERT_EQ(dx, 120);
    ASSERT_EQ(dy, 80);

    auto moved = [&](int id, int left, int top, int right, int bottom) {
        const RECT now = open.Rect(id);
        const RECT was = before[id];
        EXPECT_EQ(now.left, was.left + left) << id;
        EXPECT_EQ(now.top, was.top + top) << id;
        EXPECT_EQ(now.right, was.right + right) << id;
        EXPECT_EQ(now.bottom, was.bottom + bottom) << id;
    };
    moved(IDOK, dx, dy, dx, dy);              // bottom-right corner
    moved(IDC_HELP_LINKS, 0, 0, dx, 0);       // wider
    moved(IDC_HELP_TEXT, 0, 0, dx, dy);       // stretches
    moved(IDC_HELP_MAIL_LINK, 0, dy, 0, dy);  // down with the bottom edge
    moved(IDC_HELP_SITE_LINK, 0, dy, 0, dy);
    moved(IDC_HELP_ICON, 0, 0, 0, 0);         // stays
    moved(IDC_HELP_VERSION, 0, 0, 0, 0);

    // Not smaller than it opened.
    MINMAXINFO info{};
    SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, window.right - window.left);
    EXPECT_EQ(info.ptMinTrackSize.y, window.bottom - window.top);
}

TEST(HelpDialog, RunsModallyAndOkOrEscapeCloseIt) {
    {
        HelpDialog dialog;
        gui::BoxAnswerer answer("Zaltrow", IDOK);
        EXPECT_EQ(dialog.DoModal(), IDOK);
        const gui::SeenBox& seen = answer.Seen();
        ASSERT_NE(seen.window, nullptr);
        EXPECT_EQ(seen.buttons, (std::vector<std::pair<int, std::string>>{{IDOK, "OK"}}));
    }
    {
        HelpDialog dialog;
        gui::BoxAnswerer answer("Zaltrow", IDCANCEL);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
}
