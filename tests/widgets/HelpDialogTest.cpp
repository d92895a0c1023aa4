// The help dialog in real windows under Wine: its template, the embedded
// page, the navigation handler, the plain view that stands in for the
// browser (Wine has no HTML engine here) and the layout on resizing.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "HelpAddresses.h"
#include "HelpResource.h"
#include "ThisProgram.h"
#include "framework/WindowQueries.h"
#include "widgets/HelpDialog.h"

namespace {

std::string TestFolder() {
    const std::string path = ThisProgram();
    return path.substr(0, path.rfind('\\'));
}

// What the dialog asked the shell to start.
struct Launch {
    HWND owner;
    bool hasVerb;
    std::string file;
    bool hasParameters;
    std::string directory;
    int show;
};

struct LaunchRecorder {
    HelpDialog::ShellLauncher Launcher() {
        return [this](HWND owner, const char* verb, const char* file, const char* parameters, const char* directory,
                      int show) -> INT_PTR {
            launches.push_back(Launch{owner, verb != nullptr, file ? file : "", parameters != nullptr,
                                      directory ? directory : "", show});
            return 2;  // as if no viewer came: the dialog must not care
        };
    }
    std::vector<Launch> launches;
};

// A modeless help dialog on screen, with its starts recorded.
class OpenHelpDialog {
public:
    OpenHelpDialog() {
        dialog.SetShellLauncher(launches.Launcher());
        dialog.SetUrlOpener([this](const std::string& url, int show) {
            opened.push_back(url);
            shows.push_back(show);
            return INT_PTR{33};
        });
        created = dialog.Create();
        if (created) ShowWindow(dialog.Hwnd(), SW_SHOW);
    }
    HWND Item(int id) const { return GetDlgItem(dialog.Hwnd(), id); }
    // The control's rectangle in the dialog's client coordinates.
    RECT Rect(int id) const { return fw::ChildRect(Item(id)); }

