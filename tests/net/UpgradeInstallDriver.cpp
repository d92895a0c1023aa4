// Runs the upgrade installation in a process of its own, as the program
// does after the user said yes: `upgrade_install_driver URL [SIGNATURE]`,
// the signature as the page's line gives it, checked with the tests' key.
// It ends inside the installation with 0, or exits with 3 when that
// returned.

#include <windows.h>

#include "TestUpgradeKey.h"
#include "UpgradeDialogTestAccess.h"
#include "net/UpgradeDialog.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    UpgradeDialog dialog(TestUpgradeKey());
    dialog.Setup("Zaltrow", 1.2f, "");
    // As a page read with the check would leave it.
    UpgradeDialogTestAccess::ParseUpgradePage(dialog, {"<!-- UPGRADE Signature\n", std::string(argc > 2 ? argv[2] : "") + "\n"});
    UpgradeDialogTestAccess::InstallUpgrade(dialog, argv[1]);
    return 3;
}
