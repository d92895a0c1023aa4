#pragma once
// Downloads an upgrade's setup and proves it against the maker's signed
// statement before anything runs. The setup counts as proven only when all
// of these hold:
// - this download made the file new, at a name where nothing stood (see
//   HttpFetcher::DownloadNew), and wrote all of it: the server answered 200
//   and, when it announced a length, all of it arrived;
// - the file is a Windows program (an "MZ" header whose PE signature is
//   where it points);
// - its size and SHA-256 are the statement's.
// A proven file stays open for reading, with nobody else allowed to change
// or delete it, until Release: what was checked is what runs.

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/UniqueHandle.h"
#include "net/HttpFetcher.h"
#include "net/UpgradeStatement.h"

class InstallerDownload {
public:
    enum class Result { Proven, Failed, Cancelled };

    // `file` is the full path of the file to make; nothing may stand there.
    explicit InstallerDownload(std::wstring file);

    // Downloads `link` into the file with `fetcher`, its progress texts to
    // `progress`, and proves it against `statement`. On Failed and
    // Cancelled no file of this download is left.
    Result Run(HttpFetcher& fetcher, const std::string& link, const UpgradeStatement& statement,
               const DownloadProgress& progress);

    // Lets go of a proven file, so that it can be deleted.
    void Release() { held_.reset(); }

    const std::wstring& File() const { return file_; }

private:
    bool Prove(std::uint64_t downloadedBytes, const UpgradeStatement& statement);

    std::wstring file_;
    fw::FileHandle held_;
};
