#include "net/UpgradeDialog.h"

#include <direct.h>
#include <oleauto.h>
#include <process.h>

#include <cstdio>

#include "BuildConfig.h"
#include "UpgradeResource.h"
#include "net/InstallerDownload.h"
#include "net/UpgradeProgressDialog.h"
#include "registry/SettingsStore.h"

namespace {
constexpr const char* kProductPage = "http://" ZALTROW_MAKER_HOST "/zaltrow.html";
constexpr std::size_t kWorkingDirectoryChars = 5000;

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

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

void UpgradeDialog::Setup(const std::string& productName, float currentVersion, const std::string& pageUrl) {
    productName_ = productName;
    currentVersion_ = currentVersion;
    pageUrl_ = pageUrl;
}

std::string UpgradeDialog::UpgradeAvailableText(const std::string& productName, const std::string& description) {
    return "A new upgrade of " + productName + " is available for download.\n\nDescription:\n\n" + description +
           "\n\nWould you like to download the upgrade now?";
}

std::string UpgradeDialog::MostRecentText(float currentVersion) {
    char number[64];
    std::snprintf(number, sizeof number, "%.2f", static_cast<double>(currentVersion));
    return std::string("You have the most recent version v") + number + ".\nNo upgrade is available.";
}

std::string UpgradeDialog::DownloadProblemText() {
    return std::string("There was a problem while downloading the update for your software. Your current version "
                       "is still installed.\n\nYou can manually upgrade your software by visiting ") +
           kProductPage + " and clicking Download Evaluation to obtain the latest version.";
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
        ParseUpgradePage(fetcher_.Lines());
    }

    if (page_.newVersion > currentVersion_) {
        // Cut to fit the screen; the page's description itself is kept whole.
        const std::string text = UpgradeAvailableText(productName_, ShownDescription(page_.description, IsLeadByte));
        if (MessageBoxA(Hwnd(), text.c_str(), "A new upgrade is available.", MB_YESNO) == IDYES)
            InstallUpgrade(page_.downloadLink);
        else
            EndDialog(IDCANCEL);
    } else {
        MessageBoxA(Hwnd(), MostRecentText(currentVersion_).c_str(), productName_.c_str(), MB_OK);
    }

    EnableWindow(Item(IDOK), FALSE);
    SendMessageA(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDCANCEL)), TRUE);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    SystemTimeToVariantTime(&now, &lastCheck_);
}

void UpgradeDialog::InstallUpgrade(const std::string& downloadLink) {
    UpgradeProgressDialog progress(Hwnd());
    progress.Open("Upgrading Software");

    HttpFetcher downloader;
    InstallerDownload installer(key_, kInstallerFile);
    InstallerDownload::Result result;
    {
        Tracking tracking(running_, downloader);
        result = installer.Run(downloader, downloadLink, page_.signature, progress.ProgressText(), Hwnd());
    }
    if (result == InstallerDownload::Result::Proven) {
        // A Close pressed while the file was being proven still counts;
        // so does the program being asked to end.
        HttpFetcher::PumpMessages();
        MSG quit;
        if (closing_ || PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) {
            installer.Release();
            DeleteFileA(kInstallerFile);
            result = InstallerDownload::Result::Cancelled;
        }
    }
    if (result == InstallerDownload::Result::Cancelled) {
        progress.Close();
        return;
    }
    if (result != InstallerDownload::Result::Proven) {
        MessageBoxA(Hwnd(), DownloadProblemText().c_str(), ZALTROW_MESSAGE_CAPTION, MB_OK | MB_ICONASTERISK);
        progress.Close();
        return;
    }

    // From here on there is no way back. The installer stays held open
    // (readable, not changeable) until it has run.
    progress.SetText("Removing old version ..");
    char folder[kWorkingDirectoryChars + 1] = {};
    const std::string uninstaller =
        std::string(_getcwd(folder, sizeof folder) ? folder : "") + "\\" + kUninstallerFile;
    _spawnl(_P_WAIT, uninstaller.c_str(), uninstaller.c_str(), " /SILENT", nullptr);
    _spawnl(_P_WAIT, kInstallerFile, kInstallerFile, "", nullptr);
    progress.Close();
    installer.Release();
    DeleteFileA(kInstallerFile);
    ExitProcess(0);
}

void UpgradeDialog::SaveUpgradeDate() const {
    const std::string text = UpgradeDateText(lastCheck_);
    if (text.empty()) return;
    SettingsStore().WriteString(productName_, "UpgradeDate", text);
}
