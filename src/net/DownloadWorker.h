#pragma once
// The worker of a download: requests the file with its agent header and
// writes the body into the job's local file in pieces of kPieceBytes,
// refusing a web page sent in place of the file. The only result is the
// file: present after the fetch means success, absent means failure.

#include <windows.h>

#include <string>

#include "BuildConfig.h"

struct FetchJob;

class DownloadWorker {
public:
    static constexpr char kHeaderText[] = "User-Agent: Tellomir, " ZALTROW_MAKER_HOST "\r\n";
    static constexpr std::size_t kPieceBytes = 1024;
    static constexpr int kProgressControl = 1076;

    // Thread routine; the argument is the FetchJob. Nothing escapes it, and
    // it sets the job's `finished` as its last act on the job.
    static DWORD WINAPI Run(LPVOID job);

private:
    static void Download(FetchJob& job);
    static void ShowProgress(const FetchJob& job, const std::string& text);
};
