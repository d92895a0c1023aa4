#include "net/DownloadWorker.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/UniqueHandle.h"
#include "net/ApplicationName.h"
#include "net/FetchJob.h"
#include "net/FetchRequest.h"
#include "net/FetchRules.h"
#include "net/FileErrorText.h"
#include "net/InternetFailure.h"

namespace {

// Marks the open file for deletion when its handle closes, or takes the
// mark back: by handle, not by name, so only the file this download made
// goes - also when the process ends in the middle of the download.
bool DeleteOnClose(HANDLE file, bool remove) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = remove ? TRUE : FALSE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

}  // namespace

void DownloadWorker::ShowProgress(const FetchJob& job, const std::string& text) {
    if (!job.progress || job.IsAbandoned()) return;
    job.progress(text);
}

void DownloadWorker::Download(FetchJob& job) {
    ShowProgress(job, "Downloading update ..");

    FetchRequest request(kHeaderText, &job);
    if (!request.Open(job.url) || request.Status() != HTTP_STATUS_OK || job.IsAbandoned()) {
        // Any other answer (a 404 page, a login page) is not the file.
        job.failure = request.Failure();
        return;
    }
    const std::uint64_t contentLength = request.ContentLength();
    const auto tooLong = [&job] {
        job.failure = "more than the expected " + std::to_string(job.maxBytes) + " bytes arrived";
    };
    if (job.maxBytes > 0 && contentLength > job.maxBytes) {
        tooLong();
        return;
    }

    // A new file is made only where nothing stands, link or not; the flag
    // keeps a link made at that name in the meantime from being followed.
    fw::FileHandle file(
        job.newFile.empty()
            ? CreateFileA(job.localFile.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr)
            : CreateFileW(job.newFile.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        // Nothing is deleted on this path: the file that is there, if any,
        // is someone else's.
        // A new file's caller says what failed.
        const DWORD error = GetLastError();
        if (!job.IsAbandoned() && job.newFile.empty() && job.notice)
            job.notice(FileErrorText(error, job.localFile), ApplicationName());
        return;
    }
    // Until the download has proven whole, the file goes with its handle.
    const bool marked = DeleteOnClose(file.get(), true);

    bool failed = false;
    std::uint64_t total = 0;
    ULONGLONG lastShown = 0;
    std::string shown;  // the last progress text set
    const auto show = [&](bool always) {
        const ULONGLONG now = GetTickCount64();
        if (!always && !shown.empty() && now - lastShown < kProgressMs) return;
        std::string text = DownloadProgressText(total, contentLength);
        if (text == shown) return;
        ShowProgress(job, text);
        shown = std::move(text);
        lastShown = now;
    };
    try {
        // Pieces are the body's successive kPieceBytes; a piece that has
        // not fully arrived waits at the front of the block for the rest,
        // while whatever has arrived is judged and written at once.
        std::vector<char> block(kBlockBytes);
        std::size_t held = 0;  // bytes of an incomplete piece at the front
        bool ended = false;
        while (!ended && !failed) {
            // A read returns whatever has arrived, so a slow line shows
            // progress, and stays alive, with every batch of bytes.
            const std::size_t n =
                request.ReadSome(block.data() + held, std::min(kReadBytes, block.size() - held));
            ended = n == 0;
            const std::size_t available = held + n;
            // At the end the last, short piece is judged too.
            const std::size_t ready = ended ? available : available - available % kPieceBytes;
            std::size_t accepted = 0;
            for (std::size_t at = 0; at < ready; at += kPieceBytes) {
                const std::size_t piece = std::min(kPieceBytes, ready - at);
                if (PieceHoldsHtml(block.data() + at, piece)) {
                    // The refused piece still counts, and reading stops.
                    failed = true;
                    total += piece;
                    break;
                }
                accepted += piece;
            }
            if (job.maxBytes > 0 && total + accepted + (available - ready) > job.maxBytes) {
                // Nothing past the bound is written, and reading stops.
                tooLong();
                failed = true;
                accepted = 0;
            }
            if (accepted > 0) {
                DWORD written = 0;
                if (!WriteFile(file.get(), block.data(), static_cast<DWORD>(accepted), &written, nullptr) ||
                    written != accepted)
                    failed = true;
            }
            total += accepted;
            held = available - ready;
            if (held > 0) std::memmove(block.data(), block.data() + ready, held);
            if (job.IsAbandoned()) failed = true;
            show(false);
        }
    } catch (...) {
        failed = true;
    }
    // The exact total, whatever the last text shown was.
    show(true);
    if (total == 0) failed = true;
    // A connection that ends before the announced length has delivered a
    // cut-off file, which must not pass for the installer.
    if (contentLength > 0 && total != contentLength) failed = true;
    // Nobody waits for a file the GUI thread has given up on.
    if (job.IsAbandoned()) failed = true;

    if (!failed && marked && !DeleteOnClose(file.get(), false)) failed = true;
    file.reset();
    if (failed && !marked) {
        if (job.newFile.empty()) DeleteFileA(job.localFile.c_str());
        else DeleteFileW(job.newFile.c_str());
    }
    request.Close();
    job.bytesWritten = failed ? 0 : total;
    job.complete = !failed;
}

DWORD WINAPI DownloadWorker::Run(LPVOID param) {
    const std::unique_ptr<std::shared_ptr<FetchJob>> share(static_cast<std::shared_ptr<FetchJob>*>(param));
    FetchJob& job = **share;
    try {
        Download(job);
    } catch (const InternetFailure& failure) {
        job.failure = ConnectionFailureText(failure.Error());
    } catch (...) {
        // A failure before the file exists ends the fetch quietly with no
        // file; the request's handles are closed by now.
    }
    job.Finish();
    return 0;
}
