#include "upgrade/UpgradeEngine.h"

#include <cstdlib>
#include <utility>

#include "BuildConfig.h"
#include "framework/MessageWait.h"
#include "framework/SystemErrorText.h"
#include "framework/TextConversion.h"
#include "framework/UnelevatedStart.h"
#include "framework/UniqueHandle.h"
#include "net/InstallerDownload.h"
#include "net/ProtectedFolder.h"
#include "net/UpgradeStatement.h"

namespace {

constexpr const char* kProductPage = "http://" ZALTROW_MAKER_HOST "/zaltrow.html";
// The build's architecture, as statements name it.
constexpr const char* kArchitecture = ZALTROW_ARCH_NAME;
using Notice = UpgradeUi::Notice;

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

// Tells the UI which fetch runs for as long as the scope lasts.
class Fetching {
public:
    Fetching(UpgradeUi& ui, HttpFetcher& fetcher) : ui_(ui) { ui_.Fetching(&fetcher); }
    ~Fetching() { ui_.Fetching(nullptr); }
    Fetching(const Fetching&) = delete;
    Fetching& operator=(const Fetching&) = delete;

private:
    UpgradeUi& ui_;
};

}  // namespace

UpgradeEngine::UpgradeEngine(const UpgradePublicKey& key) : key_(key) {}

void UpgradeEngine::SetProduct(const std::string& productName, const std::string& currentVersion,
                               const std::string& pageUrl) {
    productName_ = productName;
    currentVersion_ = currentVersion;
    pageUrl_ = pageUrl;
}

const char* UpgradeEngine::ProductPage() { return kProductPage; }

void UpgradeEngine::ParsePage(const std::vector<std::string>& lines) { ParseUpgradePage(lines, page_); }

UpgradeEngine::Answer UpgradeEngine::Judge() const {
    Answer answer;
    const std::optional<UpgradeOffer> offer =
        StatementCheck(key_, ZALTROW_PRODUCT_NAME, kArchitecture).BestOffer(page_.statements);
    const std::optional<std::vector<std::uint32_t>> running = ParseDottedVersion(currentVersion_);
    if (offer && running && CompareVersions(*ParseDottedVersion(offer->statement.version), *running) > 0) {
        answer.verdict = Verdict::Newer;
        answer.offer = offer;
    } else if (!offer && (!page_.statements.empty() ||
                          page_.newVersion > static_cast<float>(std::strtod(currentVersion_.c_str(), nullptr)))) {
        answer.verdict = Verdict::Unbacked;
    }
    return answer;
}

std::string UpgradeEngine::DownloadProblemText() {
    return std::string("There was a problem while downloading the update for your software. Your current version "
                       "is still installed.\n\nYou can manually upgrade your software by visiting ") +
           kProductPage + " and clicking Download Evaluation to obtain the latest version.";
}

