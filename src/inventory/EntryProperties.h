#pragma once
// What the Properties view says about one entry, as label and value lines,
// and the line that tells a red row's reason without its colour (the row's
// tip and its accessible description). Pure text: the caller gathers the
// facts (list words, the key as the registry editor names it, the date in
// the user's locale) from the system.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "inventory/EntryFacts.h"

struct PropertyLine {
    std::wstring label;
    std::wstring value;
    bool operator==(const PropertyLine&) const = default;
};

// A date the user's locale shows: year, month (1-12), day.
using DateText = std::function<std::wstring(int year, int month, int day)>;

// The lines, in the order shown: Name, List, Key, then Publisher, Version,
// Installed on, Size, Install folder, Uninstall command, Quiet uninstall
// command, Runs quietly (QuietUninstallText) and Product code where the
// entry gives them (an empty one is left out). A date that is no YYYYMMDD day is shown as written.
std::vector<PropertyLine> EntryProperties(const EntryFacts& facts, const DateText& dateText);

// Whether and how the entry uninstalls without a window, in words.
std::wstring QuietUninstallText(quiet_uninstall::Basis basis, const std::wstring& command);

// How the row was judged, in a sentence: the reason of a red row.
std::wstring JudgementText(const EntryFacts& facts);

// YYYYMMDD that names a real day (leap years counted); nothing otherwise.
struct CalendarDate {
    int year = 0, month = 0, day = 0;
    bool operator==(const CalendarDate&) const = default;
};
std::optional<CalendarDate> ParseInstallDate(std::wstring_view text);

// An EstimatedSize as Explorer shows a size: three significant digits, cut
// (never rounded up), in the unit that keeps the number under 1000:
// 980 KB, 12.3 MB, 1.50 GB.
std::wstring SizeText(std::uint32_t kilobytes);

// A red row's reason for its tip and its accessible description; empty for
// a row that is not red.
std::wstring RowReasonText(bool phantom, std::wstring_view reason);
