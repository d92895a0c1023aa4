#pragma once
// Reading back what real windows show: child rectangles in their dialog's
// client coordinates, and the pixels a window has painted.

#include <windows.h>

#include <ostream>
#include <vector>

namespace probe {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;

    static Box Of(const RECT& r) { return Box{r.left, r.top, r.right, r.bottom}; }
    Box Shifted(int dl, int dt, int dr, int db) const { return Box{left + dl, top + dt, right + dr, bottom + db}; }
    bool operator==(const Box&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "{" << b.left << ", " << b.top << ", " << b.right << ", " << b.bottom << "}";
}

// Where a child sits inside its dialog's client area.
inline Box ChildBox(HWND dialog, int id) {
    RECT r{};
    HWND child = GetDlgItem(dialog, id);
    if (!child) return Box{-1, -1, -1, -1};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    return Box::Of(r);
}

inline SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

inline SIZE OuterSize(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// The client area of a window as painted: by default repainted
// synchronously first (erase and paint), then copied off the window's own
// device context.
class Shot {
public:
    explicit Shot(HWND window, bool repaint = true) {
        if (repaint) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const SIZE size = ClientSize(window);
        width_ = size.cx;
        height_ = size.cy;
        pixels_ = Copy(GetDC(window), 0, 0, width_, height_, true, window);
    }

    // Pixels of a device context's area, as 0x00BBGGRR colors.
    static std::vector<COLORREF> Copy(HDC source, int x, int y, int width, int height, bool release = false,
                                      HWND owner = nullptr) {
        std::vector<COLORREF> out(static_cast<size_t>(width) * static_cast<size_t>(height));
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HDC memory = CreateCompatibleDC(source);
        HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
        GdiFlush();
        const auto* raw = static_cast<const DWORD*>(bits);
        for (size_t i = 0; i < out.size(); ++i) {
            const DWORD v = raw[i];  // 0x00RRGGBB in a DIB
            out[i] = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
        }
        SelectObject(memory, old);
        DeleteObject(dib);
        DeleteDC(memory);
        if (release) ReleaseDC(owner, source);
        return out;
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> pixels_;
};

// An icon as it looks drawn at its own size on a plain background, through
// a context like the screen's.
inline std::vector<COLORREF> DrawnIcon(HICON icon, COLORREF background, int width, int height) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> out = Shot::Copy(memory, 0, 0, width, height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return out;
}

}  // namespace probe
