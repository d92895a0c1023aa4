#pragma once
// One fetch's record, shared by the GUI thread that asked for it and the
// worker that carries it out. Both hold it (shared ownership), so a fetch
// the GUI thread gives up on - closed by the user, or silent for too long -
// can return at once while its worker ends on its own later: the record
// lives until the last of the two lets go.
//
// The GUI thread reads `lines` and the results only after seeing
// `finished` set; the worker sets it as its last act on the record. The
// flag belongs to the job rather than to the fetcher: a fetch started from
// a message dispatched while another fetch pumps must not end the outer
// wait early.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "net/DownloadProgress.h"
#include "net/FetchNotice.h"

struct FetchJob {
    FetchJob(std::string url, std::string localFile, DownloadProgress progress, std::wstring newFile = {},
             FetchNotice notice = {}, std::uint64_t maxBytes = 0)
        : url(std::move(url)),
          localFile(std::move(localFile)),
          newFile(std::move(newFile)),
          progress(std::move(progress)),
          notice(std::move(notice)),
          maxBytes(maxBytes) {}
    FetchJob(const FetchJob&) = delete;
    FetchJob& operator=(const FetchJob&) = delete;

    // Release: what was written before is complete for whoever sees it.
    void Finish() noexcept { finished.store(true, std::memory_order_release); }
    bool IsFinished() const noexcept { return finished.load(std::memory_order_acquire); }

    // Set by the GUI thread when it stops waiting; the worker then closes
    // its request at its next step, writes no more progress text, shows no
    // message and keeps no file.
    void Abandon() noexcept { abandoned.store(true, std::memory_order_release); }
    bool IsAbandoned() const noexcept { return abandoned.load(std::memory_order_acquire); }

    // The worker calls this whenever data arrives; the GUI thread ends a
    // fetch that has gone too long without.
    void NoteActivity() noexcept { lastActivity.store(GetTickCount64(), std::memory_order_relaxed); }
    ULONGLONG LastActivity() const noexcept { return lastActivity.load(std::memory_order_relaxed); }

    const std::string url;
    std::vector<std::string> lines;
    const std::string localFile;      // empty for a text fetch; its name in messages
    // A download's file by its full path, made new (never one that is
    // there, never through a link); empty: localFile, made or replaced.
    const std::wstring newFile;
    const DownloadProgress progress;  // may be empty
    const FetchNotice notice;         // may be empty
    // A download's most bytes (0: no bound): one more fails it at once, so
    // a server cannot fill the disk with what can no longer be the file.
    const std::uint64_t maxBytes;

    // Results, read after `finished`: a page read to its end, or a download
    // answered 200 whose body arrived whole (all of the announced length)
    // and was written into a file this fetch made.
    bool complete = false;
    std::uint64_t bytesWritten = 0;
    std::string failure;  // why it is not complete, when known

private:
    std::atomic<bool> finished{false};
    std::atomic<bool> abandoned{false};
    std::atomic<ULONGLONG> lastActivity{GetTickCount64()};
};
