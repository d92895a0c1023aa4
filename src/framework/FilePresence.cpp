#include "framework/FilePresence.h"

#include <windows.h>

namespace fw {

bool FileIsMissing(const std::wstring& path) {
    // The attributes are had without opening the file, so a file in use
    // or locked against reading is found all the same.
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace fw
