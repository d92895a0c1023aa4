#pragma once
// Reading, walking and deleting the Add/Remove Programs lists (the
// Uninstall keys and their ARPCache records). Everything is UTF-16, so a
// key or value is reached by its exact name; no text is cut by a buffer.
// Operations report failure only through their result and never show
// anything; each closes what it opened before returning.
//
// `view` is 0 for the process's own view of the registry, or
// KEY_WOW64_64KEY / KEY_WOW64_32KEY to reach the other view of a 64-bit
// system; it is passed on every open, relative ones included.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/UniqueHandle.h"

class UninstallRegistry {
public:
    static constexpr DWORD kSubkeyNameBuffer = 256;    // Windows' key names: up to 255 characters
    static constexpr DWORD kCacheBufferBytes = 1000;   // larger cache records count as absent

    // Opens a key for reading only, so that many of its subkeys can be read
    // relative to it: a subkey name near the 255-character limit can make a
    // path from the root too long. Empty when the key cannot be opened.
    static fw::RegKey OpenForReading(HKEY root, const std::wstring& path, REGSAM view = 0);

    // A text value (REG_SZ or REG_EXPAND_SZ) of any length, up to its first
    // zero character; a value of exactly "-" counts as empty. Absent when
    // the value is missing or is not text (a number is no name).
    struct Text {
        std::wstring text;
        bool expandable = false;  // REG_EXPAND_SZ: %NAME% references are to be expanded
    };
    static std::optional<Text> ReadText(HKEY key, const wchar_t* valueName);
    // ReadText's text, empty when absent.
    static std::wstring ReadTextOrEmpty(HKEY key, const wchar_t* valueName);
    // The data of a REG_DWORD value; 0 when absent or of another type or size.
    static DWORD ReadNumber(HKEY key, const wchar_t* valueName);

    // The program file name in an ARPCache record of `subkey` of an open
    // key; absent when the key or value is missing or the record exceeds
    // 1,000 bytes.
    static std::optional<std::wstring> ReadCachedProgramName(HKEY parent, const std::wstring& subkey,
                                                             const std::wstring& valueName, REGSAM view);

    // Walks the key at `path`: the names of its subkeys in registry order,
    // at most `maxResults`; Unlisted() counts the subkeys past that limit or
    // unreadable. Then the text of each value that names a direct subkey
    // not listed yet (never a path with a backslash, never a name twice,
    // letter case ignored as the registry ignores it), while room remains;
    // such values are never counted as unlisted.
    UninstallRegistry& EnumerateKey(HKEY root, const std::wstring& path, REGSAM view = 0,
                                    std::size_t maxResults = SIZE_MAX);
    const std::vector<std::wstring>& Results() const { return results_; }
    std::size_t Unlisted() const { return unlisted_; }
    // Why the key could not be walked (it could not be opened or asked for
    // its size); ERROR_SUCCESS when it was, and also when it is not there,
    // since a list nobody installed into has no key.
    LONG WalkError() const { return walkError_; }

    // The name `name` is stored under as a direct subkey of `parent` (opened
    // with KEY_ENUMERATE_SUB_KEYS), letter case ignored as the registry
    // ignores it, looked up among its subkeys so that nothing but a direct
    // subkey can match. ERROR_FILE_NOT_FOUND when there is none.
    static LONG StoredSubkeyName(HKEY parent, std::wstring_view name, std::wstring& stored);

    // Deletes <path>\<subkey> with everything under it, in `view`: the tree
    // through a handle of that view, then the key itself. ERROR_SUCCESS, or
    // Windows' reason (ERROR_FILE_NOT_FOUND when the key is not there).
    static LONG DeleteTree(HKEY root, const std::wstring& path, const std::wstring& subkey, REGSAM view = 0);

private:
    std::vector<std::wstring> results_;
    std::size_t unlisted_ = 0;
    LONG walkError_ = ERROR_SUCCESS;
};
