#include "app/RemoveCommand.h"

#include <commctrl.h>

#include "BuildConfig.h"
#include "framework/WaitCursor.h"
#include "app/ReportBox.h"
#include "app/WindowElevation.h"
#include "inventory/ElevatedHandOff.h"
#include "inventory/EntryBackup.h"
#include "inventory/EntryRemoval.h"
#include "inventory/EntrySelection.h"

namespace {

constexpr const wchar_t* kCaption = L"" ZALTROW_MESSAGE_CAPTION;

// The task dialog's own buttons beside its No.
constexpr int kRemoveButton = 100;
constexpr int kUninstallButton = 101;

}  // namespace

RemoveAnswer AskToRemove(HWND owner, const RemoveQuestion& question) {
    using TaskDialogCall = HRESULT WINAPI(const TASKDIALOGCONFIG*, int*, int*, BOOL*);
    TaskDialogCall* const taskDialog =
        question.offerUninstall ? reinterpret_cast<TaskDialogCall*>(reinterpret_cast<void*>(
                                      GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "TaskDialogIndirect")))
                                : nullptr;
    if (taskDialog) {
        const TASKDIALOG_BUTTON buttons[] = {{kUninstallButton, L"&Uninstall instead"},
                                             {kRemoveButton, L"&Remove the entry"}};
        TASKDIALOGCONFIG config{};
        config.cbSize = sizeof config;
        config.hwndParent = owner;
        config.dwFlags = TDF_POSITION_RELATIVE_TO_WINDOW;
        config.dwCommonButtons = TDCBF_NO_BUTTON;
        config.pszWindowTitle = kCaption;
        config.pszMainIcon = TD_WARNING_ICON;
        config.pszMainInstruction = L"Remove a working program's entry?";
        config.pszContent = question.text.c_str();
        config.cButtons = 2;
        config.pButtons = buttons;
        config.nDefaultButton = IDNO;
        int chosen = IDNO;
        if (SUCCEEDED(taskDialog(&config, &chosen, nullptr, nullptr)))
            return chosen == kRemoveButton      ? RemoveAnswer::Remove
                   : chosen == kUninstallButton ? RemoveAnswer::Uninstall
                                                : RemoveAnswer::Keep;
    }
    const UINT style = question.defaultYes ? MB_ICONQUESTION : MB_ICONEXCLAMATION | MB_DEFBUTTON2;
    const std::wstring text = question.defaultYes ? question.text : question.text + L"\n\nRemove anyway?";
    return MessageBoxW(owner, text.c_str(), kCaption, MB_YESNO | style) == IDYES ? RemoveAnswer::Remove
                                                                                 : RemoveAnswer::Keep;
}

void RemoveProgramEntry(HWND owner, const ProgramEntry& entry, const std::function<void()>& refreshList) {
    RemoveProgramEntries(owner, {entry}, refreshList);
}

void RemoveProgramEntries(HWND owner, const std::vector<ProgramEntry>& entries, const std::function<void()>& refreshList) {
    const std::wstring folder = DefaultBackupFolder();
    const auto elevated = [owner](const std::vector<ProgramEntry>& handed) {
        const ElevatedHandOff::HandOffOutcome handOff = ElevatedHandOff::Remove(WindowElevation(owner), handed);
        return ElevatedRemovals{handOff.error, handOff.exitCode, handOff.results};
    };
    BatchRemoval batch;
    {
        const fw::WaitCursor busy;
        batch = RemoveEntries(entries, folder, elevated);
    }
    if (batch.handOffError != ERROR_SUCCESS) {
        MessageBoxW(owner, ElevatedHandOff::NotDoneText(batch.handOffError, L"removed").c_str(), kCaption,
                    MB_OK | (batch.handOffError == ERROR_CANCELLED ? MB_ICONASTERISK : MB_ICONHAND));
        return;
    }
    std::vector<BatchFailure> failures;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const RemovalResult::RemovalOutcome outcome = batch.removals[i].outcome;
        if (outcome != RemovalResult::RemovalOutcome::Removed && outcome != RemovalResult::RemovalOutcome::AlreadyGone)
            failures.push_back({entries[i].displayName, batch.removals[i].failureText});
    }
    if (!(entries.size() == 1 && !failures.empty())) {
        refreshList();
        if (owner) UpdateWindow(owner);
    }
    if (entries.size() != 1) {
        ReportBox::Show(owner, BatchRemovedText(batch.removed, batch.gone, batch.BackupFolders(), failures), kCaption,
                        failures.empty() ? MB_ICONASTERISK : MB_ICONEXCLAMATION);
    } else if (batch.removed == 1) {
        MessageBoxW(owner, RemovedText(entries[0].displayName, batch.removals[0].backupFile).c_str(), kCaption,
                    MB_OK | MB_ICONASTERISK);
    } else if (batch.gone == 1) {
        MessageBoxW(owner, NoLongerListedText(entries[0].displayName).c_str(), kCaption, MB_OK | MB_ICONEXCLAMATION);
    } else {
        MessageBoxW(owner, batch.removals[0].failureText.c_str(), kCaption, MB_OK | MB_ICONHAND);
    }
}
