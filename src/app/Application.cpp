#include "app/Application.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/LaunchMode.h"
#include "app/MainDialog.h"
#include "app/UpgradeDialog.h"

Application theApplication;

int Application::Run() {
    // OLE for the help page's browser control; its result does not matter
    // to anything but that control, which copes without it.
    const HRESULT ole = OleInitialize(nullptr);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const int exitCode =
        LaunchMode::Parse(GetCommandLineW()) == LaunchMode::Kind::Upgrade ? RunUpgradeStep() : RunWindow();

    if (SUCCEEDED(ole)) OleUninitialize();
    return exitCode;
}

int Application::RunWindow() {
    // Modeless, so the loop below can give the window its keys.
    fw::Modeless<MainDialog> dialog;
    dialog.EndProgramOnClose();
    if (!dialog.Create()) return 1;
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
        if (dialog.TranslateKeys(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

// The elevated copy that a window without administrator rights started
// (ElevatedUpgrade): the check at once, no main window and no splash. It
// asks for no rights itself, so it can never start another copy.
int Application::RunUpgradeStep() {
    UpgradeDialog upgrade;
    upgrade.SetProductToThisProgram();
    upgrade.DoModal();
    // An upgrade that installed has ended the process already, with 0. The
    // waiting window may take the front again.
    AllowSetForegroundWindow(ASFW_ANY);
    return LaunchMode::kNotUpgradedExitCode;
}
