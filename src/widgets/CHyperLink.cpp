#include "widgets/CHyperLink.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "BuildConfig.h"
#include "framework/ClientDc.h"
#include "framework/RegistryKey.h"
#include "framework/SelectedObject.h"
#include "widgets/ShellCommandText.h"

namespace {

constexpr DWORD kRegistryValueSize = 260;
constexpr WORD kHelpViewerHandCursor = 106;

std::string WindowText(HWND hwnd) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

HCURSOR LoadHandCursor() {
    char folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    if (length > 0 && length < sizeof folder) {
        const std::string viewer = std::string(folder) + "\\winhlp32.exe";
        // Only its resources are wanted: mapped as data, nothing runs.
        if (HMODULE module = LoadLibraryExA(viewer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
            HCURSOR copy = nullptr;
            if (HCURSOR cursor = LoadCursorA(module, MAKEINTRESOURCEA(kHelpViewerHandCursor))) {
                copy = static_cast<HCURSOR>(CopyIcon(cursor));
            }
            FreeLibrary(module);
            if (copy) return copy;
        }
    }
    // Without the viewer's cursor any hand serves; a copy, so the shared
    // cursor is always ours to keep.
    if (HCURSOR system = LoadCursorA(nullptr, IDC_HAND)) return static_cast<HCURSOR>(CopyIcon(system));
    return nullptr;
}

}  // namespace

CHyperLink::CHyperLink() : opener_(&CHyperLink::ShellOpenUrl) {}

CHyperLink::~CHyperLink() {
    if (toolTip_ && IsWindow(toolTip_)) DestroyWindow(toolTip_);
}

HCURSOR CHyperLink::HandCursor() {
    static const fw::Icon cursor(LoadHandCursor());
    return cursor.get();
}

void CHyperLink::SetLinkUrl(const std::string& url) {
    url_ = url;
    if (!Hwnd()) return;
    ShowWindow(Hwnd(), SW_HIDE);
    FitToText();
    if (toolTip_) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = Hwnd();
        tool.uId = kToolId;
        tool.lpszText = const_cast<char*>(url_.c_str());
        SendMessageA(toolTip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
        // The tool keeps covering the text after the refit.
        GetClientRect(Hwnd(), &tool.rect);
        SendMessageA(toolTip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    ShowWindow(Hwnd(), SW_SHOW);
}

void CHyperLink::PreSubclass() {
    const std::string text = WindowText(Hwnd());
    if (url_.empty()) url_ = text;
    if (text.empty()) SetWindowTextA(Hwnd(), url_.c_str());

    if (auto font = reinterpret_cast<HFONT>(SendMessageA(Hwnd(), WM_GETFONT, 0, 0))) {
        LOGFONTA description{};
        if (GetObjectA(font, sizeof description, &description) == sizeof description) {
            description.lfUnderline = TRUE;
            linkFont_.reset(CreateFontIndirectA(&description));
            if (linkFont_) SendMessageA(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), TRUE);
        }
        FitToText();
    }
    HandCursor();
    CreateToolTip();
}

void CHyperLink::CreateToolTip() {
    toolTip_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, Hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!toolTip_) return;
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = Hwnd();
    tool.uId = kToolId;
    GetClientRect(Hwnd(), &tool.rect);
    tool.lpszText = const_cast<char*>(url_.c_str());
    SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CHyperLink::FitToText() {
    HWND hwnd = Hwnd();
    const auto currentFont = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    if (!currentFont) return;  // a link without a font keeps its size

    RECT window{}, client{};
    GetWindowRect(hwnd, &window);
    if (HWND parent = GetParent(hwnd)) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&window), 2);
    GetClientRect(hwnd, &client);
    const int borderWidth = (window.right - window.left) - (client.right - client.left);
    const int borderHeight = (window.bottom - window.top) - (client.bottom - client.top);

    const std::string text = WindowText(hwnd);
    SIZE extent{};
    {
        fw::ClientDc dc(hwnd);
        if (!dc) return;
        fw::SelectedObject selected(dc.Get(), linkFont_ ? linkFont_.get() : currentFont);
        GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    }

