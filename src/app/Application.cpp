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

    int exitCode = 1;
    {
        // Modeless, so the loop below can give the window its keys.
        fw::Modeless<MainDialog> dialog;
        dialog.EndProgramOnClose();
        if (dialog.Create()) {
            MSG message;
            BOOL got;
            while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
                if (dialog.TranslateKeys(message)) continue;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            exitCode = got == 0 ? static_cast<int>(message.wParam) : 1;
        }
    }

    if (SUCCEEDED(ole)) OleUninitialize();
    return exitCode;
}
