#pragma once
// The window's "Export shown rows…" (Ctrl+S): the rows the list shows, in
// its order, saved where the user says as CSV, JSON (the console program's
// own writers and schema) or an HTML page, chosen by the file's type.

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "inventory/ProgramInventory.h"
#include "inventory/ProgramRows.h"
#include "inventory/ShownReport.h"

class ExportCommand {
public:
    ExportCommand(const ProgramInventory& inventory, const ProgramRows& rows, std::vector<std::size_t> shown)
        : inventory_(inventory), rows_(rows), shown_(std::move(shown)) {}

    // Asks for the file (Save As), then writes it; a failure is said in a
    // message box owned by `owner`. False when nothing was written.
    bool Run(HWND owner) const;
    // Writes the file at `path` in `format`: ERROR_SUCCESS or why not. A
    // file already there is replaced only once the new one is whole.
    DWORD Write(const std::wstring& path, ExportFormat format) const;

private:
    const ProgramInventory& inventory_;
    const ProgramRows& rows_;
    std::vector<std::size_t> shown_;
};
