#include "framework/Dpi.h"

#include <algorithm>

namespace fw {

namespace {

// The user32 calls that are newer than the program's target, looked up
// once. Each is null where Windows lacks it.
struct PerMonitorCalls {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using GetDpiForSystemFn = UINT(WINAPI*)();
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);

    GetDpiForWindowFn getDpiForWindow = nullptr;
    GetDpiForSystemFn getDpiForSystem = nullptr;
    GetSystemMetricsForDpiFn getSystemMetricsForDpi = nullptr;
    SystemParametersInfoForDpiFn systemParametersInfoForDpi = nullptr;
    SetDialogDpiChangeBehaviorFn setDialogDpiChangeBehavior = nullptr;

    PerMonitorCalls() {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (!user32) return;
        Find(user32, "GetDpiForWindow", getDpiForWindow);
        Find(user32, "GetDpiForSystem", getDpiForSystem);
        Find(user32, "GetSystemMetricsForDpi", getSystemMetricsForDpi);
        Find(user32, "SystemParametersInfoForDpi", systemParametersInfoForDpi);
        Find(user32, "SetDialogDpiChangeBehavior", setDialogDpiChangeBehavior);
    }

    template <typename F>
    static void Find(HMODULE module, const char* name, F& call) {
        call = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
};

const PerMonitorCalls& Calls() {
    static const PerMonitorCalls calls;
    return calls;
}

UINT ScreenDpiFromDc() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

}  // namespace

UINT SystemDpi() {
    if (Calls().getDpiForSystem) {
        if (const UINT dpi = Calls().getDpiForSystem()) return dpi;
    }
    return ScreenDpiFromDc();
}

UINT WindowDpi(HWND window) {
    if (window && Calls().getDpiForWindow) {
        if (const UINT dpi = Calls().getDpiForWindow(window)) return dpi;
    }
    return SystemDpi();
}

int SystemMetric(int index, UINT dpi) {
    if (Calls().getSystemMetricsForDpi) return Calls().getSystemMetricsForDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

Font MessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (Calls().systemParametersInfoForDpi &&
        Calls().systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        return Font(CreateFontIndirectW(&metrics.lfMessageFont));
    }
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return Font();
    metrics.lfMessageFont.lfHeight =
        MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return Font(CreateFontIndirectW(&metrics.lfMessageFont));
}

Font RescaledFont(HFONT font, UINT from, UINT to) {
    LOGFONTW description{};
    if (!font || !GetObjectW(font, sizeof description, &description) || from == 0) return Font();
    description.lfHeight = MulDiv(description.lfHeight, static_cast<int>(to), static_cast<int>(from));
    description.lfWidth = MulDiv(description.lfWidth, static_cast<int>(to), static_cast<int>(from));
    return Font(CreateFontIndirectW(&description));
}

Icon LoadIconAt(HINSTANCE module, UINT id, int sizeAt96, UINT dpi) {
    const int size = Scaled(sizeAt96, dpi);
    return Icon(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

void TakeOverDialogScaling(HWND dialog) {
    constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
    if (Calls().setDialogDpiChangeBehavior) Calls().setDialogDpiChangeBehavior(dialog, kDisableAll, kDisableAll);
}

void RescaleChildren(HWND parent, UINT from, UINT to, FontCopies& fonts) {
    if (from == 0 || from == to) return;
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    const auto scale = [&](LONG value) { return static_cast<LONG>(MulDiv(value, static_cast<int>(to), static_cast<int>(from))); };
    HDWP moves = BeginDeferWindowPos(static_cast<int>(children.size()));
    for (HWND child : children) {
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
        const int left = scale(rect.left), top = scale(rect.top);
        const int width = scale(rect.right) - left, height = scale(rect.bottom) - top;
        if (moves) {
            moves = DeferWindowPos(moves, child, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            SetWindowPos(child, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        const auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
        if (!font) continue;  // the system font, which the system scales
        auto copy = std::find_if(fonts.begin(), fonts.end(), [&](const auto& known) { return known.first == font; });
        if (copy == fonts.end()) copy = fonts.insert(fonts.end(), {font, RescaledFont(font, from, to)});
        if (copy->second) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(copy->second.get()), TRUE);
    }
    if (moves) EndDeferWindowPos(moves);
}

}  // namespace fw
