#include "framework/Dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cassert>
#include <utility>

#include "framework/DialogLook.h"
#include "framework/Dpi.h"

namespace fw {
namespace {

// Messages whose result a dialog procedure returns itself instead of
// through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
    switch (message) {
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM:
    case WM_QUERYDRAGICON: case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

// Dialogs open centred over their owner, or on the screen without one, as
// people expect of a program's windows; the templates' own origin is 0, 0.
void CenterOnOwner(HWND dialog) {
    RECT box{}, area{};
    GetWindowRect(dialog, &box);
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &area);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const int width = box.right - box.left, height = box.bottom - box.top;
    const int x = std::max<LONG>(area.left, area.left + (area.right - area.left - width) / 2);
    const int y = std::max<LONG>(area.top, area.top + (area.bottom - area.top - height) / 2);
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND ReflectionTarget(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY:
        return reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM:
        return wParam ? reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    default:
        return nullptr;
    }
}

DialogLook* currentLook = nullptr;

bool IsControlColor(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

}  // namespace

void SetDialogLook(DialogLook* look) { currentLook = look; }

DialogLook* CurrentDialogLook() { return currentLook; }

bool ChangesLook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOLORCHANGE) return true;
    if (message != WM_SETTINGCHANGE) return false;
    if (wParam == SPI_SETHIGHCONTRAST) return true;
    if (!lParam) return false;
    // The text comes in the window's own character set.
    return IsWindowUnicode(window) ? lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"ImmersiveColorSet") == 0
                                   : lstrcmpiA(reinterpret_cast<const char*>(lParam), "ImmersiveColorSet") == 0;
}

Dialog::Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() {
    // The contract: a window is gone before its dialog object (a modal one
    // has ended, a modeless one was destroyed by its owner). A window still
    // open here would reach handlers of members already destroyed, so it is
    // cut off from this object first and only then destroyed.
    assert(!hwnd_ && "a modeless dialog must be destroyed by its owner (fw::Modeless)");
    if (!hwnd_) return;
    SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
    DestroyWindow(std::exchange(hwnd_, nullptr));
}

void Dialog::Destroy() {
    if (hwnd_ && !modal_) DestroyWindow(hwnd_);
}

HINSTANCE Dialog::ResourceModule() { return GetModuleHandleA(nullptr); }

INT_PTR Dialog::DoModal() {
    modal_ = true;
    return DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(templateId_), parent_, &Dialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool Dialog::Create() {
    modal_ = false;
    return CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(templateId_), parent_, &Dialog::DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::EndDialog(INT_PTR code) {
    if (hwnd_) ::EndDialog(hwnd_, code);
}

bool Dialog::OnInitDialog() {
    DoDataExchange();
    return true;
}

bool Dialog::Bind(Control& control, int id) { return control.Attach(Item(id)); }

void Dialog::EnableToolTips(std::initializer_list<int> ids) {
    if (toolTip_) return;
    toolTip_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, ResourceModule(),
                               nullptr);
    if (!toolTip_) return;
    for (int id : ids) {
        HWND child = GetDlgItem(hwnd_, id);
        if (!child) continue;
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        tool.lpszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

bool Dialog::OnCommand(int id, int code, HWND) {
    // Buttons and menu items send BN_CLICKED (0), accelerators 1.
    if ((code == BN_CLICKED || code == 1) && OnButtonClicked(id)) return true;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool Dialog::OnNotify(NMHDR&, LRESULT&) { return false; }

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool Dialog::Reflect(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    Control* control = Control::FromHandle(child);
    return control && control->OnReflect(message, wParam, lParam, result);
}

HFONT Dialog::DialogFont() const {
    return dialogFont_ ? dialogFont_ : reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
}

void Dialog::ChangeDpi(UINT to, const RECT& suggested) {
    const UINT from = dpi_;
    if (to == 0 || to == from) return;
    const HFONT oldFont = DialogFont();
    FontCopies fonts;
    fonts.emplace_back(oldFont, RescaledFont(oldFont, from, to));
    RescaleChildren(hwnd_, from, to, fonts);
    // The dialog manager keeps (and at the end deletes) the template's font:
    // the dialog itself is not given the new one, its children are. The
    // copies made before are no child's any more and go here.
    dialogFont_ = fonts.front().second.get();
    rescaledFonts_ = std::move(fonts);
    dpi_ = to;
    OnDpiChanged(from, to);
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    OnDpiResized();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

bool Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (HWND child = ReflectionTarget(message, wParam, lParam); child && child != hwnd_) {
        if (Reflect(child, message, wParam, lParam, result)) return true;
    }
    switch (message) {
    case WM_INITDIALOG: {
        RECT outer{}, client{};
        GetWindowRect(hwnd_, &outer);
        GetClientRect(hwnd_, &client);
        dpi_ = WindowDpi(hwnd_);
        // Windows 10 would rescale the template's controls by itself; this
        // framework does it (below), the same way everywhere.
        TakeOverDialogScaling(hwnd_);
        OnCreated(SIZE{outer.right - outer.left, outer.bottom - outer.top}, SIZE{client.right, client.bottom});
        if (!(GetWindowLongPtrA(hwnd_, GWL_STYLE) & (WS_CHILD | DS_CENTER))) CenterOnOwner(hwnd_);
        result = OnInitDialog();
        if (currentLook) currentLook->Dress(hwnd_);
        return true;
    }
    case WM_COMMAND:
        result = 0;
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
        result = 0;
        return OnNotify(*reinterpret_cast<NMHDR*>(lParam), result);
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return false;
    case WM_GETMINMAXINFO:
        result = 0;
        return OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_SYSCOMMAND:
        result = 0;
        return OnSysCommand(static_cast<UINT>(wParam & 0xFFF0), lParam);
    case WM_PAINT:
        result = 0;
        return OnPaint();
    case WM_TIMER:
        result = 0;
        return OnTimer(static_cast<UINT_PTR>(wParam));
    case WM_CONTEXTMENU: {
        result = 0;
        const bool fromKeyboard = lParam == -1;
        const POINT screen{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        return OnContextMenu(reinterpret_cast<HWND>(wParam), screen, fromKeyboard);
    }
    case WM_DESTROY:
        OnDestroy();
        return false;
    case WM_DPICHANGED:
        ChangeDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        result = 0;
        return true;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        if (currentLook && ChangesLook(hwnd_, message, wParam, lParam)) {
            currentLook->Renew();
            currentLook->Dress(hwnd_);
            RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
        return OnMessage(message, wParam, lParam, result);
    default:
        if (OnMessage(message, wParam, lParam, result)) return true;
        if (!currentLook || !IsControlColor(message)) return false;
        if (HBRUSH brush = nullptr;
            currentLook->ControlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), brush)) {
            result = reinterpret_cast<LRESULT>(brush);
            return true;
        }
        return false;
    }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;  // messages before WM_INITDIALOG (WM_SETFONT)

    INT_PTR handledResult = FALSE;
    try {
        LRESULT result = 0;
        if (self->Dispatch(message, wParam, lParam, result)) {
            if (ReturnsDirectly(message)) {
                handledResult = static_cast<INT_PTR>(result);
            } else {
                SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
                handledResult = TRUE;
            }
        }
    } catch (...) {
        // Nothing may unwind through the system's dialog manager.
        handledResult = FALSE;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        self->toolTip_ = nullptr;  // owned by the dialog, already gone
    }
    return handledResult;
}

}  // namespace fw
