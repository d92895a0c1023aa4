#pragma once
// Splitting an uninstall command into the uninstaller's file and its
// arguments. Pure text functions.

#include <string>
#include <string_view>
#include <vector>

#include "inventory/LeadBytes.h"

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
UninstallCommand SplitUninstallString(std::string_view uninstallString,
                                      const LeadBytes& leads = LeadBytes::System());

// The files a command can name, in the order they are to be tried, each
// with the rest of the command as its arguments. A command that starts
// with a quote names the quoted path (to the closing quote, or the end);
// any other command names each prefix that ends before a blank, shortest
// first, and then the whole command. Nothing is cleaned: a comma or a
// semicolon can be part of a folder's name.
std::vector<UninstallCommand> CommandCandidates(std::string_view uninstallString);

// The same path with the system folder under another name of the Windows
// folder: "<windows>\System32\..." becomes "<windows>\<alias>\...", for the
// aliases by which one bitness reaches the other's system folder
// ("Sysnative", "SysWOW64"). Other paths come back unchanged. The folder
// names are compared ignoring ASCII letter case.
std::string SystemFolderAlias(std::string_view path, std::string_view windowsFolder, std::string_view alias,
                              const LeadBytes& leads = LeadBytes::System());
