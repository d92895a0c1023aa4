#pragma once
// The window's Uninstall of several rows: one question (UninstallManyDialog),
// then the entries uninstalled one after another (UninstallEntries: the
// machine's quiet ones in one elevated hand-off, the rest here) under the
// progress window, then one refresh and one report, which offers to remove
// the entries left behind by uninstallers that are gone now, each with
// its backup, as Remove does.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "inventory/ProgramEntry.h"
#include "inventory/ProgramRows.h"

class BatchUninstallCommand {
public:
    struct Chosen {
        ProgramEntry entry;  // a copy: the refresh leaves the list's
        ProgramRow judged;   // as the row shows it (what to start)
    };
    // `redNow` says whether the refreshed list shows an identity in red.
    static void Run(HWND owner, const std::vector<Chosen>& chosen, const std::function<void()>& refreshList,
                    const std::function<bool(const std::wstring& identity)>& redNow);
};
