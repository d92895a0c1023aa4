#pragma once
// Splitting an uninstall command into the uninstaller's file and its
// arguments. Pure text functions on UTF-16 text, which needs no care for
// multibyte characters: every character the rules look for is one unit.

#include <string>
#include <string_view>
#include <vector>

// A copy of the same length with A-Z lower-cased and every other character
// as it is, so positions in the copy are positions in the text.
std::wstring AsciiLowerCopy(std::wstring_view text);

// Drops every double quote and ends the text just before its first comma or
// semicolon.
std::wstring CleanPath(std::wstring_view text);

struct UninstallCommand {
    std::wstring programPath;  // cleaned with CleanPath
    std::wstring programArgs;  // never cleaned
};

// The split used for every entry. A command that does not start with
// "rundll32" and contains ".exe" is cut at the first blank after the
// ".exe", so unquoted folders with blanks stay whole; any other command is
// cut at its first blank. Only the space character counts as a blank.
UninstallCommand SplitUninstallString(std::wstring_view uninstallString);

// The files a command can name, in the order they are to be tried, each
// with the rest of the command as its arguments. A command that starts
// with a quote names the quoted path (to the closing quote, or the end);
// any other command names each prefix that ends before a blank, shortest
// first, and then the whole command. Nothing is cleaned: a comma or a
// semicolon can be part of a folder's name.
std::vector<UninstallCommand> CommandCandidates(std::wstring_view uninstallString);

// The same path with the system folder under another name of the Windows
// folder: "<windows>\System32\..." becomes "<windows>\<alias>\...", for the
// aliases by which one bitness reaches the other's system folder
// ("Sysnative", "SysWOW64"). Other paths come back unchanged. The folder
// names are compared ignoring ASCII letter case.
std::wstring SystemFolderAlias(std::wstring_view path, std::wstring_view windowsFolder, std::wstring_view alias);
