#include "net/UpgradeDialog.h"

#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "BuildConfig.h"
#include "UpgradeResource.h"
#include "framework/MessageWait.h"
#include "framework/SystemErrorText.h"
#include "framework/TextConversion.h"
#include "framework/UnelevatedStart.h"
#include "framework/UniqueHandle.h"
#include "net/InstallerDownload.h"
#include "net/InstalledCopy.h"
#include "net/ProtectedFolder.h"
#include "net/UpgradeProgressDialog.h"
#include "net/UpgradeStatement.h"
#include "registry/SettingsStore.h"
#include "resource.h"

namespace {
constexpr const char* kProductPage = "http://" ZALTROW_MAKER_HOST "/zaltrow.html";
// The build's architecture, as statements name it.
constexpr const char* kArchitecture = ZALTROW_ARCH_NAME;

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The program an entry names in `folder`, or the setup's own name for it.
std::wstring ProgramFile(const InstalledCopy::Entry& entry, const std::wstring& folder, const std::wstring& product,
                         const std::wstring& version) {
    const std::wstring& named = entry.displayIcon;
    if (!named.empty() && InstalledCopy::SameFolder(named.substr(0, named.find_last_of(L'\\')), folder))
        return named;
    return folder + L"\\" + product + L" " + version + L".exe";
}

int Ask(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

// Clears a pointer to a local when the scope ends, however it ends.
class Tracking {
public:
    Tracking(HttpFetcher*& slot, HttpFetcher& fetcher) : slot_(slot) { slot_ = &fetcher; }
    ~Tracking() { slot_ = nullptr; }
    Tracking(const Tracking&) = delete;
    Tracking& operator=(const Tracking&) = delete;

private:
    HttpFetcher*& slot_;
};

}  // namespace

UpgradeDialog::UpgradeDialog(const UpgradePublicKey& key) : fw::Dialog(IDD_UPGRADE, nullptr), key_(key) {}

UpgradeDialog::~UpgradeDialog() {
    if (lastCheck_ != 0) SaveUpgradeDate();
}

void UpgradeDialog::SetProduct(const std::string& productName, const std::string& currentVersion,
                          const std::string& pageUrl) {
    productName_ = productName;
    currentVersion_ = currentVersion;
    pageUrl_ = pageUrl;
}

void UpgradeDialog::SetProductToThisProgram() {
    SetProduct(ZALTROW_PRODUCT_NAME, ZALTROW_VERSION_TEXT, "http://" ZALTROW_MAKER_HOST "/zaltrow_upgrade_check.html");
}

bool UpgradeDialog::OnInitDialog() {
    // Alone on the screen it has a taskbar button: the program's icon
    // tells whose it is. Icons loaded with LR_SHARED are never destroyed.
    if (!GetWindow(Hwnd(), GW_OWNER)) {
        for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
            const int size = GetSystemMetrics(metric);
            HANDLE icon = LoadImageW(ResourceModule(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, LR_SHARED);
            SendMessageW(Hwnd(), WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        }
    }
    return fw::Dialog::OnInitDialog();
}

std::string UpgradeDialog::UpgradeAvailableText(const std::string& productName, const std::string& description) {
    return "A new upgrade of " + productName + " is available for download.\n\nDescription:\n\n" + description +
           "\n\nWould you like to download the upgrade now?";
}

std::string UpgradeDialog::MostRecentText(const std::string& currentVersion) {
    char number[64];
    std::snprintf(number, sizeof number, "%.2f", std::strtod(currentVersion.c_str(), nullptr));
    return std::string("You have the most recent version v") + number + ".\nNo upgrade is available.";
}

std::string UpgradeDialog::DownloadProblemText() {
    return std::string("There was a problem while downloading the update for your software. Your current version "
                       "is still installed.\n\nYou can manually upgrade your software by visiting ") +
           kProductPage + " and clicking Download Evaluation to obtain the latest version.";
}

std::string UpgradeDialog::CheckFailedText(const std::string& why) {
    return "The check for an upgrade failed: " + why +
           ".\n\nWhether a newer version exists is not known. Try again later, or visit " + kProductPage + ".";
}

std::wstring UpgradeDialog::NotTheInstalledCopyText(const std::wstring& registered, const std::wstring& own) {
    const std::wstring product = fw::WidenUtf8(ZALTROW_PRODUCT_NAME);
    std::wstring text = L"The upgrade was not started, and nothing was changed.\n\n";
    if (registered.empty())
        text += L"This copy of " + product + L" runs from\n" + own + L"\nbut no " + product +
                L" is registered as installed on this computer.";
    else
        text += product + L" is registered as installed in\n" + registered + L"\nbut this copy runs from\n" + own +
                L"\n\nStart the installed " + product + L" from the Start menu and upgrade it from there.";
    return text;
}

std::wstring UpgradeDialog::StandingText(const std::string& productName, const std::string& version,
                                         const std::optional<InstalledCopy::Entry>& entry,
                                         const std::wstring& folder) {
    const std::wstring product = fw::WidenUtf8(productName);
    if (!entry) return L"No " + product + L" is registered as installed any more.";
    const std::wstring program = ProgramFile(*entry, entry->installLocation, product, entry->displayVersion);
    if (InstalledCopy::SameFolder(entry->installLocation, folder) && SameVersion(entry->displayVersion, version) &&
        IsFile(program))
        return product + L" " + fw::WidenUtf8(version) + L" is still installed and works as before.";
    std::wstring text = product + L" " + entry->displayVersion + L" is now registered as installed in\n" +
                        entry->installLocation;
    if (!IsFile(program)) text += L"\nbut its program file " + program + L" is missing";
    return text + L".";
}

std::wstring UpgradeDialog::SetupFailedText(const std::string& productName, const std::string& newVersion,
                                            const std::wstring& detail, const std::wstring& standing,
                                            const std::wstring& kept) {
    return L"The upgrade to " + fw::WidenUtf8(productName) + L" " + fw::WidenUtf8(newVersion) + L" could not be installed: " +
           detail + L"\n\n" + standing + L"\n\nThe downloaded setup, checked against the maker's "
           L"signature, is kept in\n" +
           kept + L"\nYou can run it yourself later.";
}

std::wstring UpgradeDialog::SetupStillRunningText(const std::string& productName, const std::string& installedVersion,
                                                  const std::string& newVersion) {
    return fw::WidenUtf8(productName + " " + newVersion + "'s setup is still running; " + productName + " no longer waits for it. " +
                productName + " " + installedVersion + " stays installed until the setup replaces it: when the setup " +
                "has finished, " + productName + " " + newVersion + " is installed if it succeeded. Start " +
                productName + " again from the Start menu then.");
}

std::wstring UpgradeDialog::InstalledText(const std::string& productName, const std::string& newVersion,
                                          const std::wstring& folder) {
    return fw::WidenUtf8(productName) + L" " + fw::WidenUtf8(newVersion) + L" is now installed in\n" + folder +
           L"\n\nIt starts now.";
}

std::string UpgradeDialog::UpgradeDateText(double date) {
    SYSTEMTIME time{};
    if (!VariantTimeToSystemTime(date, &time)) return {};
    return std::to_string(time.wMonth) + " " + std::to_string(time.wDay) + " " + std::to_string(time.wYear);
}

void UpgradeDialog::ParseUpgradePage(const std::vector<std::string>& lines) { ::ParseUpgradePage(lines, page_); }

void UpgradeDialog::OnCancel() {
    // Closing while a fetch runs ends it: the fetch returns at once as
    // cancelled, and the check returns without a word.
    closing_ = true;
    if (running_) running_->Cancel();
    EndDialog(IDCANCEL);
}

void UpgradeDialog::CheckForUpgrade() {
    // One check at a time: OK stays off from here on, and a press that
    // still reaches this (a queued one) does nothing.
    if (checking_) return;
    struct Guard {
        explicit Guard(bool& flag) : flag(flag) { flag = true; }
        ~Guard() { flag = false; }
        bool& flag;
    } guard(checking_);
    closing_ = false;
    EnableWindow(Item(IDOK), FALSE);
    {
        UpgradeProgressDialog progress(Hwnd());
        progress.Open();
        {
            Tracking tracking(running_, fetcher_);
            fetcher_.Fetch(pageUrl_);
        }
        progress.Close();
        if (fetcher_.Outcome() == FetchOutcome::Cancelled) return;  // the dialog is closing
        if (fetcher_.Outcome() != FetchOutcome::Complete) {
            // Not "the most recent version": nothing is known about that.
            const std::string why = fetcher_.Failure().empty() ? "the page could not be read" : fetcher_.Failure();
            // The check may be tried again: OK is back before the message.
            EnableWindow(Item(IDOK), TRUE);
            MessageBoxA(Hwnd(), CheckFailedText(why).c_str(), ZALTROW_MESSAGE_CAPTION, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        ParseUpgradePage(fetcher_.Lines());
    }

    const std::optional<UpgradeOffer> offer =
        StatementCheck(key_, ZALTROW_PRODUCT_NAME, kArchitecture).BestOffer(page_.statements);
    const std::optional<std::vector<std::uint32_t>> running = ParseDottedVersion(currentVersion_);
    const bool newer = offer && running && CompareVersions(*ParseDottedVersion(offer->statement.version), *running) > 0;
    // An announcement that no valid statement of this build backs: perhaps
    // unsigned or tampered with, perhaps for another build only.
    const bool unbacked = !offer && (!page_.statements.empty() ||
                                     page_.newVersion > static_cast<float>(std::strtod(currentVersion_.c_str(), nullptr)));
    if (newer) {
        // Cut to fit the screen; the statement's description itself is kept whole.
        const std::string text = UpgradeAvailableText(productName_, ShownDescription(offer->statement.description));
        if (Ask(Hwnd(), fw::WidenUtf8(text), L"A new upgrade is available.", MB_YESNO) == IDYES)
            InstallUpgrade(*offer);
        else
            EndDialog(IDCANCEL);
    } else if (unbacked) {
        MessageBoxA(Hwnd(), DownloadProblemText().c_str(), ZALTROW_MESSAGE_CAPTION, MB_OK | MB_ICONASTERISK);
    } else {
        MessageBoxA(Hwnd(), MostRecentText(currentVersion_).c_str(), productName_.c_str(), MB_OK);
    }

    EnableWindow(Item(IDOK), FALSE);
    SendMessageA(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDCANCEL)), TRUE);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    SystemTimeToVariantTime(&now, &lastCheck_);
}

UpgradeDialog::SetupRun UpgradeDialog::RunSetup(const std::wstring& setup, const std::wstring& folder,
                                                const std::function<bool()>& stopWaiting) {
    SetupRun run;
    // NSIS takes the folder after /D= as the rest of the line, unquoted.
    std::wstring command = L"\"" + setup + L"\" /S /D=" + folder;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const std::wstring setupFolder = setup.substr(0, setup.find_last_of(L'\\'));
    if (!CreateProcessW(setup.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, setupFolder.c_str(),
                        &startup, &started))
        return run;
    run.started = true;
    const fw::KernelHandle process(started.hProcess);
    const fw::KernelHandle thread(started.hThread);
    // No time limit: a setup may take as long as it takes. The window
    // thread keeps handling its messages, so nothing is "not responding".
    if (fw::WaitHandlingMessages(process.get(), stopWaiting) != fw::WaitEnd::Signalled) return run;
    run.ended = GetExitCodeProcess(process.get(), &run.code) != FALSE;
    return run;
}

void UpgradeDialog::InstallUpgrade(const UpgradeOffer& offer) {
    const UpgradeStatement& statement = offer.statement;
    // Only the installed copy upgrades, in its own folder: the folder of
    // this program's file, when its entry names it.
    const std::wstring product = fw::WidenUtf8(ZALTROW_PRODUCT_NAME);
    const std::wstring folder = InstalledCopy::ProgramFolder();
    const std::optional<InstalledCopy::Entry> entry = InstalledCopy::ReadEntry(product);
    if (!entry || !InstalledCopy::SameFolder(entry->installLocation, folder)) {
        Ask(Hwnd(), NotTheInstalledCopyText(entry ? entry->installLocation : std::wstring(), folder),
            fw::WidenUtf8(ZALTROW_MESSAGE_CAPTION), MB_OK | MB_ICONSTOP);
        return;
    }

    UpgradeProgressDialog progress(Hwnd());
    progress.Open("Upgrading Software");

    const std::wstring setupName = product + L"-" + fw::WidenUtf8(statement.version) +
                                   (statement.architecture == "x86_64" ? L"-x64" : L"") + L"-Setup.exe";
    const ProtectedFolder download(product + L" upgrade " + fw::WidenUtf8(statement.version));
    InstallerDownload installer(download.Path() + L"\\" + setupName);
    InstallerDownload::Result result = InstallerDownload::Result::Failed;
    if (!download.Path().empty()) {
        HttpFetcher downloader;
        Tracking tracking(running_, downloader);
        result = installer.Run(downloader, offer.link, statement, progress.ProgressText());
    }
    if (result == InstallerDownload::Result::Proven) {
        // A Close pressed while the file was being proven still counts;
        // so does the program being asked to end.
        std::optional<int> quit;
        fw::HandleQueuedMessages(quit);
        if (quit) PostQuitMessage(*quit);
        if (closing_ || quit) {
            installer.Release();
            result = InstallerDownload::Result::Cancelled;
        }
    }
    if (result != InstallerDownload::Result::Proven) {
        download.Remove(setupName);
        progress.Close();
        if (download.Path().empty()) {
            // Not the download's fault: there was nowhere safe to put it.
            Ask(Hwnd(), L"The upgrade could not make a folder for its download under the program data folder: " +
                            fw::SystemErrorText(download.Error()),
                fw::WidenUtf8(ZALTROW_MESSAGE_CAPTION), MB_OK | MB_ICONSTOP);
        } else if (result == InstallerDownload::Result::Failed) {
            MessageBoxA(Hwnd(), DownloadProblemText().c_str(), ZALTROW_MESSAGE_CAPTION, MB_OK | MB_ICONASTERISK);
        }
        return;
    }

    // Install first: the setup replaces the old version in this folder
    // itself. The proven file stays held open (readable, not changeable)
    // while it runs.
    progress.SetText(("Installing " + productName_ + " " + statement.version + ": " + fw::Narrow(setupName) +
                      " is running. Close stops waiting for it.")
                         .c_str());
    const SetupRun run = RunSetup(installer.File(), folder, [this] { return closing_; });
    if (run.started && !run.ended) {
        // Left to finish on its own: what it does decides what is installed.
        progress.Close();
        Ask(Hwnd(), SetupStillRunningText(productName_, currentVersion_, statement.version),
            fw::WidenUtf8(ZALTROW_MESSAGE_CAPTION), MB_OK | MB_ICONINFORMATION);
        return;
    }
    installer.Release();
    progress.Close();
    // Installed means so by the entry and by the file, as dotted numbers
    // (1.3.0 is 1.3), not by what the setup was asked to do.
    const std::optional<InstalledCopy::Entry> after = InstalledCopy::ReadEntry(product);
    const std::wstring program = after ? ProgramFile(*after, folder, product, fw::WidenUtf8(statement.version)) : L"";
    const bool registered = after && SameVersion(after->displayVersion, statement.version) &&
                            InstalledCopy::SameFolder(after->installLocation, folder) && IsFile(program);
    if (!run.started || run.code != 0 || !registered) {
        std::wstring detail;
        if (!run.started) detail = L"its setup could not be started.";
        else if (run.code != 0) detail = L"its setup ended with code " + std::to_wstring(run.code) + L".";
        else detail = L"its setup ended, but the new version is not registered as installed.";
        Ask(Hwnd(),
            SetupFailedText(productName_, statement.version, detail,
                            StandingText(productName_, currentVersion_, after, folder), download.Path()),
            fw::WidenUtf8(ZALTROW_MESSAGE_CAPTION), MB_OK | MB_ICONSTOP);
        return;
    }

    Ask(Hwnd(), InstalledText(productName_, statement.version, folder), fw::WidenUtf8(ZALTROW_MESSAGE_CAPTION),
        MB_OK | MB_ICONINFORMATION);
    download.Remove(setupName);
    // As the user: the new version must not inherit this process's
    // administrator rights.
    if (fw::UnelevatedStart::Start(program, {}, folder).error != ERROR_SUCCESS) {
        Ask(Hwnd(), L"The new version could not be started. Start it from the Start menu.",
            fw::WidenUtf8(ZALTROW_MESSAGE_CAPTION), MB_OK | MB_ICONSTOP);
    }
    // The old version's windows go with the process; nothing of it is saved.
    ExitProcess(0);
}

void UpgradeDialog::SaveUpgradeDate() const {
    const std::string text = UpgradeDateText(lastCheck_);
    if (text.empty()) return;
    SettingsStore().WriteString(productName_, "UpgradeDate", text);
}
