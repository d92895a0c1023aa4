#include "widgets/CHyperLink.h"

#include <commctrl.h>

#include "framework/ClientDc.h"
#include "framework/SelectedObject.h"
#include "framework/WindowQueries.h"
#include "widgets/UrlLauncher.h"

namespace {

constexpr WORD kHelpViewerHandCursor = 106;

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

CHyperLink::CHyperLink() : opener_(&UrlLauncher::ShellOpenUrl) {}

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
    const std::string text = fw::WindowText(Hwnd());
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

    const RECT window = fw::ChildRect(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    const int borderWidth = (window.right - window.left) - (client.right - client.left);
    const int borderHeight = (window.bottom - window.top) - (client.bottom - client.top);

    const std::string text = fw::WindowText(hwnd);
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

COLORREF CHyperLink::TextColor() const {
    if (active_) return kFocusColor;
    if (visited_) return kVisitedColor;
    return kLinkColor;
}

bool CHyperLink::OnReflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_CTLCOLORSTATIC) return false;
    const auto dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, TextColor());
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
        UrlLauncher::ReportLinkError(Hwnd() ? GetParent(Hwnd()) : nullptr, result);
        return;
    }
    visited_ = TRUE;
    if (Hwnd()) Invalidate(true);
}
