#include "widgets/ResizableDialog.h"

#include "framework/WindowQueries.h"

namespace {
// The minimum tracking size is the creation size less this much.
constexpr int kMinTrackShrinkX = 250;
constexpr int kMinTrackShrinkY = 280;
}  // namespace

ResizableDialog::ResizableDialog(UINT templateId, HWND parent, MinimumSize minimum)
    : fw::Dialog(templateId, parent), minimum_(minimum) {}

void ResizableDialog::AddControl(int id, std::uint32_t mask) {
    if ((mask & 0xFFFF) == 0) return;
    controls_.push_back((mask << 16) | (static_cast<std::uint32_t>(id) & 0xFFFF));
}

RECT ResizableDialog::AnchoredRect(RECT rect, std::uint32_t mask, int dx, int dy) {
    if (mask & AnchorStretchRight) {
        rect.right += dx;
    } else if (mask & AnchorMoveRight) {
        rect.left += dx;
        rect.right += dx;
    }
    if (mask & AnchorStretchDown) {
        rect.bottom += dy;
    } else if (mask & AnchorMoveDown) {
        rect.top += dy;
        rect.bottom += dy;
    }
    return rect;
}

bool ResizableDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    return false;
}

void ResizableDialog::OnCreated(SIZE outer, SIZE client) {
    // What the window's creation and its first size notification record.
    minTrackSize_ = minimum_ == MinimumSize::Opening ? outer
                                                     : SIZE{outer.cx - kMinTrackShrinkX, outer.cy - kMinTrackShrinkY};
    lastClientSize_ = client;
}

void ResizableDialog::OnSize(UINT sizeType, int cx, int cy) {
    if (sizeType == SIZE_MINIMIZED) return;
    const int dx = cx - lastClientSize_.cx;
    const int dy = cy - lastClientSize_.cy;
    if (lastClientSize_.cx != 0) {
        for (std::uint32_t entry : controls_) {
            const std::uint32_t mask = entry >> 16;
            HWND child = Item(static_cast<int>(entry & 0xFFFF));
            if (!child || mask == 0) continue;
            const RECT rect = AnchoredRect(fw::ChildRect(child), mask, dx, dy);
            InvalidateRect(child, nullptr, TRUE);
            MoveWindow(child, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
        }
        // A group box paints only its frame: where one was, the dialog's
        // own background must be painted again, or its old lines stay.
        if (dx != 0 || dy != 0) InvalidateRect(Hwnd(), nullptr, TRUE);
    }
    lastClientSize_ = SIZE{cx, cy};
}

bool ResizableDialog::OnGetMinMaxInfo(MINMAXINFO& info) {
    if (minTrackSize_.cx == 0) return false;
    info.ptMinTrackSize.x = minTrackSize_.cx;
    info.ptMinTrackSize.y = minTrackSize_.cy;
    return true;
}

void ResizableDialog::OnDpiChanged(UINT from, UINT to) {
    const auto scale = [&](SIZE size) {
        return SIZE{MulDiv(size.cx, static_cast<int>(to), static_cast<int>(from)),
                    MulDiv(size.cy, static_cast<int>(to), static_cast<int>(from))};
    };
    minTrackSize_ = scale(minTrackSize_);
    // The children were moved as they stood, so the client size they match
    // is the old one scaled; the size Windows then suggests moves the
    // anchored ones from there.
    lastClientSize_ = scale(lastClientSize_);
}

void ResizableDialog::OnDestroy() {
    minTrackSize_ = SIZE{0, 0};
    lastClientSize_ = SIZE{0, 0};
}
