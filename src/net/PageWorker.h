#pragma once
// The worker of a text fetch: requests the page with its text header and
// reads the body into the job's lines through LineReader, at most
// kPageLimitBytes of it: a page of markers is a few kilobytes, and a larger
// one must not grow the process without bound. A page that is cut off, or
// that is not answered 200, is not complete, and the job says why.

#include <windows.h>

#include <cstddef>

#include "BuildConfig.h"

struct FetchJob;

class PageWorker {
public:
    static constexpr std::size_t kPageLimitBytes = 1024 * 1024;
    static constexpr char kHeaderText[] = "Accept: text/*\r\nUser-Agent: Vexmar by " ZALTROW_PUBLISHER "\r\n";

    // Thread routine; the argument is the worker's share of the job (a
    // heap-allocated shared_ptr<FetchJob>, freed here). Nothing escapes it, and
    // it sets the job's `finished` as its last act on the job.
    static DWORD WINAPI Run(LPVOID job);

private:
    static void Fetch(FetchJob& job);
};
