#pragma once
// Uninstall on several rows asks once: the programs, each marked with how
// it will run, and whether to run them quietly where they allow it (on by
// default). The marks follow the check box. Yes is IDOK.

#include <windows.h>

#include <vector>

#include "framework/Dialog.h"
#include "framework/UniqueHandle.h"
#include "inventory/BatchUninstallText.h"

class UninstallManyDialog : public fw::Dialog {
public:
    UninstallManyDialog(HWND owner, std::vector<UninstallChoice> rows);

    bool quietly = true;  // the check box, read when the dialog ends

protected:
    bool OnInitDialog() override;
    bool OnButtonClicked(int id) override;
    void OnOK() override;

private:
    void ShowText();
    // The text's height, the check box and buttons below it, the window
    // around them: the template's room for the text is a minimum.
    void FitToText();

    std::vector<UninstallChoice> rows_;
    fw::Font textFont_;  // names come in any script
};
