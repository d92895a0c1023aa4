// The hyperlink static: attaching, colors by state, mouse and keyboard,
// opening through the shell or the ".htm" browser command, and the
// failure messages. Real dialogs and real started programs under Wine.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "HyperLinkClassesRoot.h"
#include "HyperLinkTestDialog.h"
#include "TempFolder.h"
#include "ThisProgram.h"
#include "framework/Dialog.h"
#include "widgets/CHyperLink.h"
#include "widgets/ShellCommandText.h"
#include "widgets/UrlLauncher.h"

namespace {

class LinkTestDialog : public fw::Dialog {
public:
    LinkTestDialog() : fw::Dialog(IDD_HYPERLINK_TEST, nullptr) {}
    CHyperLink textLink;
    CHyperLink emptyLink;

protected:
    void DoDataExchange() override {
        Bind(textLink, IDC_TEST_TEXT_LINK);
        Bind(emptyLink, IDC_TEST_EMPTY_LINK);
    }
};

// What the dialog tells a static about its colors, as the static would
// ask while painting.
struct Colors {
    COLORREF text;
    int backgroundMode;
    HBRUSH brush;
};

Colors AskColors(HWND dialog, HWND link) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link)));
    Colors colors{GetTextColor(dc), GetBkMode(dc), brush};
    DeleteDC(dc);
    return colors;
}