    fw::Modeless<HelpDialog> dialog;
    LaunchRecorder launches;
    std::vector<std::string> opened;
    std::vector<int> shows;
    bool created = false;
};

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
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

void Click(HWND window, POINT point) {
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

}  // namespace

TEST(HelpDialog, TemplateCarriesItsControlsTextsAndLinkTargets) {
    OpenHelpDialog open;
    ASSERT_TRUE(open.created);
    HWND hwnd = open.dialog.Hwnd();
    EXPECT_EQ(gui::Text(hwnd), "Zaltrow");
    const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(gui::Buttons(hwnd), (std::vector<std::pair<int, std::string>>{{IDOK, "OK"}}));
    EXPECT_TRUE(GetWindowLongPtrA(open.Item(IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_NE(SendMessageA(open.Item(IDC_HELP_ICON), STM_GETICON, 0, 0), 0);
    EXPECT_EQ(gui::ItemText(hwnd, IDC_HELP_VERSION), "Zaltrow Version 1.2\n(C) 2026 Quorvane");

    // The address lines show the maker's addresses; the site line opens the
    // product page, the mail line starts a message to the address it shows.
    EXPECT_EQ(gui::ItemText(hwnd, IDC_HELP_MAIL_LINK), "support@quorvane.com");
    EXPECT_EQ(open.dialog.MailLink().LinkUrl(), "mailto:support@quorvane.com");
    EXPECT_EQ(gui::ItemText(hwnd, IDC_HELP_SITE_LINK), "http://www.quorvane.com");
    EXPECT_EQ(open.dialog.SiteLink().LinkUrl(), "http://www.quorvane.com/zaltrow.html");
    EXPECT_EQ(std::string(ZALTROW_SUPPORT_MAIL), "support@quorvane.com");

    // Template layout in dialog units.
    const std::map<int, RECT> units = {
        {IDOK, {406, 294, 456, 308}}, {IDC_HELP_ICON, {5, 3, 25, 23}}, {IDC_HELP_VERSION, {28, 7, 115, 23}}};
    for (const auto& [id, rect] : units) {
        RECT expected = rect;
        MapDialogRect(hwnd, &expected);
        const RECT actual = open.Rect(id);
        EXPECT_EQ(actual.left, expected.left) << id;
        EXPECT_EQ(actual.top, expected.top) << id;
    }
    // The links start where the template puts them (they shrink to their text).
    RECT mail{5, 291, 124, 300}, site{5, 299, 108, 308};
    MapDialogRect(hwnd, &mail);
    MapDialogRect(hwnd, &site);
    EXPECT_EQ(open.Rect(IDC_HELP_MAIL_LINK).left, mail.left);
    EXPECT_EQ(open.Rect(IDC_HELP_MAIL_LINK).top, mail.top);
    EXPECT_EQ(open.Rect(IDC_HELP_SITE_LINK).top, site.top);
}

TEST(HelpDialog, EmbeddedPageIsTheHtmlResourceAddressedThroughTheProgramsOwnFile) {
    EXPECT_EQ(HelpDialog::PageAddress(), "res://" + ThisProgram() + "/23/186");
    EXPECT_EQ(HelpDialog::ProgramFolder(), TestFolder());

    const std::string page = HelpDialog::PageSource();
    ASSERT_FALSE(page.empty());
    EXPECT_NE(page.find("charset=windows-1252"), std::string::npos);
    EXPECT_NE(page.find("<title>New Page 1</title>"), std::string::npos);
    EXPECT_NE(page.find("<a href=\"OPEN_LOCAL_HELP_FILE12345\">Open Built-In Help</a>"), std::string::npos);
    EXPECT_NE(page.find("<a href=\"http://www.quorvane.com/help/zaltrow_help.html\">Open"), std::string::npos);
    EXPECT_NE(page.find("color=\"#0000FF\""), std::string::npos);
    EXPECT_EQ(page.find('@'), std::string::npos);  // every placeholder filled in
    for (unsigned char c : page) EXPECT_LT(c, 0x80) << "plain ASCII";
}

TEST(HelpDialog, MarkerAnywhereInAnyCaseOpensTheHelpFileFromTheProgramsFolder) {
    HelpDialog dialog;
    LaunchRecorder recorder;
    dialog.SetShellLauncher(recorder.Launcher());

    for (const wchar_t* url : {L"res://C:\\Zaltrow 1.2.exe/23/OPEN_LOCAL_HELP_FILE12345",
                               L"about:blankopen_local_help_file12345", L"http://h/x/Open_Local_Help_File12345/y"}) {
        EXPECT_TRUE(dialog.InterceptNavigation(url)) << url;
    }
    ASSERT_EQ(recorder.launches.size(), 3u);
    for (const Launch& launch : recorder.launches) {
        EXPECT_EQ(launch.owner, nullptr);
        EXPECT_FALSE(launch.hasVerb);  // the file's default action
        EXPECT_EQ(launch.file, "Zaltrow Help.hlp");
        EXPECT_FALSE(launch.hasParameters);
        EXPECT_EQ(launch.directory, TestFolder());
        EXPECT_EQ(launch.show, SW_SHOW);
    }

    // Everything else navigates as usual.
    for (const wchar_t* url : {L"http://www.quorvane.com/help/zaltrow_help.html", L"res://C:\\Zaltrow 1.2.exe/23/186",
                               L"OPEN_LOCAL_HELP_FILE1234"}) {
        EXPECT_FALSE(dialog.InterceptNavigation(url)) << url;
    }
    EXPECT_EQ(recorder.launches.size(), 3u);
}

TEST(HelpDialog, UnderWineThePlainViewShowsThePageWithWorkingLinks) {
    OpenHelpDialog open;
    ASSERT_TRUE(open.created);
    // No HTML engine: the browser reports the page as failed.
    ASSERT_TRUE(gui::PumpUntil([&] { return open.dialog.ShowsPlainView(); }, 10000));
    HWND view = open.Item(IDC_HELP_BROWSER);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(ClassOf(view), "SysLink");
    EXPECT_TRUE(IsWindowVisible(view));
    EXPECT_FALSE(open.dialog.Browser().IsCreated());
    EXPECT_EQ(gui::Text(view),
              "Zaltrow Help\r\n\r\n"
              "<a href=\"http://www.quorvane.com/help/zaltrow_help.html\">Open Online Help</a>\r\n\r\n"
              "<a href=\"OPEN_LOCAL_HELP_FILE12345\">Open Built-In Help</a>\r\n\r\n"
              "You must be connected to the Internet to view the online help files.");
    // It sits where the browser was.
    RECT expected{5, 24, 456, 289};
    MapDialogRect(open.dialog.Hwnd(), &expected);
    const RECT actual = open.Rect(IDC_HELP_BROWSER);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);

    // "Open Built-In Help": the local help file, nothing opened outside.
    POINT builtIn{};
    ASSERT_TRUE(FindLinkPoint(view, 1, builtIn));
    Click(view, builtIn);
    ASSERT_EQ(open.launches.launches.size(), 1u);
    EXPECT_EQ(open.launches.launches[0].file, "Zaltrow Help.hlp");
    EXPECT_EQ(open.launches.launches[0].directory, TestFolder());
    EXPECT_FALSE(open.launches.launches[0].hasVerb);
    EXPECT_TRUE(open.opened.empty());

    // The online help opens outside the dialog.
    POINT online{};
    ASSERT_TRUE(FindLinkPoint(view, 0, online));
    Click(view, online);
    EXPECT_EQ(open.opened, std::vector<std::string>{"http://www.quorvane.com/help/zaltrow_help.html"});
    EXPECT_EQ(open.shows, std::vector<int>{SW_SHOW});
    EXPECT_EQ(open.launches.launches.size(), 1u);
}

TEST(HelpDialog, ResizingMovesTheRegisteredControlsOnly) {
    OpenHelpDialog open;
    ASSERT_TRUE(open.created);
    ASSERT_TRUE(gui::PumpUntil([&] { return open.dialog.ShowsPlainView(); }, 10000));
    HWND hwnd = open.dialog.Hwnd();

    const int ids[] = {IDOK, IDC_HELP_BROWSER, IDC_HELP_ICON, IDC_HELP_VERSION, IDC_HELP_MAIL_LINK,
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
    moved(IDOK, dx, dy, dx, dy);                  // bottom-right corner
    moved(IDC_HELP_BROWSER, 0, 0, dx, dy);        // stretches
    moved(IDC_HELP_MAIL_LINK, 0, dy, 0, dy);      // down with the bottom edge
    moved(IDC_HELP_SITE_LINK, 0, dy, 0, dy);
    moved(IDC_HELP_ICON, 0, 0, 0, 0);             // stays
    moved(IDC_HELP_VERSION, 0, 0, 0, 0);

    // Not smaller than it opened.
    MINMAXINFO info{};
    SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, window.right - window.left);
    EXPECT_EQ(info.ptMinTrackSize.y, window.bottom - window.top);
    EXPECT_EQ(open.dialog.MinTrackSize().cx, window.right - window.left);
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
