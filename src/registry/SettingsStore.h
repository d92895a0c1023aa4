#pragma once
// The program's one registry access class: its per-user settings under
// HKEY_CURRENT_USER\Software\Zaltrow, the machine's Add/Remove Programs data
// under HKEY_LOCAL_MACHINE, key deletion and subkey walks.
//
// Every path except EnumerateKey's is relative to "Software\". The
// program's own settings are ANSI text; everything that reads, walks or
// deletes the Add/Remove Programs data is UTF-16, so a key or value is
// reached by its exact name. Operations
// report failure only through their result and never show anything; each
// closes what it opened before returning. A store is cheap: make one for a
// task and drop it.
//
// `view` is 0 for the process's own view of the registry, or
// KEY_WOW64_64KEY / KEY_WOW64_32KEY to reach the other view of a 64-bit
// system; it is passed on every open, relative ones included.

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "framework/UniqueHandle.h"

class SettingsStore {
public:
    // Input limits; longer input is refused, never written past a buffer.
    static constexpr std::size_t kMaxWriteChars = 9999;
    static constexpr DWORD kReadBufferChars = 1000;    // texts of up to 999 characters
    static constexpr DWORD kCacheBufferBytes = 1000;   // larger cache records count as absent
    static constexpr DWORD kSubkeyNameBuffer = 255;    // names of up to 254 characters
    static constexpr DWORD kValueNameBuffer = 16384;   // names of up to 16,383 characters
    static constexpr DWORD kValueDataBuffer = 10000;   // larger values are skipped

    // Writes a REG_SZ value under HKEY_CURRENT_USER\Software\<path>. True when
    // the key could be created or opened, whether or not the value was set.
    // A text longer than kMaxWriteChars is refused: false, nothing written.
    bool WriteString(const std::string& path, const std::string& valueName, const std::string& text);

    // The value as text up to its first zero byte, whatever its type. Empty
    // when the key or value is missing, the value is 1,000 bytes or longer,
    // or it holds exactly "-".
    std::string ReadString(const std::string& path, const std::string& valueName, HKEY root,
                           REGSAM view = 0);

    // Opens a key once so that many of its subkeys can be read relative to
    // it: a subkey name near the 255-character limit can make a path from
    // the root too long. Empty when the key cannot be opened.
    // Also opens `fullPath` relative to an open key, for its values.
    static fw::RegKey OpenForReading(HKEY root, const std::wstring& fullPath, REGSAM view = 0);

    // Values of a key opened with OpenForReading: a text by ReadString's
    // rules, in UTF-16; a number, the data of a REG_DWORD value (0 when the
    // value is absent or of another type or size).
    static std::wstring ReadText(HKEY key, const wchar_t* valueName);
    static DWORD ReadNumber(HKEY key, const wchar_t* valueName);

    // ReadString under HKEY_CURRENT_USER read as a number: -1 when the text
    // is empty, otherwise as atoi reads it.
    int ReadInt(const std::string& path, const std::string& valueName);

    // Deletes <path>\<subkey> (not recursively). True only when the key
    // opened with full access and the subkey was deleted.
    bool DeleteKey(const std::wstring& path, const std::wstring& subkey, HKEY root, REGSAM view = 0);

    // The program file name in an Add/Remove Programs cache record; absent
    // when the key or value is missing or the record exceeds 1,000 bytes.
    std::optional<std::wstring> ReadCachedProgramName(const std::wstring& path, const std::wstring& valueName,
                                                      HKEY root, REGSAM view = 0);
    // The same for `subkey` of an open key.
    static std::optional<std::wstring> ReadCachedProgramName(HKEY parent, const std::wstring& subkey,
                                                             const std::wstring& valueName, REGSAM view);

    // Walks the key at the full path `fullPath`: the results become the
    // names of its subkeys in registry order, followed by the non-empty text
    // data of its values other than "MRUList", at most `maxResults` in all.
    // Unlisted() then counts the subkeys and values past that limit.
    SettingsStore& EnumerateKey(HKEY root, const std::wstring& fullPath, REGSAM view = 0,
                                std::size_t maxResults = SIZE_MAX);

    const std::vector<std::wstring>& Results() const { return results_; }
    std::size_t Unlisted() const { return unlisted_; }

private:
    std::vector<std::wstring> results_;
    std::size_t unlisted_ = 0;
};
