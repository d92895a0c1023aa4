#pragma once
// "Check for Upgrade": reads the maker's upgrade page, compares its version
// with the running one, and on the user's yes downloads and installs the
// new version. Lives as long as the main window; the date of the last check
// is stored as "UpgradeDate" when it goes.
//
// One check runs at a time, and closing the dialog (Close, Escape, the
// close box) ends the check or download that runs: its request is given
// up, nothing of it is shown later and nothing is installed. The installed
// copy is uninstalled only once the downloaded installer is proven signed
// for the dialog's public key (the maker's, built in, unless a test gives
// its own).

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "net/HttpFetcher.h"
#include "net/UpgradeKey.h"
#include "net/UpgradePage.h"

struct UpgradeDialogTestAccess;  // the tests' view of the inner steps

class UpgradeDialog : public fw::Dialog {
public:
    static constexpr const char* kInstallerFile = "NewUpdate.exe";
    static constexpr const char* kUninstallerFile = "unins000.exe";

    explicit UpgradeDialog(const UpgradePublicKey& key = BuiltInUpgradeKey());
    ~UpgradeDialog() override;

    void Setup(const std::string& productName, float currentVersion, const std::string& pageUrl);

    // The texts the check shows.
    static std::string UpgradeAvailableText(const std::string& productName, const std::string& description);
    static std::string MostRecentText(float currentVersion);
    static std::string DownloadProblemText();
    // "month day year" of a local date-time in days (OLE date).
    static std::string UpgradeDateText(double date);

protected:
    void OnOK() override { CheckForUpgrade(); }
    void OnCancel() override;

private:
    friend struct UpgradeDialogTestAccess;

    // The OK action: fetch, parse, compare, tell the user.
    void CheckForUpgrade();
    void ParseUpgradePage(const std::vector<std::string>& lines);
    // Downloads the installer into the working directory and proves it
    // with the signature the last parsed page gave, runs the installed
    // copy's uninstaller silently, then the installer, and ends the process.
    // Returns only when the download failed (after saying so) or was
    // cancelled.
    void InstallUpgrade(const std::string& downloadLink);
    void SaveUpgradeDate() const;

    UpgradePublicKey key_;
    bool checking_ = false;
    bool closing_ = false;            // Close was pressed during this check
    HttpFetcher* running_ = nullptr;  // the fetch under way, if any
    float currentVersion_ = 0;
    std::string pageUrl_;
    std::string productName_;
    UpgradePage page_;  // newVersion, description, downloadLink
    HttpFetcher fetcher_;
    double lastCheck_ = 0;
};
