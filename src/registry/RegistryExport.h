#pragma once
// Reads registry keys, with every value and every subkey, exactly as they
// are stored, and turns them into a registration file that the platform's
// registry editor imports as it is.
//
// Everything is read through the wide-character calls: they hand out the
// stored bytes unchanged (the ANSI calls convert text values), and names
// that the ANSI code page cannot show keep their real characters. Subkeys
// are opened relative to their opened parent, so no full path ever has to
// fit a path-length limit.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "registry/RegFileText.h"

class RegistryExport {
public:
    // `view` (0, KEY_WOW64_64KEY or KEY_WOW64_32KEY) goes with every open.
    RegistryExport(HKEY root, REGSAM view) : root_(root), view_(view) {}

    enum class ExportOutcome { Added, Absent, Failed };

    // Reads the key at `path` (relative to the root, backslash separated) and everything under it, to be written as `nameInFile`
    // (the full name a 64-bit registry editor knows it by, e.g.
    // HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\... for a 32-bit view key).
    // Absent: the key does not exist and nothing was added. Failed: it could
    // not be read completely; nothing of it was added and LastFailure() says
    // why.
    ExportOutcome AddKey(const std::wstring& path, const std::wstring& nameInFile);

    struct Failure {
        std::wstring key;            // the key's name in the file; for an
                                     // unwritable name, the key holding it
        LONG error = ERROR_SUCCESS;  // the registry call's result
        bool unwritableName = false; // a name a registration file cannot hold
    };
    const Failure& LastFailure() const { return failure_; }

    bool Empty() const { return keys_.empty(); }
    const std::vector<reg_file::Key>& Keys() const { return keys_; }
    // The registration file: UTF-16LE with its byte-order mark.
    std::vector<std::uint8_t> FileBytes() const;

    // The full name of `path` under `root` as a 64-bit registry editor sees
    // it: the root's name, and for a machine key that this process reaches
    // through the 32-bit view of a 64-bit system, Wow6432Node after
    // "Software".
    static std::wstring NameInFile(HKEY root, REGSAM view, const std::wstring& path);

private:
    bool ReadTree(HKEY key, const std::u16string& name);
    bool Fail(const std::u16string& name, LONG error, bool unwritableName = false);

    HKEY root_;
    REGSAM view_;
    std::vector<reg_file::Key> keys_;
    Failure failure_;
};
