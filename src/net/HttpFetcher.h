#pragma once
// Fetches one web address for the GUI thread, either as a page of text
// lines or as a download into a local file. The network work runs on a
// worker thread made for each fetch; the calling thread keeps handling its
// messages until the worker is done, so windows paint and a progress
// window can show text. Fetches from different threads take turns.
//
// Nothing is thrown: a text fetch that fails yields the lines read until
// then (often none; a page answered 404 keeps its lines but fails), and a
// download's result is its file. Outcome() says
// how the last fetch ended.
//
// A fetch never waits for ever: one that gets no data for StallMs() ends as
// Stalled, and one the caller cancels (from a message handled during the
// wait) or that meets WM_QUIT ends at once as Cancelled. Either way the
// worker is left to close its request and end on its own; it changes
// nothing the caller sees any more.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/DownloadProgress.h"
#include "net/FetchNotice.h"

enum class FetchOutcome {
    Complete,   // page read to its end; download answered 200 and saved whole
    Failed,     // anything else the worker reported (Failure() says what)
    Cancelled,  // Cancel() or WM_QUIT during the wait
    Stalled,    // no data for StallMs()
};

class HttpFetcher {
public:
    // The longest a fetch goes without receiving anything: kStallMs, unless
    // a test that waits out the bound has set a shorter one for its process.
    static constexpr DWORD kStallMs = 30000;
    static DWORD StallMs() { return stallMs_.load(); }
    static void SetStallMs(DWORD ms) { stallMs_.store(ms); }

    HttpFetcher() = default;
    virtual ~HttpFetcher() = default;
    HttpFetcher(const HttpFetcher&) = delete;
    HttpFetcher& operator=(const HttpFetcher&) = delete;

    // Fetches `url` ("http://" is put in front when it names no scheme).
    // With an empty `localFile` the page's lines replace Lines(); otherwise
    // the body is downloaded into `localFile`, which exists afterwards only
    // when the download succeeded, and Lines() is left as it was;
    // `progress`, when given, receives the download's progress texts.
    // Returns Lines(), valid until the next Fetch or the fetcher's end. A
    // fetch that ends Cancelled or Stalled leaves Lines() empty (text
    // fetch) and no file (download). Callers must keep the user from
    // starting a second fetch from a message dispatched during the wait.
    const std::vector<std::string>& Fetch(const std::string& url, const std::string& localFile = std::string(),
                                          DownloadProgress progress = {});

    // Downloads `url` into the file `newFile` (a full path), which must not
    // exist: the download makes it new and follows no link at that name.
    // With `maxBytes` (0: none), it stops and fails as soon as more arrive.
    // Otherwise as Fetch's download.
    void DownloadNew(const std::string& url, const std::wstring& newFile, DownloadProgress progress = {},
                     std::uint64_t maxBytes = 0);

    // How the workers of this fetcher's fetches show a problem they meet
    // (FetchNotice); by default they show nothing.
    void ShowProblemsWith(FetchNotice notice) { notice_ = std::move(notice); }

    // The last text fetch's lines.
    const std::vector<std::string>& Lines() const { return lines_; }
    // How the last fetch ended, and the bytes its download wrote.
    FetchOutcome Outcome() const { return outcome_; }
    std::uint64_t DownloadedBytes() const { return downloadedBytes_; }
    // Why the last fetch is not Complete, as the rest of a sentence ("the
    // server answered 404 Not Found"); empty when it is, or when unknown.
    const std::string& Failure() const { return failure_; }
    // True while Fetch waits.
    bool Running() const { return running_; }

    // Ends the running fetch: Fetch returns Cancelled as soon as the
    // message that called this has been handled. Nothing when none runs.
    void Cancel() { cancelRequested_ = running_; }

    // Handles every message waiting in the calling thread's queue: a
    // message for a dialog (or one of its controls) goes through that
    // dialog's keyboard handling, so Escape and Tab work during a fetch;
    // the rest are translated and dispatched. A WM_QUIT taken from the
    // queue is posted again before it returns, so the caller's loop still
    // ends.
    static void PumpMessages();

private:
    void Run(const std::string& url, const std::string& localFile, const std::wstring& newFile,
             DownloadProgress progress, std::uint64_t maxBytes = 0);

    FetchNotice notice_;
    std::vector<std::string> lines_;
    FetchOutcome outcome_ = FetchOutcome::Failed;
    std::string failure_;
    std::uint64_t downloadedBytes_ = 0;
    bool running_ = false;
    bool cancelRequested_ = false;
    static inline std::atomic<DWORD> stallMs_{kStallMs};
};
