#pragma once
// The About box, opened from the main window's system menu. A resizable
// dialog that registers nothing, so its frame and layout stay as designed.

#include "widgets/ResizableDialog.h"

class AboutDialog : public ResizableDialog {
public:
    explicit AboutDialog(HWND parent);
};
