#pragma once
// The program's own per-user settings under HKEY_CURRENT_USER\Software\Zaltrow
// (the Add/Remove Programs lists are UninstallRegistry's). Every path is
// relative to "Software\"; the settings are ANSI text. Operations
// report failure only through their result and never show anything; each
// closes what it opened before returning. A store is cheap: make one for a
// task and drop it.

#include <windows.h>

#include <cstddef>
#include <string>

class SettingsStore {
public:
    // Input limits; longer input is refused, never written past a buffer.
    static constexpr std::size_t kMaxWriteChars = 9999;
    static constexpr DWORD kReadBufferChars = 1000;    // texts of up to 999 characters

    // Writes a REG_SZ value under HKEY_CURRENT_USER\Software\<path>. True when
    // the key could be created or opened, whether or not the value was set.
    // A text longer than kMaxWriteChars is refused: false, nothing written.
    bool WriteString(const std::string& path, const std::string& valueName, const std::string& text);

    // The value as text up to its first zero byte, whatever its type. Empty
    // when the key or value is missing, the value is 1,000 bytes or longer,
    // or it holds exactly "-".
    std::string ReadString(const std::string& path, const std::string& valueName, HKEY root,
                           REGSAM view = 0);

    // ReadString under HKEY_CURRENT_USER read as a number: -1 when the text
    // is empty, otherwise as atoi reads it.
    int ReadInt(const std::string& path, const std::string& valueName);
};
