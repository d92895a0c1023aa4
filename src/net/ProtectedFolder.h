#pragma once
// A new folder for an upgrade's download that only administrators and the
// system can write to: everyone else may read and run what is in it, and
// nobody else can add, change, rename or delete anything there, nor change
// its permissions (the owner's implicit rights are limited too). It is
// made new, under the machine's program data folder, so nothing can have
// been planted in it.

#include <windows.h>

#include <string>

class ProtectedFolder {
public:
    // Makes "<program data>\<name> <16 random hex digits>". Path() is empty
    // when no folder could be made, and Error() says why.
    explicit ProtectedFolder(const std::wstring& name);

    const std::wstring& Path() const { return path_; }
    DWORD Error() const { return error_; }

    // Deletes `file` in it and then the folder; what cannot be deleted now
    // stays.
    void Remove(const std::wstring& file) const;

private:
    std::wstring path_;
    DWORD error_ = ERROR_SUCCESS;
};
