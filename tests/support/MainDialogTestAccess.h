#pragma once
// The tests' (and the refresh benchmark's) view of the main window's parts,
// which the program itself keeps private.

#include "app/ExportCommand.h"
#include "app/MainDialog.h"

struct MainDialogTestAccess {
    static ProgramListCtrl& List(MainDialog& dialog) { return dialog.list_; }
    static fw::ImageList Images(const MainDialog& dialog) { return dialog.Images(); }
    static IconLoader& Icons(MainDialog& dialog) { return dialog.iconLoader_; }
    static HoverButton& Button(MainDialog& dialog, int id) { return dialog.Button(id); }
    static SplashWindow* Splash(const MainDialog& dialog) { return dialog.splash_.get(); }
    // Export as the menu runs it, without the Save As dialog.
    static ExportCommand Export(const MainDialog& dialog) {
        return ExportCommand(dialog.inventory_, dialog.rows_, dialog.ShownModelRows());
    }
};
