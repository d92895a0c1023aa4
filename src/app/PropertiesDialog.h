#pragma once
// An entry's Properties: everything its key says, where it is listed, and
// why its row is red (with the phantom icon) or how it was judged present.
// Modal, owned by the main window; every value is read-only text that can
// be selected and copied, in a font that shows any script, wrapped so that
// nothing is cut.
//
//   PropertiesDialog dialog(owner, entry, listed.phantom, listed.reason, quiet);
//   dialog.DoModal();

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "framework/UniqueHandle.h"
#include "inventory/EntryProperties.h"
#include "inventory/ProgramEntry.h"

class PropertiesDialog : public fw::Dialog {
public:
    // The entry is copied; `reason` is the red row's, in words; `quiet` its
    // QuietUninstallOf.
    PropertiesDialog(HWND owner, const ProgramEntry& entry, bool phantom, std::wstring reason,
                     const quiet_uninstall::QuietForm& quiet);

    // A date in the user's locale, short form.
    static std::wstring LocaleDate(int year, int month, int day);

protected:
    bool OnInitDialog() override;

private:
    // A read-only value at `top` (pixels) `width` wide, as many lines high
    // as its text needs (up to a few, then it scrolls); returns its bottom.
    int AddValue(int id, const std::wstring& text, int left, int top, int width);
    void ShowStatus();
    void GrowTo(int clientHeight);

    ProgramEntry entry_;
    EntryFacts facts_;
    fw::Font valueFont_;
    fw::Icon entryIcon_;  // the entry's own, when the row is not red
};