    RECT rect = window;
    const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    if (style & SS_CENTERIMAGE) {
        const int shrink = ((rect.bottom - rect.top) - extent.cy) / 2;
        rect.top += shrink;
        rect.bottom -= shrink;
    } else {
        rect.bottom = rect.top + extent.cy;
    }
    const LONG_PTR alignment = style & SS_TYPEMASK;
    if (alignment == SS_CENTER) {
        const int shrink = ((rect.right - rect.left) - extent.cx) / 2;
        rect.left += shrink;
        rect.right -= shrink;
    } else if (alignment == SS_RIGHT) {
        rect.left = rect.right - extent.cx;
    } else {
        rect.right = rect.left + extent.cx;
    }
    MoveWindow(hwnd, rect.left, rect.top, (rect.right - rect.left) + borderWidth,
               (rect.bottom - rect.top) + borderHeight, TRUE);
}

COLORREF CHyperLink::TextColour() const {
    if (active_) return kFocusColour;
    if (visited_) return kVisitedColour;
    return kLinkColour;
}

bool CHyperLink::OnReflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_CTLCOLORSTATIC) return false;
    const auto dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, TextColour());
    SetBkMode(dc, TRANSPARENT);
    // The dialog's own background shows through.
    result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    return true;
}

void CHyperLink::RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (!toolTip_) return;
    MSG msg{Hwnd(), message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    const DWORD position = GetMessagePos();
    msg.pt = POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    SendMessageA(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

LRESULT CHyperLink::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_NCMOUSEMOVE) {
        RelayToToolTip(message, wParam, lParam);
    }
    switch (message) {
    case WM_NCHITTEST:
        return HTCLIENT;  // a static is otherwise transparent to the mouse
    case WM_SETCURSOR:
        if (HCURSOR hand = HandCursor()) {
            SetCursor(hand);
            return TRUE;
        }
        return FALSE;
    case WM_MOUSEMOVE: {
        if (!mouseOver_) {
            mouseOver_ = TRUE;
            Invalidate(true);
            SetCapture(Hwnd());
            return 0;
        }
        RECT client{};
        GetClientRect(Hwnd(), &client);
        const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (!PtInRect(&client, point)) {
            mouseOver_ = FALSE;
            ReleaseCapture();
            Invalidate(true);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus(Hwnd());
        active_ = TRUE;
        return 0;
    case WM_LBUTTONUP:
        if (active_) OpenLink();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            OpenLink();
            return 0;
        }
        break;
    case WM_SETFOCUS:
        active_ = TRUE;
        Invalidate(true);
        return 0;
    case WM_KILLFOCUS:
        mouseOver_ = FALSE;
        active_ = FALSE;
        Invalidate(true);
        return 0;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}

void CHyperLink::OpenLink() {
    const INT_PTR result = opener_ ? opener_(url_, SW_SHOW) : 0;
    if (result <= 32) {
        MessageBeep(MB_ICONEXCLAMATION);
        ReportLinkError(Hwnd() ? GetParent(Hwnd()) : nullptr, result);
        return;
    }
    visited_ = TRUE;
    if (Hwnd()) Invalidate(true);
}

INT_PTR CHyperLink::ShellOpenUrl(const std::string& url, int showCommand) {
    const INT_PTR shell =
        reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, showCommand));
    if (shell > 32) return shell;

    // The shell could not: run the web browser that opens ".htm" files.
    std::string key;
    if (ReadRegDefault(HKEY_CLASSES_ROOT, ".htm", key) != ERROR_SUCCESS) return shell;
    std::string command;
    if (ReadRegDefault(HKEY_CLASSES_ROOT, key + "\\shell\\open\\command", command) != ERROR_SUCCESS) return shell;
    // A command that would not fit the command buffer is not run; the
    // shell's failure is what the user hears about.
    const std::optional<std::string> run = shell_text::BrowserCommand(command, url);
    if (!run) return shell;
    return static_cast<INT_PTR>(WinExec(run->c_str(), static_cast<UINT>(showCommand)));
}

LONG CHyperLink::ReadRegDefault(HKEY root, const std::string& subkey, std::string& value) {
    LONG opened = ERROR_SUCCESS;
    const fw::RegKey key = fw::OpenRegKey(root, subkey, KEY_QUERY_VALUE, &opened);
    if (!key) return opened;
    char data[kRegistryValueSize] = {};
    LONG size = sizeof data;
    const LONG read = RegQueryValueA(key.get(), nullptr, data, &size);
    if (read != ERROR_SUCCESS) return read;
    value.assign(data, strnlen(data, sizeof data));
    return ERROR_SUCCESS;
}

void CHyperLink::ReportLinkError(HWND owner, INT_PTR code) {
    const std::string text = shell_text::LinkErrorText(code);
    MessageBoxA(owner, text.c_str(), ZALTROW_MESSAGE_CAPTION, MB_ICONEXCLAMATION | MB_OK);
}
