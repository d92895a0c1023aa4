// Runs the upgrade installation in a process of its own, as the program
// does after the user said yes: `upgrade_install_driver URL`. It ends
// inside the installation with 0, or exits with 3 when that returned.

#include <windows.h>

#include "net/UpgradeDialog.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    UpgradeDialog dialog;
    dialog.Setup("Zaltrow", 1.2f, "");
    dialog.InstallUpgrade(argv[1]);
    return 3;
}
