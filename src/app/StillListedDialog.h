#pragma once
// Offers to remove an entry that is still listed after its uninstall, or
// whose uninstaller is missing, saying no more than is known of how the
// uninstall went. Yes ends with IDOK; No, Escape, Enter and the close box
// with IDCANCEL.

#include <string>

#include "app/EntryDialog.h"

// What is known when the offer comes.
enum class UninstallOutcome {
    Ended,        // every process of the uninstaller had ended
    MayBeRunning, // the user went on while one still ran, or its end could not be seen
    NotStarted,   // its uninstaller is missing: nothing ran
};

class StillListedDialog : public EntryDialog {
public:
    explicit StillListedDialog(HWND owner);

    UninstallOutcome outcome = UninstallOutcome::Ended;
    std::wstring reason;  // for NotStarted: what is missing, in words

protected:
    bool OnInitDialog() override;
};