std::wstring UpgradeEngine::NotTheInstalledCopyText(const std::wstring& registered, const std::wstring& own) {
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

std::wstring UpgradeEngine::StandingText(const std::string& productName, const std::string& version,
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

std::wstring UpgradeEngine::SetupFailedText(const std::string& productName, const std::string& newVersion,
                                            const std::wstring& detail, const std::wstring& standing,
                                            const std::wstring& kept) {
    return L"The upgrade to " + fw::WidenUtf8(productName) + L" " + fw::WidenUtf8(newVersion) + L" could not be installed: " +
           detail + L"\n\n" + standing + L"\n\nThe downloaded setup, checked against the maker's "
           L"signature, is kept in\n" +
           kept + L"\nYou can run it yourself later.";
}

std::wstring UpgradeEngine::SetupStillRunningText(const std::string& productName, const std::string& installedVersion,
                                                  const std::string& newVersion) {
    return fw::WidenUtf8(productName + " " + newVersion + "'s setup is still running; " + productName + " no longer waits for it. " +
                productName + " " + installedVersion + " stays installed until the setup replaces it: when the setup " +
                "has finished, " + productName + " " + newVersion + " is installed if it succeeded. Start " +
                productName + " again from the Start menu then.");
}

std::wstring UpgradeEngine::InstalledText(const std::string& productName, const std::string& newVersion,
                                          const std::wstring& folder) {
    return fw::WidenUtf8(productName) + L" " + fw::WidenUtf8(newVersion) + L" is now installed in\n" + folder +
           L"\n\nIt starts now.";
}

UpgradeEngine::SetupRun UpgradeEngine::RunSetup(const std::wstring& setup, const std::wstring& folder,
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

bool UpgradeEngine::Install(const UpgradeOffer& offer, UpgradeUi& ui) const {
    const UpgradeStatement& statement = offer.statement;
    // Only the installed copy upgrades, in its own folder: the folder of
    // this program's file, when its entry names it.
    const std::wstring product = fw::WidenUtf8(ZALTROW_PRODUCT_NAME);
    const std::wstring folder = InstalledCopy::ProgramFolder();
    const std::optional<InstalledCopy::Entry> entry = InstalledCopy::ReadEntry(product);
    if (!entry || !InstalledCopy::SameFolder(entry->installLocation, folder)) {
        ui.Tell(NotTheInstalledCopyText(entry ? entry->installLocation : std::wstring(), folder), Notice::Stop);
        return false;
    }

    ui.OpenProgress("Upgrading Software");

    const std::wstring setupName = product + L"-" + fw::WidenUtf8(statement.version) +
                                   (statement.architecture == "x86_64" ? L"-x64" : L"") + L"-Setup.exe";
    const ProtectedFolder download(product + L" upgrade " + fw::WidenUtf8(statement.version));
    InstallerDownload installer(download.Path() + L"\\" + setupName);
    InstallerDownload::Result result = InstallerDownload::Result::Failed;
    if (!download.Path().empty()) {
        HttpFetcher downloader;
        downloader.ShowProblemsWith(ui.ProblemNotice());
        const Fetching fetching(ui, downloader);
        result = installer.Run(downloader, offer.link, statement, ui.ProgressText());
    }
    if (result == InstallerDownload::Result::Proven) {
        // A Close pressed while the file was being proven still counts;
        // so does the program being asked to end.
        std::optional<int> quit;
        fw::HandleQueuedMessages(quit);
        if (quit) PostQuitMessage(*quit);
        if (ui.StopRequested() || quit) {
            installer.Release();
            result = InstallerDownload::Result::Cancelled;
        }
    }
    if (result != InstallerDownload::Result::Proven) {
        download.Remove(setupName);
        ui.CloseProgress();
        if (download.Path().empty()) {
            // Not the download's fault: there was nowhere safe to put it.
            ui.Tell(L"The upgrade could not make a folder for its download under the program data folder: " +
                        fw::SystemErrorText(download.Error()),
                    Notice::Stop);
        } else if (result == InstallerDownload::Result::Failed) {
            ui.Tell(fw::WidenUtf8(DownloadProblemText()), Notice::Asterisk);
        }
        return false;
    }

    // Install first: the setup replaces the old version in this folder
    // itself. The proven file stays held open (readable, not changeable)
    // while it runs.
    ui.SetProgressText("Installing " + productName_ + " " + statement.version + ": " + fw::Narrow(setupName) +
                       " is running. Close stops waiting for it.");
    const SetupRun run = RunSetup(installer.File(), folder, [&ui] { return ui.StopRequested(); });
    if (run.started && !run.ended) {
        // Left to finish on its own: what it does decides what is installed.
        ui.CloseProgress();
        ui.Tell(SetupStillRunningText(productName_, currentVersion_, statement.version), Notice::Information);
        return false;
    }
    installer.Release();
    ui.CloseProgress();
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
        ui.Tell(SetupFailedText(productName_, statement.version, detail,
                                StandingText(productName_, currentVersion_, after, folder), download.Path()),
                Notice::Stop);
        return false;
    }

    ui.Tell(InstalledText(productName_, statement.version, folder), Notice::Information);
    download.Remove(setupName);
    // As the user: the new version must not inherit this process's
    // administrator rights.
    if (fw::UnelevatedStart::Start(program, {}, folder).error != ERROR_SUCCESS) {
        ui.Tell(L"The new version could not be started. Start it from the Start menu.", Notice::Stop);
    }
    return true;
}

