#pragma once
// Dialog base whose registered controls follow the window's edges when the
// user resizes it: each control carries an anchor mask saying which of its
// edges move with the growth of the client area.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/Dialog.h"

enum Anchor : std::uint32_t {
    AnchorMoveRight = 1,     // left and right follow the right edge
    AnchorMoveDown = 2,      // top and bottom follow the bottom edge
    AnchorStretchRight = 4,  // only the right edge follows; wins over 1
    AnchorStretchDown = 8,   // only the bottom edge follows; wins over 2
};

class ResizableDialog : public fw::Dialog {
public:
    // How small the user may make the window: by default its opening size
    // less 250 x 280 pixels; with Opening, its opening size, so a stretched
    // control never collapses onto the ones below it.
    enum class MinimumSize { Shrunk, Opening };

    ResizableDialog(UINT templateId, HWND parent, MinimumSize minimum = MinimumSize::Shrunk);

    // Registers a control; a mask whose low 16 bits are 0 is not stored.
    // Duplicates are not checked: a control registered twice moves twice.
    void AddControl(int id, std::uint32_t mask);

    // The rectangle a control with `mask` gets when the client area grows
    // by dx, dy.
    static RECT AnchoredRect(RECT rect, std::uint32_t mask, int dx, int dy);

    SIZE MinTrackSize() const { return minTrackSize_; }
    SIZE LastClientSize() const { return lastClientSize_; }
    const std::vector<std::uint32_t>& Controls() const { return controls_; }

protected:
    // Derived dialogs run this from their own initialisation, after their
    // AddControl calls: the framework's initialisation, then false.
    bool OnInitDialog() override;

    void OnCreated(SIZE outer, SIZE client) override;
    void OnSize(UINT sizeType, int cx, int cy) override;
    bool OnGetMinMaxInfo(MINMAXINFO& info) override;
    void OnDestroy() override;
    // The sizes the anchors count from follow the children to the new DPI.
    void OnDpiChanged(UINT from, UINT to) override;

private:
    MinimumSize minimum_;
    SIZE minTrackSize_{0, 0};
    SIZE lastClientSize_{0, 0};
    std::vector<std::uint32_t> controls_;  // (mask << 16) | id
};
