#include "net/InstallerDownload.h"

#include <optional>
#include <utility>

#include "net/ExecutableHeader.h"
#include "net/SignatureVerifier.h"

InstallerDownload::InstallerDownload(std::wstring file) : file_(std::move(file)) {}

bool InstallerDownload::Prove(std::uint64_t downloadedBytes, const UpgradeStatement& statement) {
    // Others may read it (and run it); nobody may change or delete it.
    held_.reset(CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!held_) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(held_.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) != downloadedBytes ||
        downloadedBytes != statement.size)
        return false;

    std::string head(kExecutableHeadBytes, '\0');
    DWORD read = 0;
    if (!ReadFile(held_.get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr)) return false;
    head.resize(read);
    if (!IsWindowsExecutable(head)) return false;

    // The statement's signature was checked before; its digest binds the file.
    const std::optional<std::string> digest = SignatureVerifier::FileSha256(held_.get());
    return digest && *digest == statement.sha256;
}

InstallerDownload::Result InstallerDownload::Run(HttpFetcher& fetcher, const std::string& link,
                                                 const UpgradeStatement& statement,
                                                 const DownloadProgress& progress) {
    held_.reset();
    // A byte past the signed size cannot be the setup: reading stops there.
    fetcher.DownloadNew(link, file_, progress, statement.size);
    switch (fetcher.Outcome()) {
    case FetchOutcome::Complete:
        break;
    case FetchOutcome::Cancelled:
        return Result::Cancelled;  // the worker removes its file
    default:
        return Result::Failed;
    }
    if (Prove(fetcher.DownloadedBytes(), statement)) return Result::Proven;
    held_.reset();
    DeleteFileW(file_.c_str());
    return Result::Failed;
}