std::string ToolTipText(const CHyperLink& link) {
    char text[512] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = link.Hwnd();
    tool.uId = CHyperLink::kToolId;
    tool.lpszText = text;
    SendMessageA(link.ToolTip(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

std::string ProbePath() { return BesideThisProgram("hyperlink_probe.exe"); }

// The probe's path in double quotes, as a registered command names it.
std::string QuotedProbePath() {
    std::string quoted(1, '"');
    quoted += ProbePath();
    quoted += '"';
    return quoted;
}

// Where the probe writes the command line it was started with.
class ProbeOutput {
public:
    explicit ProbeOutput(const TempFolder& folder) : path_(folder.Join("probe.txt")) {
        SetEnvironmentVariableA("ZALTROW_PROBE_OUT", path_.c_str());
    }
    ~ProbeOutput() { SetEnvironmentVariableA("ZALTROW_PROBE_OUT", nullptr); }
    // The probe's command line, once it has run (empty if it never did).
    std::string Wait() const {
        gui::PumpUntil([&] { return GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000);
        std::ifstream in(path_, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::string path_;
};

// Records what a link asked to open, answering with `result`.
struct OpenRecorder {
    explicit OpenRecorder(INT_PTR result) : result(result) {}
    CHyperLink::Opener Opener() {
        return [this](const std::string& url, int show) {
            urls.push_back(url);
            shows.push_back(show);
            return result;
        };
    }
    INT_PTR result;
    std::vector<std::string> urls;
    std::vector<int> shows;
};

}  // namespace

TEST(HyperLinkCommand, QuotedPlaceholderIsCutBeforeItsOpeningQuote) {
    EXPECT_EQ(shell_text::BrowserCommand("\"C:\\Program Files\\Web\\web.exe\" -nohome \"%1\"", "http://h/p"),
              "\"C:\\Program Files\\Web\\web.exe\" -nohome  http://h/p");
    // The quoted form wins even after a bare placeholder.
    EXPECT_EQ(shell_text::BrowserCommand("web.exe %1x \"%1\"", "u"), "web.exe %1x  u");
}

TEST(HyperLinkCommand, UnquotedPlaceholderIsCutBeforeThePercentSign) {
    EXPECT_EQ(shell_text::BrowserCommand("C:\\Web\\web.exe -url %1 -new", "http://h/p"),
              "C:\\Web\\web.exe -url  http://h/p");
}

TEST(HyperLinkCommand, WithoutPlaceholderTheUrlFollowsOneSpace) {
    EXPECT_EQ(shell_text::BrowserCommand("\"C:\\Web\\web.exe\" -new", "http://h/p"),
              "\"C:\\Web\\web.exe\" -new http://h/p");
}

TEST(HyperLinkCommand, CommandThatWouldNotFitTheBufferIsNotBuilt) {
    const std::string command = "web.exe \"%1\"";  // cut: "web.exe " (8)
    // 8 + 1 + url + terminating zero must fit 520 bytes.
    EXPECT_TRUE(shell_text::BrowserCommand(command, std::string(510, 'u')).has_value());
    EXPECT_FALSE(shell_text::BrowserCommand(command, std::string(511, 'u')).has_value());
    EXPECT_FALSE(shell_text::BrowserCommand(std::string(600, 'c'), "u").has_value());
}

TEST(HyperLinkCommand, EveryShellCodeHasItsText) {
    const std::pair<int, const char*> table[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {42, "Unknown Error (42) occurred."},
        {1, "Unknown Error (1) occurred."},
        {-5, "Unknown Error (-5) occurred."},
    };
    for (const auto& [code, text] : table) {
        EXPECT_EQ(shell_text::LinkErrorText(code), std::string("Can't open link:\n\n") + text) << code;
    }
}

TEST(HyperLink, TakesItsTargetFromItsTextAndItsTextFromItsTarget) {
    fw::Modeless<LinkTestDialog> dialog;
    dialog.emptyLink.SetLinkUrl("http://www.example.com/from-target");
    ASSERT_TRUE(dialog.Create());
    ShowWindow(dialog.Hwnd(), SW_SHOW);
    CHyperLink& textLink = dialog.textLink;
    CHyperLink& emptyLink = dialog.emptyLink;

    EXPECT_EQ(textLink.LinkUrl(), "http://www.example.com/from-text");
    EXPECT_EQ(gui::Text(textLink.Hwnd()), "http://www.example.com/from-text");
    EXPECT_EQ(emptyLink.LinkUrl(), "http://www.example.com/from-target");
    EXPECT_EQ(gui::Text(emptyLink.Hwnd()), "http://www.example.com/from-target");

    for (CHyperLink* link : {&textLink, &emptyLink}) {
        // Underlined, and exactly as big as its text.
        const auto font = reinterpret_cast<HFONT>(SendMessageA(link->Hwnd(), WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTA description{};
        GetObjectA(font, sizeof description, &description);
        EXPECT_TRUE(description.lfUnderline);
        const std::string text = gui::Text(link->Hwnd());
        HDC dc = GetDC(link->Hwnd());
        HGDIOBJ previous = SelectObject(dc, font);
        SIZE extent{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        SelectObject(dc, previous);
        ReleaseDC(link->Hwnd(), dc);
        RECT client{};
        GetClientRect(link->Hwnd(), &client);
        EXPECT_EQ(client.right, extent.cx);
        EXPECT_EQ(client.bottom, extent.cy);
        EXPECT_EQ(ToolTipText(*link), link->LinkUrl());
    }

    // A new target: the tooltip shows it, the text stays.
    textLink.SetLinkUrl("http://www.example.com/new");
    EXPECT_EQ(ToolTipText(textLink), "http://www.example.com/new");
    EXPECT_EQ(gui::Text(textLink.Hwnd()), "http://www.example.com/from-text");
    EXPECT_TRUE(IsWindowVisible(textLink.Hwnd()));

    // The hand cursor, and mouse hits on the whole text.
    ASSERT_NE(CHyperLink::HandCursor(), nullptr);
    EXPECT_EQ(SendMessageA(textLink.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(textLink.Hwnd()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), CHyperLink::HandCursor());
    EXPECT_EQ(SendMessageA(textLink.Hwnd(), WM_NCHITTEST, 0, 0), HTCLIENT);
}

TEST(HyperLink, ColorFollowsFocusAndVisitsButNotTheMouse) {
    fw::Modeless<LinkTestDialog> dialog;
    OpenRecorder opens(33);
    dialog.textLink.SetOpener(opens.Opener());
    ASSERT_TRUE(dialog.Create());
    ShowWindow(dialog.Hwnd(), SW_SHOW);
    SetFocus(GetDlgItem(dialog.Hwnd(), IDC_TEST_BUTTON));
    CHyperLink& link = dialog.textLink;
    HWND hwnd = link.Hwnd();

    Colors colors = AskColors(dialog.Hwnd(), hwnd);
    EXPECT_EQ(colors.text, RGB(0, 0, 255));
    EXPECT_EQ(colors.backgroundMode, TRANSPARENT);
    EXPECT_EQ(colors.brush, GetStockObject(NULL_BRUSH));

    // Hovering takes the mouse but keeps the color.
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, Point(2, 2));
    EXPECT_TRUE(link.MouseOver());
    EXPECT_EQ(GetCapture(), hwnd);
    EXPECT_EQ(AskColors(dialog.Hwnd(), hwnd).text, RGB(0, 0, 255));
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, Point(2, 2));
    EXPECT_TRUE(link.MouseOver());
    RECT client{};
    GetClientRect(hwnd, &client);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, Point(client.right + 5, 2));
    EXPECT_FALSE(link.MouseOver());
    EXPECT_NE(GetCapture(), hwnd);

    // Pressing takes the focus: teal; releasing opens it.
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(2, 2));
    EXPECT_EQ(GetFocus(), hwnd);
    EXPECT_TRUE(link.Active());
    EXPECT_TRUE(opens.urls.empty());
    EXPECT_EQ(AskColors(dialog.Hwnd(), hwnd).text, RGB(0, 128, 128));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, Point(2, 2));
    ASSERT_EQ(opens.urls, std::vector<std::string>{"http://www.example.com/from-text"});
    EXPECT_EQ(opens.shows, std::vector<int>{SW_SHOW});
    EXPECT_TRUE(link.Visited());
    EXPECT_EQ(AskColors(dialog.Hwnd(), hwnd).text, RGB(0, 128, 128));  // still focused

    // Losing the focus: purple from now on.
    SetFocus(GetDlgItem(dialog.Hwnd(), IDC_TEST_BUTTON));
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(AskColors(dialog.Hwnd(), hwnd).text, RGB(128, 0, 128));

    // A release without a press on the link opens nothing.
    SendMessageA(dialog.emptyLink.Hwnd(), WM_LBUTTONUP, 0, Point(2, 2));
    EXPECT_FALSE(dialog.emptyLink.Visited());
}

TEST(HyperLink, SpaceBarOpensTheFocusedLinkAgainOtherKeysDoNot) {
    fw::Modeless<LinkTestDialog> dialog;
    OpenRecorder opens(42);
    dialog.textLink.SetOpener(opens.Opener());
    ASSERT_TRUE(dialog.Create());
    ShowWindow(dialog.Hwnd(), SW_SHOW);
    HWND hwnd = dialog.textLink.Hwnd();
    SetFocus(hwnd);
    EXPECT_EQ(AskColors(dialog.Hwnd(), hwnd).text, RGB(0, 128, 128));

    SendMessageA(hwnd, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    SendMessageA(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageA(hwnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(opens.urls.size(), 2u);
    EXPECT_TRUE(dialog.textLink.Visited());  // 42 is above 32: opened
}

TEST(HyperLink, FailedOpenIsReportedAndLeavesTheLinkUnvisited) {
    HyperLinkClassesRoot classes;  // no ".htm" browser to fall back on
    TempFolder folder;
    fw::Modeless<LinkTestDialog> dialog;
    dialog.emptyLink.SetLinkUrl(folder.Join("missing.htm"));
    ASSERT_TRUE(dialog.Create());
    ShowWindow(dialog.Hwnd(), SW_SHOW);
    CHyperLink& link = dialog.emptyLink;

    gui::BoxAnswerer box("Zaltrow", IDOK);
    SendMessageA(link.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, Point(2, 2));
    SendMessageA(link.Hwnd(), WM_LBUTTONUP, 0, Point(2, 2));
    const gui::SeenBox& seen = box.Seen();
    ASSERT_NE(seen.window, nullptr);
    EXPECT_EQ(seen.caption, "Zaltrow");
    EXPECT_EQ(seen.text, "Can't open link:\n\nThe specified file was not found.");
    EXPECT_EQ(seen.buttons, (std::vector<std::pair<int, std::string>>{{IDOK, "OK"}}));
    EXPECT_EQ(seen.icon, LoadIconA(nullptr, IDI_EXCLAMATION));
    EXPECT_FALSE(link.Visited());
    SetFocus(GetDlgItem(dialog.Hwnd(), IDC_TEST_BUTTON));
    EXPECT_EQ(AskColors(dialog.Hwnd(), link.Hwnd()).text, RGB(0, 0, 255));

    // A code below 33 that the table does not know.
    OpenRecorder opens(7);
    link.SetOpener(opens.Opener());
    gui::BoxAnswerer unknown("Zaltrow", IDOK);
    SetFocus(link.Hwnd());
    SendMessageA(link.Hwnd(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(unknown.Seen().text, "Can't open link:\n\nUnknown Error (7) occurred.");
    EXPECT_FALSE(link.Visited());
}

TEST(HyperLink, UnlistedShellCodeIsReportedAsUnknownError) {
    gui::BoxAnswerer box("Zaltrow", IDOK);
    UrlLauncher::ReportLinkError(nullptr, 42);
    const gui::SeenBox& seen = box.Seen();
    ASSERT_NE(seen.window, nullptr);
    EXPECT_EQ(seen.text, "Can't open link:\n\nUnknown Error (42) occurred.");
    EXPECT_EQ(seen.buttons, (std::vector<std::pair<int, std::string>>{{IDOK, "OK"}}));
    EXPECT_EQ(seen.icon, LoadIconA(nullptr, IDI_EXCLAMATION));
}

TEST(HyperLink, ShellOpensWhatItCanAndTheLinkCountsAsVisited) {
    TempFolder folder;
    ProbeOutput probe(folder);
    fw::Modeless<LinkTestDialog> dialog;
    dialog.emptyLink.SetLinkUrl(ProbePath());
    ASSERT_TRUE(dialog.Create());
    ShowWindow(dialog.Hwnd(), SW_SHOW);

    SetFocus(dialog.emptyLink.Hwnd());
    SendMessageA(dialog.emptyLink.Hwnd(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(dialog.emptyLink.Visited());
    EXPECT_NE(probe.Wait(), "");  // it really ran
}

TEST(HyperLink, WhenTheShellCannotTheHtmBrowserCommandRunsWithTheUrl) {
    HyperLinkClassesRoot classes;
    TempFolder folder;
    ProbeOutput probe(folder);
    const std::string url = folder.Join("missing.htm");  // the shell answers 2
    HyperLinkClassesRoot::SetDefault(".htm", "ZaltrowTest.Page");
    HyperLinkClassesRoot::SetDefault("ZaltrowTest.Page\\shell\\open\\command",
                                     QuotedProbePath() + " -nohome \"%1\"");

    const INT_PTR result = UrlLauncher::ShellOpenUrl(url, SW_SHOW);
    EXPECT_GT(result, 32);
    EXPECT_EQ(probe.Wait(), QuotedProbePath() + " -nohome  " + url);
}

TEST(HyperLink, BrowserFallbackEndsWithTheShellsCodeWhenItCannotRun) {
    HyperLinkClassesRoot classes;
    TempFolder folder;
    const std::string url = folder.Join("missing.htm");

    // No ".htm" association.
    EXPECT_EQ(UrlLauncher::ShellOpenUrl(url, SW_SHOW), 2);
    // An association without a command.
    HyperLinkClassesRoot::SetDefault(".htm", "ZaltrowTest.Page");
    EXPECT_EQ(UrlLauncher::ShellOpenUrl(url, SW_SHOW), 2);
    // A command that would not fit the command buffer with the URL.
    HyperLinkClassesRoot::SetDefault("ZaltrowTest.Page\\shell\\open\\command",
                                     QuotedProbePath() + " \"%1\"");
    EXPECT_EQ(UrlLauncher::ShellOpenUrl(url + std::string(520, 'x'), SW_SHOW), 2);
}

TEST(HyperLink, ReadRegDefaultReadsAKeysDefaultValue) {
    HyperLinkClassesRoot classes;
    std::string value = "untouched";
    EXPECT_EQ(UrlLauncher::ReadRegDefault(HKEY_CLASSES_ROOT, ".htm", value), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(value, "untouched");

    HyperLinkClassesRoot::SetDefault(".htm", "ZaltrowTest.Page");
    EXPECT_EQ(UrlLauncher::ReadRegDefault(HKEY_CLASSES_ROOT, ".htm", value), ERROR_SUCCESS);
    EXPECT_EQ(value, "ZaltrowTest.Page");

    // At most 259 characters are read; a longer value is a failed lookup.
    HyperLinkClassesRoot::SetDefault("Long", std::string(259, 'v'));
    EXPECT_EQ(UrlLauncher::ReadRegDefault(HKEY_CLASSES_ROOT, "Long", value), ERROR_SUCCESS);
    EXPECT_EQ(value, std::string(259, 'v'));
    HyperLinkClassesRoot::SetDefault("Longer", std::string(260, 'v'));
    EXPECT_NE(UrlLauncher::ReadRegDefault(HKEY_CLASSES_ROOT, "Longer", value), ERROR_SUCCESS);
}
