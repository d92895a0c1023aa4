#pragma once
// One fetch's record, shared by the GUI thread that asked for it and the
// worker that carries it out. The GUI thread creates it, the worker fills
// `lines` and sets `finished` as its last act on it, and the GUI thread
// reads the lines and destroys the record only after seeing the flag.
//
// The flag belongs to the job rather than to the fetcher: a fetch started
// from a message dispatched while another fetch pumps must not end the
// outer wait early, which would free a record its worker still uses.

#include <windows.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

struct FetchJob {
    FetchJob(std::string url, std::string localFile, HWND progressWindow)
        : url(std::move(url)), localFile(std::move(localFile)), progressWindow(progressWindow) {}
    FetchJob(const FetchJob&) = delete;
    FetchJob& operator=(const FetchJob&) = delete;

    // Release: the lines written before are complete for whoever sees it.
    void Finish() noexcept { finished.store(true, std::memory_order_release); }
    bool IsFinished() const noexcept { return finished.load(std::memory_order_acquire); }

    const std::string url;
    std::vector<std::string> lines;
    std::atomic<bool> finished{false};
    const std::string localFile;      // empty for a text fetch
    const HWND progressWindow;        // may be null; child 1076 gets progress text
};
