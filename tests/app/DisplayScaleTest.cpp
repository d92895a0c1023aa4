// The main window at each display scale: started at 100, 125, 150 and 200 %
// (Wine takes the prefix's LogPixels when a process starts, so each scale
// is a process of its own: this program again, in its child role), and
// moved to a monitor of another scale (WM_DPICHANGED, which Wine never
// sends, so it is sent here as Windows would send it).

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "MainDialogTestAccess.h"
#include "RegistryPaths.h"
#include "ScratchRegistry.h"
#include "ThisProgram.h"
#include "framework/ClientDc.h"
#include "framework/Dpi.h"
#include "framework/SelectedObject.h"
#include "framework/TextConversion.h"
#include "framework/WindowQueries.h"
#include "resource.h"

namespace {

constexpr UINT kScales[] = {96, 120, 144, 192};
constexpr const char* kChildScale = "ZALTROW_TEST_CHILD_DPI";
// Paths longer than this are the demo's extraordinary ones (an
// InstallShield command line); the window need not show them whole.
constexpr std::size_t kOrdinaryPath = 100;

// The prefix's DPI for the processes started while this lives; the values
// it found are put back afterwards.
class PrefixDpi {
public:
    explicit PrefixDpi(DWORD dpi) {
        for (Place& place : places_) {
            DWORD size = sizeof place.old;
            place.had = RegGetValueA(place.root, place.path, "LogPixels", RRF_RT_REG_DWORD, nullptr, &place.old,
                                     &size) == ERROR_SUCCESS;
            RegSetKeyValueA(place.root, place.path, "LogPixels", REG_DWORD, &dpi, sizeof dpi);
        }
    }
    ~PrefixDpi() {
        for (const Place& place : places_) {
            if (place.had) {
                RegSetKeyValueA(place.root, place.path, "LogPixels", REG_DWORD, &place.old, sizeof place.old);
            } else {
                RegDeleteKeyValueA(place.root, place.path, "LogPixels");
            }
        }
    }

private:
    struct Place {
        HKEY root;
        const char* path;
        bool had = false;
        DWORD old = 0;
    };
    std::array<Place, 2> places_{{{HKEY_CURRENT_USER, "Control Panel\\Desktop"},
                                  {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"}}};
};

// Runs this program's child role at `dpi`; its exit code (0: it passed).
DWORD RunChildAt(UINT dpi) {
    PrefixDpi prefix(dpi);
    SetEnvironmentVariableA(kChildScale, std::to_string(dpi).c_str());
    std::string command = "\"";
    command.append(ThisProgram()).append("\" --gtest_filter=DisplayScale.ChildRole");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableA(kChildScale, nullptr);
    if (!started) return GetLastError();
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// The demo's entries (key, name, command), as the demo seeds them.
std::vector<std::array<std::wstring, 3>> DemoEntries() {
    std::ifstream file(BesideThisProgram("demo-entries.txt"));
    std::vector<std::array<std::wstring, 3>> entries;
    for (std::string line; std::getline(file, line);) {
        std::wstring text;
        fw::FromUtf8(line, text);
        const std::size_t a = text.find(L'\t'), b = text.find(L'\t', a + 1);
        if (b != std::wstring::npos) entries.push_back({text.substr(0, a), text.substr(a + 1, b - a - 1), text.substr(b + 1)});
    }
    return entries;
}

SIZE TextSize(HWND window, const std::wstring& text, RECT room, UINT format) {
    fw::ClientDc dc(window);
    fw::SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    DrawTextW(dc.Get(), text.c_str(), -1, &room, format | DT_CALCRECT);
    return {room.right - room.left, room.bottom - room.top};
}

std::string Name(HWND window) { return "control " + std::to_string(GetDlgCtrlID(window)) + " (" + fw::WindowText(window) + ")"; }

// What a person would see wrong in the window: a control's text cut, two
// controls over each other, a name or ordinary path cut in the list, a
// horizontal scroll bar. Empty when nothing is.
std::vector<std::string> LayoutProblems(MainDialog& dialog) {
    std::vector<std::string> problems;
    const UINT dpi = dialog.Dpi();
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog.Hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child)) children.push_back(child);
    RECT client{};
    GetClientRect(dialog.Hwnd(), &client);

    for (HWND child : children) {
        const RECT place = fw::ChildRect(child);
        RECT inside{};
        if (!IntersectRect(&inside, &place, &client) || !EqualRect(&inside, &place)) problems.push_back(Name(child) + " leaves the window");
        const std::wstring text = fw::Widen(fw::WindowText(child));
        if (text.empty()) continue;
        RECT room{0, 0, place.right - place.left, place.bottom - place.top};
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        const bool button = lstrcmpiA(className, "Button") == 0;
        if (button && (style & BS_TYPEMASK) == BS_GROUPBOX) {
            room.right -= 2 * TextSize(child, L"x", room, DT_SINGLELINE).cx;  // the caption sits in from the frame
            if (TextSize(child, text, room, DT_SINGLELINE).cx > room.right) problems.push_back(Name(child) + ": caption cut");
        } else if (button && (style & BS_TYPEMASK) == BS_OWNERDRAW) {
            HoverButton& hover = MainDialogTestAccess::Button(dialog, GetDlgCtrlID(child));
            ICONINFO info{};
            BITMAP picture{};
            if (GetIconInfo(hover.HoverIcon(), &info)) {
                GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof picture, &picture);
                DeleteObject(info.hbmColor);
                DeleteObject(info.hbmMask);
            }
            if (picture.bmWidth != fw::Scaled(32, dpi)) problems.push_back(Name(child) + ": icon of " + std::to_string(picture.bmWidth) + " px");
            const RECT caption = HoverButton::ComputeLayout(room, picture.bmWidth, picture.bmWidth, 0, true, false).caption;
            if (TextSize(child, text, caption, DT_SINGLELINE).cx > caption.right - caption.left) problems.push_back(Name(child) + ": caption cut");
        } else if (lstrcmpiA(className, "Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT) {
            const UINT format = DT_WORDBREAK | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
            if (TextSize(child, text, room, format).cy > room.bottom) problems.push_back(Name(child) + ": text cut");
        }
    }

    // Group boxes hold their buttons; anything else side by side.
    for (std::size_t i = 0; i < children.size(); ++i) {
        for (std::size_t j = i + 1; j < children.size(); ++j) {
            const RECT a = fw::ChildRect(children[i]), b = fw::ChildRect(children[j]);
            RECT overlap{};
            if (!IntersectRect(&overlap, &a, &b)) continue;
            const auto isGroup = [](HWND w) { return (GetWindowLongW(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX; };
            if ((isGroup(children[i]) && EqualRect(&overlap, &b)) || (isGroup(children[j]) && EqualRect(&overlap, &a))) continue;
            problems.push_back(Name(children[i]) + " overlaps " + Name(children[j]));
        }
    }

    ProgramListCtrl& list = MainDialogTestAccess::List(dialog);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(dialog.Hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
    RECT outer{};
    GetWindowRect(dialog.Hwnd(), &outer);
    const bool atWidest = (outer.right - outer.left) * 100 >= (monitor.rcWork.right - monitor.rcWork.left) * 85;
    if (GetWindowLongW(list.Hwnd(), GWL_STYLE) & WS_HSCROLL) problems.push_back("the list scrolls sideways");
    for (int row = 0; row < list.GetItemCount(); ++row) {
        for (int column = 0; column < 2; ++column) {
            const std::wstring text = list.GetItemText(row, column);
            // Beside the other columns a path may have to give way once the
            // window is as wide as the screen lets it be.
            if (column == 1 && (text.size() > kOrdinaryPath || atWidest)) continue;
            RECT cell{LVIR_LABEL, column, 0, 0};
            SendMessageW(list.Hwnd(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
            const int width = static_cast<int>(SendMessageW(list.Hwnd(), LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
            // The list draws a cell's text inset from both sides.
            if (width + fw::Scaled(6, dpi) > cell.right - cell.left) problems.push_back("row " + std::to_string(row) + " cut: " + fw::Narrow(text));
        }
    }
    return problems;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

TEST(DisplayScale, NothingIsCutAtAnyScale) {
    for (UINT dpi : kScales) EXPECT_EQ(RunChildAt(dpi), 0u) << "at " << dpi << " DPI (the child's output is above)";
}

// The child role: the window at the DPI its process started with, and for
// 100 % also moved to a monitor at 200 %.
TEST(DisplayScale, ChildRole) {
    const char* wanted = std::getenv(kChildScale);
    if (!wanted) GTEST_SKIP() << "run by NothingIsCutAtAnyScale, at each scale";
    const UINT dpi = static_cast<UINT>(std::atoi(wanted));
    ASSERT_EQ(fw::SystemDpi(), dpi) << "Wine did not start this process at the prefix's DPI";

    ScratchRegistry registry;
    for (const auto& [key, name, command] : DemoEntries()) {
        ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, fw::Widen(kUninstall) + L"\\" + key, L"DisplayName", name);
        ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, fw::Widen(kUninstall) + L"\\" + key, L"UninstallString", command);
    }
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kSettings, "bDisableSplash", "1");
    fw::Modeless<MainDialog> dialog;
    ASSERT_TRUE(dialog.Create());
    ASSERT_TRUE(gui::PumpUntil([&] { return !dialog.IconsPending(); }, 20000));
    ASSERT_EQ(dialog.Dpi(), dpi);
    ASSERT_GT(MainDialogTestAccess::List(dialog).GetItemCount(), 20);
    EXPECT_EQ(Lines(LayoutProblems(dialog)), "") << "at " << dpi << " DPI";

    if (dpi != 96) return;
    RECT window{};
    GetWindowRect(dialog.Hwnd(), &window);
    RECT suggested{window.left / 2, window.top / 2, window.left / 2 + 2 * (window.right - window.left),
                   window.top / 2 + 2 * (window.bottom - window.top)};
    const int nameWidth = static_cast<int>(SendMessageW(MainDialogTestAccess::List(dialog).Hwnd(), LVM_GETCOLUMNWIDTH, 0, 0));
    SendMessageW(dialog.Hwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    ASSERT_TRUE(gui::PumpUntil([&] { return !dialog.IconsPending(); }, 20000));
    EXPECT_EQ(dialog.Dpi(), 192u);
    int iconWidth = 0, iconHeight = 0;
    ImageList_GetIconSize(MainDialogTestAccess::Images(dialog).Get(), &iconWidth, &iconHeight);
    EXPECT_EQ(iconWidth, 64);
    EXPECT_EQ(SendMessageW(MainDialogTestAccess::List(dialog).Hwnd(), LVM_GETCOLUMNWIDTH, 0, 0), 2 * nameWidth);
    EXPECT_EQ(Lines(LayoutProblems(dialog)), "") << "moved to a monitor at 192 DPI";
}

}  // namespace
