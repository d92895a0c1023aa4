#pragma once
// Where an entry's icon comes from: the number after the comma of a
// "DisplayIcon" text, and the uninstaller named by an uninstall command when
// nothing better is known. Pure text functions.

#include <string>
#include <string_view>

// The single character after the first comma, read as a digit: ",3" gives
// 3, ",12" gives 1, ",-1", ", " or no comma give 0.
int IconIndexFromText(std::wstring_view iconText);

// The uninstall command up to and including the first ".exe" that follows
// the first of the markers "program files", "progra~1", "c:\" found (tested
// in that order, case-insensitively); empty when none fits.
std::wstring IconTextFromUninstallString(std::wstring_view uninstallString);

// A cached program name shorter than this is ignored.
constexpr std::size_t kMinCachedNameLength = 6;
