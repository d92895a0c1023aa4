#include "app/UninstallCommand.h"

#include "BuildConfig.h"
#include "app/RemoveCommand.h"
#include "app/StillListedDialog.h"
#include "app/UninstallWaitDialog.h"
#include "framework/Dpi.h"
#include "framework/ProcessTree.h"
#include "framework/ShellIcon.h"
#include "framework/SystemErrorText.h"
#include "framework/UniqueHandle.h"
#include "inventory/EntryRemoval.h"
#include "inventory/EntrySelection.h"

namespace {

constexpr const wchar_t* kCaption = L"" ZALTROW_MESSAGE_CAPTION;

}  // namespace

void UninstallCommand::Run(HWND owner, UINT dpi, const ProgramEntry& entry, const ProgramRow& judged,
                           const std::function<void()>& refreshList,
                           const std::function<bool(const std::wstring& identity)>& stillListed) {
    if (!EntryExists(ListOf(entry), entry.keyName)) {
        MessageBoxW(owner, NoLongerListedText(entry.displayName).c_str(), kCaption, MB_OK | MB_ICONEXCLAMATION);
        refreshList();
        return;
    }
    fw::Icon icon;  // released when the command ends
    if (!entry.iconPath.empty()) icon = fw::ExtractIconAt(entry.iconPath, entry.iconIndex, fw::SystemMetric(SM_CXICON, dpi));

    // As judged when the list was filled, which is what the row shows.
    const UninstallTarget target{judged.file, judged.args, judged.phantom, judged.reason};
    StillListedDialog offer(owner);
    // A phantom has nothing left to run (its uninstaller is gone, or Windows
    // Installer no longer knows its product): its removal is offered at
    // once, saying why. Any other failure to start (a file that cannot run,
    // a bare name or %NAME% path not found, access denied) says why and
    // offers nothing, since the program may well still be installed.
    if (target.phantom) {
        offer.outcome = UninstallOutcome::NotStarted;
        offer.reason = target.reason;
    } else {
        fw::ProcessTree uninstaller;  // its processes run on when this ends
        if (const DWORD error = uninstaller.Start(target.file, target.args)) {
            MessageBoxW(owner, LaunchFailedText(entry.displayName, target.file, fw::SystemErrorText(error)).c_str(),
                        kCaption, MB_OK | MB_ICONHAND);
            return;
        }
        UninstallWaitDialog wait(owner, uninstaller);
        wait.icon = icon.get();
        wait.text = entry.displayName;
        wait.DoModal();  // ends by itself once the uninstaller has; Next, Escape and the close box go on at once
        if (!IsWindow(owner)) return;  // the window went while it waited
        // Known before the list is read: had all ended, the list shows their work.
        const bool ended = uninstaller.FollowsChildren() && uninstaller.Ended();
        refreshList();
        // Still listed means this very entry; a namesake does not count.
        if (!stillListed(judged.identity)) return;  // the uninstaller removed its entry
        offer.outcome = ended ? UninstallOutcome::Ended : UninstallOutcome::MayBeRunning;
    }
    offer.icon = icon.get();
    offer.text = entry.displayName;
    if (offer.DoModal() == IDOK)
        RemoveProgramEntry(owner, entry, refreshList);
}
