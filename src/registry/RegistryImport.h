#pragma once
// Writes keys read from a registration file back into the registry exactly
// as RegistryExport read them: every value with its own type and bytes,
// through the wide-character calls, each key created step by step relative
// to its opened parent (as the export opens them), in the registry view
// its name in the file stands for.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/UniqueHandle.h"
#include "registry/RegFileText.h"

class RegistryImport {
public:
    // Where a key of a file lives: a predefined root, the view every open
    // needs (0, KEY_WOW64_64KEY or KEY_WOW64_32KEY) and the path below it.
    struct Location {
        HKEY root = nullptr;
        REGSAM view = 0;
        std::wstring path;
    };

    // The inverse of RegistryExport::NameInFile for keys under
    // HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and HKEY_USERS (root names in
    // any letter case): a machine key under SOFTWARE\Wow6432Node is the
    // 32-bit view's key without that part; under WOW64 a plain machine
    // SOFTWARE key is the 64-bit view's. Nothing for other roots, or for a
    // path that is empty or has an empty part.
    static std::optional<Location> Locate(std::u16string_view nameInFile);

    // The key opened with `access` (plus the location's view) one path part
    // at a time; `result` receives the registry's error code.
    static fw::RegKey Open(const Location& where, REGSAM access, LONG& result);

    // Removes the key with its values and everything under it, in its
    // view. ERROR_FILE_NOT_FOUND: there was no such key, nothing changed.
    static LONG DeleteTree(const Location& where);

    // Creates each key (or opens it when it is there) and sets its values
    // in file order, stopping at the first failure: LastFailure() names the
    // key and the error. Values already there and not in the file are left
    // as they are.
    bool Write(const std::vector<reg_file::Key>& keys);

    struct Failure {
        std::wstring key;            // the key's name in the file
        LONG error = ERROR_SUCCESS;  // the registry call's result
    };
    const Failure& LastFailure() const { return failure_; }

private:
    bool WriteKey(const reg_file::Key& key);

    Failure failure_;
};
