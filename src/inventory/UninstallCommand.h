#pragma once
// Splitting an uninstall command into the uninstaller's file and its
// arguments. Pure text functions.

#include <string>
#include <string_view>

// Drops every double quote and ends the text just before its first comma or
// semicolon.
std::string CleanPath(std::string_view text);

struct UninstallCommand {
    std::string programPath;  // cleaned with CleanPath
    std::string programArgs;  // never cleaned
};

// The split used for every entry. A command that does not start with
// "rundll32" and contains ".exe" is cut at the first blank after the
// ".exe", so unquoted folders with blanks stay whole; any other command is
// cut at its first blank. Only the space character counts as a blank.
UninstallCommand SplitUninstallString(std::string_view uninstallString);

// ASCII lower-case copy of the same length, so positions carry over.
std::string LowerCopy(std::string_view text);
