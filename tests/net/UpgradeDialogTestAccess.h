#pragma once
// The tests' view of the upgrade check's inner steps, which the program
// runs only from the dialog.

#include <functional>
#include <string>
#include <vector>

#include "net/UpgradeDialog.h"

struct UpgradeDialogTestAccess {
    static const UpgradePage& Page(const UpgradeDialog& dialog) { return dialog.page_; }
    static double LastCheck(const UpgradeDialog& dialog) { return dialog.lastCheck_; }
    static void ParseUpgradePage(UpgradeDialog& dialog, const std::vector<std::string>& lines) {
        dialog.ParseUpgradePage(lines);
    }
    static UpgradeDialog::SetupRun RunSetup(const std::wstring& setup, const std::wstring& folder,
                                            const std::function<bool()>& stopWaiting) {
        return UpgradeDialog::RunSetup(setup, folder, stopWaiting);
    }
};
