#pragma once
// The worker of a text fetch: requests the page with its text header and
// reads the body into the job's lines through LineReader.

#include <windows.h>

#include "BuildConfig.h"

struct FetchJob;

class PageWorker {
public:
    static constexpr char kHeaderText[] = "Accept: text/*\r\nUser-Agent: Vexmar by " ZALTROW_PUBLISHER "\r\n";

    // Thread routine; the argument is the worker's share of the job (a
    // heap-allocated shared_ptr<FetchJob>, freed here). Nothing escapes it, and
    // it sets the job's `finished` as its last act on the job.
    static DWORD WINAPI Run(LPVOID job);

private:
    static void Fetch(FetchJob& job);
};
