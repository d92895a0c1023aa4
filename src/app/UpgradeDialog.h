#pragma once
// "Check for Upgrade": reads the maker's upgrade page, lets the upgrade
// engine judge its offer (UpgradeEngine), and on the user's yes has the
// engine download and install the new version, showing its progress and
// messages. Lives as long as the main window; the date of the last check
// is stored as "UpgradeDate" when it goes.
//
// One check runs at a time, and closing the dialog (Close, Escape, the
// close box) ends the check or download that runs: its request is given
// up, nothing of it is shown later and nothing is installed. Once the new
// version is installed and started, this process ends with exit code 0.
//
// Without an owner (the elevated upgrade step that a window without
// administrator rights starts) it is a window of its own, with the
// program's icon.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "net/HttpFetcher.h"
#include "net/InstalledCopy.h"
#include "net/StatementCheck.h"
#include "net/UpgradeKey.h"
#include "net/UpgradePage.h"
#include "upgrade/UpgradeEngine.h"

struct UpgradeDialogTestAccess;  // the tests' view of the inner steps

class UpgradeDialog : public fw::Dialog {
public:
    explicit UpgradeDialog(const UpgradePublicKey& key = BuiltInUpgradeKey());
    ~UpgradeDialog() override;

    // The product whose upgrades it looks for on `pageUrl`; `currentVersion`
    // in dotted integers ("1.2").
    void SetProduct(const std::string& productName, const std::string& currentVersion, const std::string& pageUrl);
    // This program's name and version, and the maker's upgrade page.
    void SetProductToThisProgram();

    // The texts the check shows.
    static std::string UpgradeAvailableText(const std::string& productName, const std::string& description);
    static std::string MostRecentText(const std::string& currentVersion);
    // The page could not be read; `why` finishes the sentence.
    static std::string CheckFailedText(const std::string& why);
    // "month day year" of a local date-time in days (OLE date).
    static std::string UpgradeDateText(double date);

protected:
    bool OnInitDialog() override;
    void OnOK() override { CheckForUpgrade(); }
    void OnCancel() override;

private:
    friend struct UpgradeDialogTestAccess;

    // The OK action: fetch, parse, compare, tell the user.
    void CheckForUpgrade();
    void ParseUpgradePage(const std::vector<std::string>& lines);
    // The engine's install, its progress and messages shown here; the
    // process ends when the new version is installed.
    void InstallUpgrade(const UpgradeOffer& offer);
    void SaveUpgradeDate() const;

    class InstallUi;
    UpgradeEngine engine_;
    bool checking_ = false;
    bool closing_ = false;            // Close was pressed during this check
    HttpFetcher* running_ = nullptr;  // the fetch under way, if any
    HttpFetcher fetcher_;
    double lastCheck_ = 0;
};
