#pragma once
// The name of a removed entry's backup file: when it was removed and which
// key it was, in a form every file system takes, e.g.
// "2026-12-08 13-20-05 {6F1A...}.reg". Names sort by time. Pure text rules;
// the folder and the writing live in EntryBackup.

#include <compare>
#include <optional>
#include <string>
#include <string_view>

struct BackupTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    auto operator<=>(const BackupTime&) const = default;  // earlier is less
};

// `attempt` 1 gives the plain name; later attempts, for when a file of that
// name is already there, add " (2)", " (3)" and so on before ".reg".
std::u16string BackupFileName(const BackupTime& when, std::u16string_view keyName, int attempt = 1);

// The key name as part of a file name: characters that file names cannot
// hold (\ / : * ? " < > | and control characters) become '_', trailing dots
// and blanks are dropped, and the result is cut to kMaxKeyPart characters
// (never inside a surrogate pair). An empty result is "_".
std::u16string FileSafeKeyName(std::u16string_view keyName);

inline constexpr std::size_t kMaxKeyPart = 120;

// The time at the start of a name BackupFileName made ("YYYY-MM-DD
// HH-MM-SS " and more); nothing for a name that does not start so.
std::optional<BackupTime> BackupFileTime(std::u16string_view fileName);
