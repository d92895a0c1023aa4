#pragma once
// Shown while an entry's uninstaller runs: the user clicks Next once it
// has finished. The program does not watch the uninstaller; this is the wait.

#include "inventory/EntryDialog.h"

class UninstallWaitDialog : public EntryDialog {
public:
    explicit UninstallWaitDialog(HWND owner);
};
