#pragma once
// The upgrade without its windows: which offer of the maker's page this
// program takes, and the install of it - download into a new protected
// folder, proof, the setup run silently into the running copy's folder,
// and the check that the new version is registered there. What a person
// sees of it goes through UpgradeUi, which the window's dialogs implement.
//
// The upgrade installs, then removes, never the reverse: only a setup that
// returned 0 and left the new version registered counts; then the new
// version is started as the signed-in user (never with this process's
// administrator rights). Otherwise the installed copy is as it was, and the
// user is told where the proven setup is kept.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "net/DownloadProgress.h"
#include "net/FetchNotice.h"
#include "net/HttpFetcher.h"
#include "net/InstalledCopy.h"
#include "net/StatementCheck.h"
#include "net/UpgradeKey.h"
#include "net/UpgradePage.h"

// What the install shows and asks while it runs.
class UpgradeUi {
public:
    enum class Notice { Stop, Information, Asterisk };
    virtual ~UpgradeUi() = default;
    // The progress window, open from OpenProgress to CloseProgress.
    virtual void OpenProgress(const char* caption) = 0;
    virtual DownloadProgress ProgressText() = 0;
    virtual void SetProgressText(const std::string& text) = 0;
    virtual void CloseProgress() = 0;
    // A message the person reads and dismisses.
    virtual void Tell(const std::wstring& text, Notice notice) = 0;
    // Close was pressed: whatever runs stops.
    virtual bool StopRequested() = 0;
    // The fetch under way, or null; a Close cancels it.
    virtual void Fetching(HttpFetcher* fetcher) = 0;
    // How the download's worker shows a problem it meets.
    virtual FetchNotice ProblemNotice() = 0;
};

class UpgradeEngine {
public:
    explicit UpgradeEngine(const UpgradePublicKey& key);

    // `currentVersion` in dotted integers ("1.2").
    void SetProduct(const std::string& productName, const std::string& currentVersion, const std::string& pageUrl);
    const std::string& ProductName() const { return productName_; }
    const std::string& CurrentVersion() const { return currentVersion_; }
    const std::string& PageUrl() const { return pageUrl_; }

    // The page's lines, read into Page().
    void ParsePage(const std::vector<std::string>& lines);
    const UpgradePage& Page() const { return page_; }

    // The page's offer for this product and this build's architecture
    // (StatementCheck), checked with the engine's key: Newer only for a
    // version above the running one; Unbacked for a page that announces an
    // upgrade without such a statement (perhaps unsigned or tampered with,
    // perhaps for another build only).
    enum class Verdict { Newer, Unbacked, Current };
    struct Answer {
        Verdict verdict = Verdict::Current;
        std::optional<UpgradeOffer> offer;  // for Newer
    };
    Answer Judge() const;

    // Downloads, proves and installs the offer, saying so through `ui`.
    // True when the new version is installed and was started (or said it
    // could not be): this process should end now.
    bool Install(const UpgradeOffer& offer, UpgradeUi& ui) const;

    // What became of a setup started and waited for.
    struct SetupRun {
        bool started = false;
        bool ended = false;  // false: the wait was stopped while it ran on
        DWORD code = 1;
    };
    // Runs the proven setup silently into `folder` and waits for it as long
    // as it runs, handling this thread's messages meanwhile (the windows stay
    // alive and Close works), until `stopWaiting` says to stop first; the
    // setup is then left to run on.
    static SetupRun RunSetup(const std::wstring& setup, const std::wstring& folder,
                             const std::function<bool()>& stopWaiting);

    // The texts the install shows.
    static std::string DownloadProblemText();
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
    // The maker's product page, which the texts send the user to.
    static const char* ProductPage();

private:
    UpgradePublicKey key_;
    std::string productName_;
    std::string currentVersion_;
    std::string pageUrl_;
    UpgradePage page_;  // newVersion, description, downloadLink, statements
};
