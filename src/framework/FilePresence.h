#pragma once
// Whether a file is gone, asked the one way the program trusts: by opening
// it. Only "no such file or folder" means gone; a file that exists but
// cannot be opened (in use, access denied, a folder) is there.

#include <string>

namespace fw {

bool FileIsMissing(const std::string& path);

}  // namespace fw
