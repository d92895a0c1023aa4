#include "inventory/EntryValidation.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>

#include "inventory/UninstallCommand.h"

int FileExists(const std::string& path) {
    if (path.size() > kMaxTestedPathChars) return 1;
    errno = 0;
    const int fd = _open(path.c_str(), _O_RDONLY);
    const int error = errno;  // read before anything else can change it
    if (fd != -1) _close(fd);  // closing -1 would be an invalid-parameter fault
    return error == ENOENT ? 0 : 1;
}

bool NamesDrivePath(std::string_view programPath) {
    return programPath.find(":\\") != std::string_view::npos;
}

bool IsPhantom(const std::string& programPath) {
    const std::string lower = LowerCopy(programPath);
    return NamesDrivePath(lower) && FileExists(lower) == 0;
}
