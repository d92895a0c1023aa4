#include "app/UpgradeDialog.h"

#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

#include "BuildConfig.h"
#include "UpgradeResource.h"
#include "framework/SystemErrorText.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "net/InstalledCopy.h"
#include "app/MessageBoxNotice.h"
#include "app/UpgradeProgressDialog.h"
#include "net/UpgradeStatement.h"
#include "registry/SettingsStore.h"
#include "resource.h"

namespace {

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

// The install's progress window and messages, over this dialog.
class UpgradeDialog::InstallUi : public UpgradeUi {
public:
    explicit InstallUi(UpgradeDialog& dialog) : dialog_(dialog) {}
    void OpenProgress(const char* caption) override {
        progress_ = std::make_unique<UpgradeProgressDialog>(dialog_.Hwnd());
        progress_->Open(caption);
    }
    DownloadProgress ProgressText() override { return progress_ ? progress_->ProgressText() : DownloadProgress(); }
    void SetProgressText(const std::string& text) override {
        if (progress_) progress_->SetText(text.c_str());
    }
    void CloseProgress() override {
        if (progress_) progress_->Close();
    }
    void Tell(const std::wstring& text, Notice notice) override {
        const UINT icon = notice == Notice::Stop ? MB_ICONSTOP
                          : notice == Notice::Information ? MB_ICONINFORMATION : MB_ICONASTERISK;
        Ask(dialog_.Hwnd(), text, fw::WidenUtf8(ZALTROW_MESSAGE_CAPTION), MB_OK | icon);
    }
    bool StopRequested() override { return dialog_.closing_; }
    void Fetching(HttpFetcher* fetcher) override { dialog_.running_ = fetcher; }
    FetchNotice ProblemNotice() override { return MessageBoxNotice(); }

private:
    UpgradeDialog& dialog_;
    std::unique_ptr<UpgradeProgressDialog> progress_;
};

UpgradeDialog::UpgradeDialog(const UpgradePublicKey& key) : fw::Dialog(IDD_UPGRADE, nullptr), engine_(key) {
    fetcher_.ShowProblemsWith(MessageBoxNotice());
}

UpgradeDialog::~UpgradeDialog() {
    if (lastCheck_ != 0) SaveUpgradeDate();
}

void UpgradeDialog::SetProduct(const std::string& productName, const std::string& currentVersion,
                          const std::string& pageUrl) {
    engine_.SetProduct(productName, currentVersion, pageUrl);
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

std::string UpgradeDialog::CheckFailedText(const std::string& why) {
    return "The check for an upgrade failed: " + why +
           ".\n\nWhether a newer version exists is not known. Try again later, or visit " + UpgradeEngine::ProductPage() + ".";
}

std::string UpgradeDialog::UpgradeDateText(double date) {
    SYSTEMTIME time{};
    if (!VariantTimeToSystemTime(date, &time)) return {};
    return std::to_string(time.wMonth) + " " + std::to_string(time.wDay) + " " + std::to_string(time.wYear);
}

void UpgradeDialog::ParseUpgradePage(const std::vector<std::string>& lines) { engine_.ParsePage(lines); }

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
            fetcher_.Fetch(engine_.PageUrl());
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

    const UpgradeEngine::Answer answer = engine_.Judge();
    if (answer.verdict == UpgradeEngine::Verdict::Newer) {
        // Cut to fit the screen; the statement's description itself is kept whole.
        const std::string text =
            UpgradeAvailableText(engine_.ProductName(), ShownDescription(answer.offer->statement.description));
        if (Ask(Hwnd(), fw::WidenUtf8(text), L"A new upgrade is available.", MB_YESNO) == IDYES)
            InstallUpgrade(*answer.offer);
        else
            EndDialog(IDCANCEL);
    } else if (answer.verdict == UpgradeEngine::Verdict::Unbacked) {
        MessageBoxA(Hwnd(), UpgradeEngine::DownloadProblemText().c_str(), ZALTROW_MESSAGE_CAPTION,
                    MB_OK | MB_ICONASTERISK);
    } else {
        MessageBoxA(Hwnd(), MostRecentText(engine_.CurrentVersion()).c_str(), engine_.ProductName().c_str(), MB_OK);
    }

    EnableWindow(Item(IDOK), FALSE);
    SendMessageA(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDCANCEL)), TRUE);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    SystemTimeToVariantTime(&now, &lastCheck_);
}

void UpgradeDialog::InstallUpgrade(const UpgradeOffer& offer) {
    InstallUi ui(*this);
    // The old version's windows go with the process; nothing of it is saved.
    if (engine_.Install(offer, ui)) ExitProcess(0);
}

void UpgradeDialog::SaveUpgradeDate() const {
    const std::string text = UpgradeDateText(lastCheck_);
    if (text.empty()) return;
    SettingsStore().WriteString(engine_.ProductName(), "UpgradeDate", text);
}
