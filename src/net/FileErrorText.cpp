#include "net/FileErrorText.h"

#include <windows.h>

namespace {

const char* TemplateFor(unsigned long error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return "%1 was not found.";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
    case ERROR_FILENAME_EXCED_RANGE:
        return "%1 contains an invalid path.";
    case ERROR_TOO_MANY_OPEN_FILES:
        return "%1 could not be opened because there are too many open files.";
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return "Access to %1 was denied.";
    case ERROR_INVALID_HANDLE:
        return "An invalid file handle was associated with %1.";
    case ERROR_CURRENT_DIRECTORY:
        return "%1 could not be removed because it is the current directory.";
    case ERROR_CANNOT_MAKE:
        return "%1 could not be created because the directory is full.";
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE:
        return "Seek failed on %1.";
    case ERROR_NOT_READY:
    case ERROR_CRC:
    case ERROR_SEEK:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return "A hardware I/O error was reported while accessing %1.";
    case ERROR_SHARING_VIOLATION:
        return "A sharing violation occurred while accessing %1.";
    case ERROR_LOCK_VIOLATION:
    case ERROR_DRIVE_LOCKED:
        return "A locking violation occurred while accessing %1.";
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
        return "%1 could not be created because the disk is full.";
    case ERROR_HANDLE_EOF:
        return "An attempt was made to access %1 past its end.";
    default:
        return "An unspecified error occurred while accessing %1.";
    }
}

}  // namespace

std::string FileErrorText(unsigned long systemError, const std::string& fileName) {
    std::string text = TemplateFor(systemError);
    const std::size_t at = text.find("%1");
    // Inserted once, not expanded again: a name holding "%1" stays as given.
    if (at != std::string::npos) text.replace(at, 2, fileName);
    return text;
}
