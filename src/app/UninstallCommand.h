#pragma once
// The window's Uninstall of one entry: its uninstaller started (or, for a
// phantom, its removal offered at once, saying why), waited for with the
// uninstall dialog, the list refreshed, and the removal offered when the
// very entry is still listed afterwards.

#include <windows.h>

#include <functional>
#include <string>

#include "inventory/ProgramEntry.h"
#include "inventory/ProgramRows.h"

class UninstallCommand {
public:
    // `judged` is the entry's row as the list shows it (what to start);
    // `stillListed` says whether the refreshed list holds an identity.
    static void Run(HWND owner, UINT dpi, const ProgramEntry& entry, const ProgramRow& judged,
                    const std::function<void()>& refreshList,
                    const std::function<bool(const std::wstring& identity)>& stillListed);
};
