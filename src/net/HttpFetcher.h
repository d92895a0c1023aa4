#pragma once
// Fetches one web address for the GUI thread, either as a page of text
// lines or as a download into a local file. The network work runs on a
// worker thread made for each fetch; the calling thread keeps handling its
// messages until the worker is done, so windows paint and a progress
// window can show text. Fetches from different threads take turns.
//
// Nothing is reported or thrown: a text fetch that fails yields the lines
// read until then (often none), and a download's only result is its file.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

class HttpFetcher {
public:
    HttpFetcher() = default;
    virtual ~HttpFetcher() = default;
    HttpFetcher(const HttpFetcher&) = delete;
    HttpFetcher& operator=(const HttpFetcher&) = delete;

    // Fetches `url` ("http://" is put in front when it names no scheme).
    // With an empty `localFile` the page's lines replace Lines(); otherwise
    // the body is downloaded into `localFile`, which exists afterwards only
    // when the download succeeded, and Lines() is left as it was. Child
    // control 1076 of `progressWindow`, when there is one, shows the
    // download's progress. Returns Lines(), valid until the next Fetch or
    // the fetcher's end. Fetches from different threads take turns; a fetch
    // started on the same thread while one waits there (from a message it
    // dispatched) runs to its end inside that wait. Callers should still
    // keep the user from starting a second fetch that way.
    const std::vector<std::string>& Fetch(const std::string& url, const std::string& localFile = std::string(),
                                          HWND progressWindow = nullptr);

    // The last text fetch's lines.
    const std::vector<std::string>& Lines() const { return lines_; }

    // Handles every message waiting in the calling thread's queue: offered
    // to IsDialogMessageA with no dialog, otherwise translated and
    // dispatched. A WM_QUIT taken from the queue is posted again before it
    // returns, so the caller's loop still ends.
    static void PumpMessages();

private:
    // PumpMessages without posting WM_QUIT again; its exit code is kept in
    // `quit` for the caller to post when it stops pumping.
    static void PumpQueue(std::optional<int>& quit);

    std::vector<std::string> lines_;
};
