#pragma once
// The tests' view of the upgrade check's inner steps, which the program
// runs only from the dialog.

#include <functional>
#include <string>
#include <vector>

#include "app/UpgradeDialog.h"

struct UpgradeDialogTestAccess {
    static const UpgradePage& Page(const UpgradeDialog& dialog) { return dialog.engine_.Page(); }
    static double LastCheck(const UpgradeDialog& dialog) { return dialog.lastCheck_; }
    static void ParseUpgradePage(UpgradeDialog& dialog, const std::vector<std::string>& lines) {
        dialog.ParseUpgradePage(lines);
    }
    static UpgradeEngine::SetupRun RunSetup(const std::wstring& setup, const std::wstring& folder,
                                            const std::function<bool()>& stopWaiting) {
        return UpgradeEngine::RunSetup(setup, folder, stopWaiting);
    }
};
