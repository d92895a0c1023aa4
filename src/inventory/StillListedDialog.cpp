#include "inventory/StillListedDialog.h"

#include "resource.h"

StillListedDialog::StillListedDialog(HWND owner) : EntryDialog(IDD_STILL_LISTED, owner) {}
