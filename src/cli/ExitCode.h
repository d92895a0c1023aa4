#pragma once
// The console program's exit codes, as the README and the usage text list
// them. Where rights are missing and something else failed too, rights win:
// the caller has to run the command differently either way.

enum ExitCode : int {
    kExitDone = 0,                // done; for check: no phantoms
    kExitPhantomsFound = 1,       // check only
    kExitWrongUsage = 2,          // the message is on standard error
    kExitSomeFailed = 3,          // each failure named on standard error, the rest done
    kExitNotFound = 4,            // no such entry or file
    kExitNeedsAdministrator = 5,  // run from an elevated prompt or as SYSTEM
    // uninstall: everything asked was uninstalled and one or more need a
    // restart; fleet engines (Intune, Configuration Manager) read it as a
    // soft restart. The machine is never restarted by this program.
    kExitRestartNeeded = 3010,
};
