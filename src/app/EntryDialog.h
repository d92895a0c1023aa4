#pragma once
// What the two uninstall dialogs share: they show the entry's icon and
// display name, which the caller sets before showing the dialog.

#include <windows.h>

#include <string>

#include "framework/Dialog.h"
#include "framework/UniqueHandle.h"

class EntryDialog : public fw::Dialog {
public:
    HICON icon = nullptr;  // the entry's icon, or null for the program's own
    std::wstring text;     // the entry's display name, shown exactly

protected:
    EntryDialog(UINT templateId, HWND owner) : fw::Dialog(templateId, owner) {}
    // Puts the icon (unless null) and the name (unless empty) in place.
    bool OnInitDialog() override;

private:
    fw::Font nameFont_;  // shows the name in any script
};
