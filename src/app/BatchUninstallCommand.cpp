#include "app/BatchUninstallCommand.h"

#include "BuildConfig.h"
#include "app/RemoveCommand.h"
#include "app/ReportBox.h"
#include "app/UninstallManyDialog.h"
#include "app/UninstallProgressDialog.h"
#include "app/WindowElevation.h"
#include "framework/ClosedToInput.h"
#include "framework/RunningAccount.h"
#include "inventory/BatchUninstall.h"
#include "inventory/BatchUninstallText.h"
#include "inventory/ElevatedHandOff.h"
#include "inventory/UninstallerProbe.h"

namespace {

constexpr const wchar_t* kCaption = L"" ZALTROW_MESSAGE_CAPTION;

}  // namespace

void BatchUninstallCommand::Run(HWND owner, const std::vector<Chosen>& chosen, const std::function<void()>& refreshList,
                                const std::function<bool(const std::wstring& identity)>& redNow) {
    std::vector<BatchItem> items;
    std::vector<UninstallChoice> choices;
    std::vector<std::wstring> names;
    for (const Chosen& row : chosen) {
        BatchItem item{row.entry, row.judged.file, row.judged.args, row.judged.phantom, row.judged.reason,
                       row.judged.phantom ? quiet_uninstall::QuietForm{}
                                          : QuietUninstallOf(row.entry, row.judged.file, row.judged.args)};
        choices.push_back({row.entry.displayName, item.phantom, item.quiet.basis != quiet_uninstall::Basis::None});
        names.push_back(row.entry.displayName);
        items.push_back(std::move(item));
    }
    UninstallManyDialog question(owner, choices);
    if (question.DoModal() != IDOK || !IsWindow(owner)) return;

    BatchOptions options;
    options.quiet = question.quietly;
    // A window someone watches: an uninstaller with its own window waits
    // for them, however long they take.
    options.timeoutMs = INFINITE;
    // The progress window stays, with every program's last state, until
    // the report is answered.
    fw::Modeless<UninstallProgressDialog> progress(owner, names);
    if (!progress.Create()) return;
    ShowWindow(progress.Hwnd(), SW_SHOW);
    // The owner opens again before the progress window goes.
    fw::ClosedToInput closed(owner);
    const HWND shown = progress.Hwnd();
    const std::vector<BatchResult> results =
        UninstallEntries(items, options, progress, fw::RunningRights(),
                         [shown](const std::vector<ProgramEntry>& handed, const ResultArrived& arrived,
                                 const std::function<bool()>& stopAsked) {
                             return ElevatedHandOff::Uninstall(WindowElevation(shown, true), handed, arrived,
                                                               stopAsked);
                         });
    progress.Finish();
    if (const std::optional<int> quit = progress.Quit()) {
        PostQuitMessage(*quit);
        return;
    }
    if (!IsWindow(owner)) return;
    refreshList();

    std::vector<bool> red;
    for (const Chosen& row : chosen) red.push_back(redNow(row.judged.identity));
    const BatchReport report = BatchReportOf(names, results, red);
    const UINT icon = report.anyFailed ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
    bool remove = false;
    if (report.question.empty()) {
        ReportBox::Show(shown, report.text, kCaption, icon);
    } else {
        // One report and its offer, in one message where it fits.
        const std::wstring whole = report.text + L"\n\n" + report.question;
        if (!ReportBox::NeedsScrolling(shown, whole)) {
            remove = MessageBoxW(shown, whole.c_str(), kCaption, MB_YESNO | icon) == IDYES;
        } else {
            ReportBox::Show(shown, report.text, kCaption, icon);
            remove = MessageBoxW(shown, report.question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
        }
    }
    closed.Open();
    progress.Destroy();
    if (!remove || !IsWindow(owner)) return;
    std::vector<ProgramEntry> leftovers;
    for (std::size_t at : report.leftovers) leftovers.push_back(chosen[at].entry);
    RemoveProgramEntries(owner, leftovers, refreshList);
}
