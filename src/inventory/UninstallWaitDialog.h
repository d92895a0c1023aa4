#pragma once
// Shown while an entry's uninstaller runs: the user clicks Next once it
// has finished. The program does not watch the uninstaller; this is the wait.

#include <windows.h>

#include <string>

#include "framework/Dialog.h"

class UninstallWaitDialog : public fw::Dialog {
public:
    explicit UninstallWaitDialog(HWND owner);

    HICON icon = nullptr;     // the entry's icon, or null for the program's own
    std::string text;         // the entry's display name

protected:
    bool OnInitDialog() override;
};
