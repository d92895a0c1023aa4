#include "app/WindowTheme.h"

#include <string>

#include "framework/RegistryKey.h"
#include "framework/SystemLibrary.h"

namespace {

constexpr const wchar_t* kPersonalize = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
// DWMWA_USE_IMMERSIVE_DARK_MODE: 20 from Windows 10 20H1, 19 before it.
constexpr DWORD kDarkTitleBar = 20;
constexpr DWORD kDarkTitleBarBefore20H1 = 19;
// Marks a dialog dressed dark, so the light look undoes only what the dark
// one changed and a window that was never dark stays exactly as it was.
constexpr const wchar_t* kDressedDark = L"Zaltrow.DressedDark";

using SetAttributeCall = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
using SetThemeCall = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);

// Each DLL once for the program's life.
const fw::SystemLibrary& Dwm() {
    static const fw::SystemLibrary library(L"dwmapi.dll");
    return library;
}
const fw::SystemLibrary& UxTheme() {
    static const fw::SystemLibrary library(L"uxtheme.dll");
    return library;
}

void SetTitleBarDark(HWND window, bool dark) {
    SetAttributeCall setAttribute = nullptr;
    if (!Dwm().Find(setAttribute, "DwmSetWindowAttribute")) return;
    const BOOL value = dark ? TRUE : FALSE;
    if (FAILED(setAttribute(window, kDarkTitleBar, &value, sizeof value)))
        setAttribute(window, kDarkTitleBarBefore20H1, &value, sizeof value);
}

// The theme class names Windows' own dark dialogs use; null names give a
// control back its usual theme, and empty ones draw it unthemed, in the
// colours its parent gives it.
void SetTheme(HWND control, const wchar_t* name, const wchar_t* ids) {
    SetThemeCall setTheme = nullptr;
    if (UxTheme().Find(setTheme, "SetWindowTheme")) setTheme(control, name, ids);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    const int length = GetClassNameW(window, name, 64);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void DressChild(HWND child, bool dark) {
    const std::wstring kind = ClassOf(child);
    if (kind == L"SysListView32") {
        const theme::DarkColors& d = theme::Dark();
        // The theme first: a theme change gives a list its default colours.
        SetTheme(child, dark ? L"DarkMode_Explorer" : nullptr, nullptr);
        const COLORREF background = dark ? d.listBackground : GetSysColor(COLOR_WINDOW);
        SendMessageW(child, LVM_SETBKCOLOR, 0, background);
        // Rows painted over the list's own background (CLR_NONE) stay so.
        if (static_cast<COLORREF>(SendMessageW(child, LVM_GETTEXTBKCOLOR, 0, 0)) != CLR_NONE)
            SendMessageW(child, LVM_SETTEXTBKCOLOR, 0, background);
        SendMessageW(child, LVM_SETTEXTCOLOR, 0, dark ? d.listText : GetSysColor(COLOR_WINDOWTEXT));
        if (HWND header = reinterpret_cast<HWND>(SendMessageW(child, LVM_GETHEADER, 0, 0)))
            SetTheme(header, dark ? L"DarkMode_ItemsView" : nullptr, nullptr);
    } else if (kind == L"Edit" || kind == L"ComboBox") {
        SetTheme(child, dark ? L"DarkMode_CFD" : nullptr, nullptr);
    } else if (kind == L"Button") {
        const LONG_PTR type = GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_OWNERDRAW) return;  // draws itself
        // Themed group boxes, check boxes and radio buttons draw their
        // captions in the theme's dark text; unthemed they take ours.
        const bool captioned = type == BS_GROUPBOX || type == BS_CHECKBOX || type == BS_AUTOCHECKBOX ||
                               type == BS_3STATE || type == BS_AUTO3STATE || type == BS_RADIOBUTTON ||
                               type == BS_AUTORADIOBUTTON;
        if (captioned)
            SetTheme(child, dark ? L"" : nullptr, dark ? L"" : nullptr);
        else
            SetTheme(child, dark ? L"DarkMode_Explorer" : nullptr, nullptr);
    } else if (kind == L"ScrollBar") {
        SetTheme(child, dark ? L"DarkMode_Explorer" : nullptr, nullptr);
    }
}

}  // namespace

WindowTheme::WindowTheme()
    : look_(theme::LookOf(AppsUseLightTheme(), HighContrast())),
      window_(CreateSolidBrush(theme::Dark().window)),
      edit_(CreateSolidBrush(theme::Dark().edit)) {}

std::optional<std::uint32_t> WindowTheme::AppsUseLightTheme() {
    const fw::RegKey key = fw::OpenRegKey(HKEY_CURRENT_USER, kPersonalize, KEY_QUERY_VALUE);
    if (!key) return std::nullopt;
    DWORD value = 0, type = 0, size = sizeof value;
    if (RegQueryValueExW(key.get(), L"AppsUseLightTheme", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

bool WindowTheme::HighContrast() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void WindowTheme::Renew() { look_ = theme::LookOf(AppsUseLightTheme(), HighContrast()); }

void WindowTheme::Dress(HWND dialog) const {
    const bool dark = Dark();
    const bool wasDark = GetPropW(dialog, kDressedDark) != nullptr;
    if (!dark && !wasDark) return;
    if (dark)
        SetPropW(dialog, kDressedDark, reinterpret_cast<HANDLE>(1));
    else
        RemovePropW(dialog, kDressedDark);
    SetTitleBarDark(dialog, dark);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) DressChild(child, dark);
}

bool WindowTheme::ControlColor(UINT message, HDC dc, HWND, HBRUSH& brush) const {
    if (!Dark()) return false;
    const theme::DarkColors& d = theme::Dark();
    switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetTextColor(dc, d.text);
        SetBkColor(dc, d.window);
        brush = window_.get();
        return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        SetTextColor(dc, d.editText);
        SetBkColor(dc, d.edit);
        brush = edit_.get();
        return true;
    default:
        return false;
    }
}
