#pragma once
// The small modeless window that says what an upgrade check or download is
// doing; control 1076 carries the text. Made for one use, then destroyed.

#include <windows.h>

#include "framework/Dialog.h"
#include "net/DownloadProgress.h"

class UpgradeProgressDialog : public fw::Dialog {
public:
    explicit UpgradeProgressDialog(HWND owner);
    ~UpgradeProgressDialog() override;

    // Creates and shows the window (and its text control).
    bool Open(const char* caption = nullptr);
    void SetText(const char* text);
    // A download's progress texts, shown in the text control; for as long
    // as the window is open.
    DownloadProgress ProgressText() const;
    // Hides and destroys the window.
    void Close();

protected:
    // Escape in this window (it is the active one while a check or a
    // download runs) is meant for the work it shows: it goes to the owner
    // as that dialog's Cancel.
    void OnCancel() override;
};
