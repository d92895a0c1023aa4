#pragma once
// A report of many entries that never grows past the screen: a text that a
// message box can show whole goes to one, as every report did; a longer
// one gets a window of the same look whose text scrolls inside, sized to
// the monitor's work area at most, with OK always on screen.

#include <windows.h>

#include <string>

#include "widgets/ResizableDialog.h"

class ReportBox : public ResizableDialog {
public:
    // `icon`: MB_ICONINFORMATION, MB_ICONEXCLAMATION or MB_ICONHAND.
    static void Show(HWND owner, const std::wstring& text, const wchar_t* caption, UINT icon);

    // Whether `text` is too tall for a message box on `owner`'s monitor.
    static bool NeedsScrolling(HWND owner, const std::wstring& text);

    ReportBox(HWND owner, std::wstring text, std::wstring caption, UINT icon);

protected:
    bool OnInitDialog() override;

private:
    std::wstring text_;
    std::wstring caption_;
    UINT icon_;
};
