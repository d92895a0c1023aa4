#include "net/UpgradeDialog.h"

#include <direct.h>
#include <oleauto.h>
#include <process.h>

#include <cstdio>

#include "BuildConfig.h"
#include "UpgradeResource.h"
#include "framework/UniqueHandle.h"
#include "inventory/EntryValidation.h"
#include "net/UpgradeProgressDialog.h"

namespace {
constexpr const char* kProductPage = "http://" ZALTROW_MAKER_HOST "/zaltrow.html";
constexpr std::size_t kWorkingDirectoryChars = 5000;
}  // namespace

UpgradeDialog::UpgradeDialog() : fw::Dialog(IDD_UPGRADE, nullptr) {}

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

void UpgradeDialog::CheckForUpgrade() {
    // A second OK while the page is fetched would start a nested fetch on
    // this thread; the button stays off from here on.
    EnableWindow(Item(IDOK), FALSE);
    {
        UpgradeProgressDialog progress(Hwnd());
        progress.Open();
        ParseUpgradePage(fetcher_.Fetch(pageUrl_));
        progress.Close();
    }

    if (page_.newVersion > currentVersion_) {
        const std::string text = UpgradeAvailableText(productName_, page_.description);
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

    // A file left from an earlier attempt must not pass for this download.
    DeleteFileA(kInstallerFile);
    HttpFetcher downloader;
    downloader.Fetch(downloadLink, kInstallerFile, progress.Hwnd());
    if (FileExists(kInstallerFile) == 0) {
        MessageBoxA(Hwnd(), DownloadProblemText().c_str(), ZALTROW_PRODUCT_NAME, MB_OK | MB_ICONASTERISK);
        progress.Close();
        return;
    }

    progress.SetText("Removing old version ..");
    char folder[kWorkingDirectoryChars + 1] = {};
    const std::string uninstaller =
        std::string(_getcwd(folder, sizeof folder) ? folder : "") + "\\" + kUninstallerFile;
    _spawnl(_P_WAIT, uninstaller.c_str(), uninstaller.c_str(), " /SILENT", nullptr);
    _spawnl(_P_WAIT, kInstallerFile, kInstallerFile, "", nullptr);
    progress.Close();
    DeleteFileA(kInstallerFile);
    ExitProcess(0);
}

void UpgradeDialog::SaveUpgradeDate() const {
    const std::string text = UpgradeDateText(lastCheck_);
    if (text.empty()) return;
    fw::RegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, ("Software\\" + productName_).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        key.release();
        return;
    }
    RegSetValueExA(key.get(), "UpgradeDate", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}
