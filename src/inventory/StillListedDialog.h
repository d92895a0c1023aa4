#pragma once
// Offers to remove an entry that is still listed after its uninstaller ran
// (or whose uninstaller could not be started). Yes ends with IDOK; No,
// Escape, Enter and the close box with IDCANCEL.

#include <windows.h>

#include <string>

#include "framework/Dialog.h"

class StillListedDialog : public fw::Dialog {
public:
    explicit StillListedDialog(HWND owner);

    HICON icon = nullptr;     // the entry's icon, or null for the program's own
    std::string text;         // the entry's display name

protected:
    bool OnInitDialog() override;
};
