#pragma once
// Downloads an upgrade's installer and proves it before anything of the
// installed copy is touched. The installer counts as proven only when all
// of these hold:
// - a file of its name left from before is gone first (one that cannot be
//   deleted fails the download; it is never taken for the new one);
// - this download made the file and wrote all of it: the server answered
//   200 and, when it announced a length, all of it arrived;
// - the file is a Windows program (an "MZ" header whose PE signature is
//   where it points);
// - the page's signature of it checks out against the given public key.
// A proven file stays open for reading, with nobody else allowed to change
// or delete it, until Release: what was checked is what runs.

#include <windows.h>

#include <string>

#include "framework/UniqueHandle.h"
#include "net/HttpFetcher.h"
#include "net/UpgradeKey.h"

class InstallerDownload {
public:
    enum class Result { Proven, Failed, Cancelled };

    InstallerDownload(const UpgradePublicKey& key, std::string file);

    // Downloads `link` into the file with `fetcher`, its progress texts to
    // `progress`. `signature` is the base64 line the
    // page gave. A stale file that cannot be removed is reported in a
    // message box owned by `owner`. On Failed and Cancelled no file of this
    // download is left.
    Result Run(HttpFetcher& fetcher, const std::string& link, const std::string& signature,
               const DownloadProgress& progress, HWND owner);

    // Lets go of a proven file, so that it can be deleted.
    void Release() { held_.reset(); }

    const std::string& File() const { return file_; }

private:
    bool RemoveStaleFile(HWND owner) const;
    bool Prove(std::uint64_t downloadedBytes, const std::vector<unsigned char>& signature);

    UpgradePublicKey key_;
    std::string file_;
    fw::FileHandle held_;
};
