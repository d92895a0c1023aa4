#include "app/Application.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/MainDialog.h"

Application theApplication;

int Application::Run() {
    // OLE for the help page's browser control; its result does not matter
    // to anything but that control, which copes without it.
    const HRESULT ole = OleInitialize(nullptr);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    {
        MainDialog dialog;
        dialog.DoModal();
    }

    if (SUCCEEDED(ole)) OleUninitialize();
    return 0;
}
