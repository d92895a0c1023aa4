#pragma once
// "Check for Upgrade": reads the maker's upgrade page, compares its version
// with the running one, and on the user's yes downloads and installs the
// new version. Lives as long as the main window; the date of the last check
// is stored as "UpgradeDate" when it goes.

#include <windows.h>

#include <string>

#include "framework/Dialog.h"
#include "net/HttpFetcher.h"
#include "net/UpgradePage.h"

class UpgradeDialog : public fw::Dialog {
public:
    static constexpr const char* kInstallerFile = "NewUpdate.exe";
    static constexpr const char* kUninstallerFile = "unins000.exe";

    UpgradeDialog();
    ~UpgradeDialog() override;

    void Setup(const std::string& productName, float currentVersion, const std::string& pageUrl);

    // The OK action: fetch, parse, compare, tell the user.
    void CheckForUpgrade();
    void ParseUpgradePage(const std::vector<std::string>& lines);
    // Downloads the installer into the working directory, runs the
    // installed copy's uninstaller silently, then the installer, and ends
    // the process. Returns only when the download failed.
    void InstallUpgrade(const std::string& downloadLink);
    void SaveUpgradeDate() const;

    // The texts the check shows.
    static std::string UpgradeAvailableText(const std::string& productName, const std::string& description);
    static std::string MostRecentText(float currentVersion);
    static std::string DownloadProblemText();
    // "month day year" of a local date-time in days (OLE date).
    static std::string UpgradeDateText(double date);

    const UpgradePage& Page() const { return page_; }
    double LastCheck() const { return lastCheck_; }

protected:
    void OnOK() override { CheckForUpgrade(); }

private:
    float currentVersion_ = 0;
    std::string pageUrl_;
    std::string productName_;
    UpgradePage page_;  // newVersion, description, downloadLink
    HttpFetcher fetcher_;
    double lastCheck_ = 0;
};
