#pragma once
// Offers to remove an entry that is still listed after its uninstaller ran
// (or whose uninstaller could not be started). Yes ends with IDOK; No,
// Escape, Enter and the close box with IDCANCEL.

#include "inventory/EntryDialog.h"

class StillListedDialog : public EntryDialog {
public:
    explicit StillListedDialog(HWND owner);
};
