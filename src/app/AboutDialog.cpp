#include "app/AboutDialog.h"

#include "resource.h"

AboutDialog::AboutDialog(HWND parent) : ResizableDialog(IDD_ABOUTBOX, parent) {}
