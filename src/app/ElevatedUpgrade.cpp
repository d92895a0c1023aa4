#include "app/ElevatedUpgrade.h"

#include "BuildConfig.h"
#include "app/LaunchMode.h"
#include "framework/ElevatedStart.h"
#include "framework/MessageWait.h"
#include "framework/ModulePath.h"
#include "framework/SystemErrorText.h"
#include "framework/UniqueHandle.h"

namespace {

constexpr const wchar_t* kCaption = L"" ZALTROW_MESSAGE_CAPTION;

}  // namespace

std::wstring ElevatedUpgrade::RefusedText() {
    return L"The upgrade needs administrator rights and was not started.\n\n"
           L"To upgrade, press Upgrade again and allow " ZALTROW_PRODUCT_NAME L" to make changes.";
}

std::wstring ElevatedUpgrade::NotStartedText(DWORD error) {
    return L"The upgrade needs administrator rights, but " ZALTROW_PRODUCT_NAME
           L" could not be started with them: " + fw::SystemErrorText(error) + L"\n\nThe upgrade was not started.";
}

ElevatedUpgrade::UpgradeOutcome ElevatedUpgrade::Run(HWND window) {
    const std::wstring program = fw::WideModulePath();
    fw::KernelHandle process;
    const DWORD error = program.empty() ? ERROR_BAD_PATHNAME
                                        : fw::ElevatedStart::Start(program, std::wstring(LaunchMode::kUpgradeSwitch),
                                                                   {}, process, window);
    if (error != ERROR_SUCCESS) {
        const bool refused = error == ERROR_CANCELLED;
        MessageBoxW(window, refused ? RefusedText().c_str() : NotStartedText(error).c_str(), kCaption,
                    MB_OK | (refused ? MB_ICONINFORMATION : MB_ICONSTOP));
        return UpgradeOutcome::NotStarted;
    }
    // Started, but nothing to wait for (the shell kept the process to itself).
    if (!process) return UpgradeOutcome::NotUpgraded;

    EnableWindow(window, FALSE);
    // Asked to end first, the program ends: its WM_QUIT is in the queue again.
    const bool ended = fw::WaitHandlingMessages(process.get()) == fw::WaitEnd::Signalled;
    EnableWindow(window, TRUE);
    // The step allowed it: the window comes back to the front.
    SetForegroundWindow(window);
    DWORD code = STILL_ACTIVE;
    return ended && GetExitCodeProcess(process.get(), &code) && code == 0 ? UpgradeOutcome::Upgraded : UpgradeOutcome::NotUpgraded;
}
