#pragma once
// The worker of a download: requests the file with its agent header and
// writes the body into the job's local file, judged in pieces of
// kPieceBytes so that a web page sent in place of the file is refused. The
// file is kept only when the server answered 200 and the whole body
// arrived (all of the announced length, when there is one) and was
// written; otherwise it is deleted through the handle that made it, so a
// later download's file of the same name is never touched.
//
// Progress text goes to the job's receiver at most every kProgressMs; the
// last text is always the exact total.

#include <windows.h>

#include <string>

#include "BuildConfig.h"

struct FetchJob;

class DownloadWorker {
public:
    static constexpr char kHeaderText[] = "User-Agent: Tellomir, " ZALTROW_MAKER_HOST "\r\n";
    static constexpr std::size_t kPieceBytes = 1024;
    // Read up to this many bytes at a time (WinINet is about ten times
    // faster at 64 KB than at 1 KB), or whatever has arrived when less,
    // judged and written as they come.
    static constexpr std::size_t kReadBytes = 64 * kPieceBytes;
    static constexpr std::size_t kBlockBytes = kReadBytes + kPieceBytes;
    static constexpr ULONGLONG kProgressMs = 50;

    // Thread routine; the argument is the worker's share of the job (a
    // heap-allocated shared_ptr<FetchJob>, freed here). Nothing escapes it, and
    // it sets the job's `finished` as its last act on the job.
    static DWORD WINAPI Run(LPVOID job);

private:
    static void Download(FetchJob& job);
    static void ShowProgress(const FetchJob& job, const std::string& text);
};
