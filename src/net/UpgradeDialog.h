#pragma once
// "Check for Upgrade": reads the maker's upgrade page, compares its version
// with the running one, and on the user's yes downloads and installs the
// new version. Lives as long as the main window; the date of the last check
// is stored as "UpgradeDate" when it goes.
//
// The page's offer is its signed statement for this product and this
// build's architecture (StatementCheck), checked with the dialog's public
// key (the maker's, built in, unless a test gives its own); only a version
// above the running one is offered, with the statement's description. A
// page that announces an upgrade without such a statement gets the
// download problem message.
//
// One check runs at a time, and closing the dialog (Close, Escape, the
// close box) ends the check or download that runs: its request is given
// up, nothing of it is shown later and nothing is installed.
//
// The upgrade installs, then removes, never the reverse: the proven setup
// runs silently into the running copy's own folder and replaces the old
// version itself. Only a setup that returned 0 and left the new version
// registered counts; then the new version is started as the signed-in
// user (never with this process's administrator rights) and this one ends
// with exit code 0.
//
// Without an owner (the elevated upgrade step that a window without
// administrator rights starts) it is a window of its own, with the
// program's icon.
// Otherwise the installed copy is as it was, and the user is told where
// the proven setup is kept.

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

    // What became of a setup started and waited for.
    struct SetupRun {
        bool started = false;
        bool ended = false;  // false: the wait was stopped while it ran on
        DWORD code = 1;
    };

    // The texts the check shows.
    static std::string UpgradeAvailableText(const std::string& productName, const std::string& description);
    static std::string MostRecentText(const std::string& currentVersion);
    static std::string DownloadProblemText();
    // The page could not be read; `why` finishes the sentence.
    static std::string CheckFailedText(const std::string& why);
    // The running copy's folder is not the one its entry names (`registered`
    // empty: there is no entry).
    static std::wstring NotTheInstalledCopyText(const std::wstring& registered, const std::wstring& own);
    // The setup failed (`detail` says how); `standing` says what is installed
    // now (StandingText); the proven setup is kept at `kept`.
    static std::wstring SetupFailedText(const std::string& productName, const std::string& newVersion,
                                        const std::wstring& detail, const std::wstring& standing,
                                        const std::wstring& kept);
    // What is installed, as the entry `entry` (none: no entry) and the
    // program file it names show it, for a copy that ran from `folder` as
    // version `version`.
    static std::wstring StandingText(const std::string& productName, const std::string& version,
                                     const std::optional<InstalledCopy::Entry>& entry, const std::wstring& folder);
    static std::wstring InstalledText(const std::string& productName, const std::string& newVersion,
                                      const std::wstring& folder);
    // Close was pressed while the setup ran: where things stand.
    static std::wstring SetupStillRunningText(const std::string& productName, const std::string& installedVersion,
                                              const std::string& newVersion);
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
    // Downloads the offer's setup into a new protected folder, proves it,
    // runs it silently into the running copy's folder and, when the new
    // version is registered, starts it and ends the process. Returns after
    // saying why it did not (or without a word, when cancelled).
    void InstallUpgrade(const UpgradeOffer& offer);
    // Runs the proven setup silently into `folder` and waits for it as long
    // as it runs, handling this thread's messages meanwhile (the windows stay
    // alive and Close works), until `stopWaiting` says to stop first; the
    // setup is then left to run on.
    static SetupRun RunSetup(const std::wstring& setup, const std::wstring& folder,
                             const std::function<bool()>& stopWaiting);
    void SaveUpgradeDate() const;

    UpgradePublicKey key_;
    bool checking_ = false;
    bool closing_ = false;            // Close was pressed during this check
    HttpFetcher* running_ = nullptr;  // the fetch under way, if any
    std::string currentVersion_;
    std::string pageUrl_;
    std::string productName_;
    UpgradePage page_;  // newVersion, description, downloadLink, statements
    HttpFetcher fetcher_;
    double lastCheck_ = 0;
};
