#include "net/DownloadWorker.h"

#include <cstdint>
#include <vector>

#include "framework/UniqueHandle.h"
#include "net/ApplicationName.h"
#include "net/FetchJob.h"
#include "net/FetchRequest.h"
#include "net/FetchRules.h"
#include "net/FileErrorText.h"

void DownloadWorker::ShowProgress(const FetchJob& job, const std::string& text) {
    if (!job.progressWindow) return;
    // The control belongs to the GUI thread: the text is set by a
    // synchronous call into it, answered because that thread pumps.
    if (HWND control = GetDlgItem(job.progressWindow, kProgressControl)) SetWindowTextA(control, text.c_str());
}

void DownloadWorker::Download(FetchJob& job) {
    ShowProgress(job, "Downloading update ..");

    FetchRequest request(kHeaderText);
    if (!request.Open(job.url)) return;
    const std::uint64_t contentLength = request.ContentLength();

    fw::FileHandle file(CreateFileA(job.localFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        // Nothing is deleted on this path: the file that is there, if any,
        // is someone else's.
        const DWORD error = GetLastError();
        MessageBoxA(nullptr, FileErrorText(error, job.localFile).c_str(), ApplicationName().c_str(),
                    MB_ICONEXCLAMATION | MB_OK);
        return;
    }

    bool failed = false;
    std::uint64_t total = 0;
    try {
        std::vector<char> piece(kPieceBytes);
        std::size_t n = 0;
        do {
            n = request.Read(piece.data(), piece.size());
            if (PieceHoldsHtml(piece.data(), n)) {
                failed = true;
            } else if (n > 0) {
                DWORD written = 0;
                if (!WriteFile(file.get(), piece.data(), static_cast<DWORD>(n), &written, nullptr) || written != n)
                    failed = true;
            }
            total += n;  // refused and unwritten pieces count too
            ShowProgress(job, DownloadProgressText(total, contentLength));
        } while (n == kPieceBytes && !failed);
    } catch (...) {
        failed = true;
    }
    if (total == 0) failed = true;
    // A connection that ends before the announced length has delivered a
    // cut-off file, which must not pass for the installer.
    if (contentLength > 0 && total != contentLength) failed = true;

    file.reset();
    request.Close();
    if (failed) DeleteFileA(job.localFile.c_str());
}

DWORD WINAPI DownloadWorker::Run(LPVOID param) {
    FetchJob& job = *static_cast<FetchJob*>(param);
    try {
        Download(job);
    } catch (...) {
        // A failure before the file exists ends the fetch quietly with no
        // file; the request's handles are closed by now.
    }
    job.Finish();
    return 0;
}
