#pragma once
// Where a download's progress texts go. Called on the download's worker
// thread, at most every DownloadWorker::kProgressMs and always once more
// with the exact total, and no more once the fetch has been given up.

#include <functional>
#include <string>

using DownloadProgress = std::function<void(const std::string& text)>;
