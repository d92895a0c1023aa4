#include "framework/FilePresence.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>

namespace fw {

bool FileIsMissing(const std::string& path) {
    errno = 0;
    const int fd = _open(path.c_str(), _O_RDONLY);
    const int error = errno;  // read before anything else can change it
    if (fd != -1) _close(fd);  // closing -1 would be an invalid-parameter fault
    return error == ENOENT;
}

}  // namespace fw
