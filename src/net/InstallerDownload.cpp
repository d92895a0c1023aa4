#include "net/InstallerDownload.h"

#include <utility>
#include <vector>

#include "framework/FilePresence.h"
#include "framework/TextConversion.h"
#include "net/ApplicationName.h"
#include "net/Base64.h"
#include "net/ExecutableHeader.h"
#include "net/FileErrorText.h"
#include "net/SignatureVerifier.h"

namespace {
constexpr std::size_t kSignatureBytes = 64;
}  // namespace

InstallerDownload::InstallerDownload(const UpgradePublicKey& key, std::string file)
    : key_(key), file_(std::move(file)) {}

bool InstallerDownload::RemoveStaleFile(HWND owner) const {
    if (DeleteFileA(file_.c_str())) return true;
    DWORD error = GetLastError();
    if (fw::FileIsMissing(fw::Widen(file_))) return true;  // nothing was there
    // A folder of that name, or a file another program holds open.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) error = ERROR_ACCESS_DENIED;
    MessageBoxA(owner, FileErrorText(error, file_).c_str(), ApplicationName().c_str(), MB_ICONEXCLAMATION | MB_OK);
    return false;
}

bool InstallerDownload::Prove(std::uint64_t downloadedBytes, const std::vector<unsigned char>& signature) {
    // Others may read it (and run it); nobody may change or delete it.
    held_.reset(CreateFileA(file_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!held_) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(held_.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) != downloadedBytes)
        return false;

    std::string head(kExecutableHeadBytes, '\0');
    DWORD read = 0;
    if (!ReadFile(held_.get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr)) return false;
    head.resize(read);
    if (!IsWindowsExecutable(head)) return false;

    return SignatureVerifier(key_).VerifyFile(held_.get(), signature) == SignatureVerifier::Result::Valid;
}

InstallerDownload::Result InstallerDownload::Run(HttpFetcher& fetcher, const std::string& link,
                                                 const std::string& signature, const DownloadProgress& progress,
                                                 HWND owner) {
    held_.reset();
    if (!RemoveStaleFile(owner)) return Result::Failed;
    // Without a signature of the right form there is nothing to prove the
    // file with: not worth downloading.
    const std::optional<std::vector<unsigned char>> signatureBytes = DecodeBase64(signature);
    if (!signatureBytes || signatureBytes->size() != kSignatureBytes) return Result::Failed;

    fetcher.Fetch(link, file_, progress);
    switch (fetcher.Outcome()) {
    case FetchOutcome::Complete:
        break;
    case FetchOutcome::Cancelled:
        return Result::Cancelled;  // the worker removes its file
    default:
        return Result::Failed;
    }
    if (Prove(fetcher.DownloadedBytes(), *signatureBytes)) return Result::Proven;
    held_.reset();
    DeleteFileA(file_.c_str());
    return Result::Failed;
}
