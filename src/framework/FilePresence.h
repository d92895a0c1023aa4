#pragma once
// Whether a file is gone. Only the file system's own "no such file" or "no
// such folder" means gone; everything else (access denied, a name the file
// system refuses, a drive that is not ready, a network path that cannot be
// reached now) is no proof that it is gone, so it counts as there.

#include <string>

namespace fw {

bool FileIsMissing(const std::wstring& path);

}  // namespace fw
