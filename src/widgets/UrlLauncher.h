#pragma once
// Opening an address outside the program, for the hyperlinks and the help
// window: the shell first; when the shell cannot, the command line of the
// web browser that opens ".htm" files; when that fails as well, the user is
// told why (ReportLinkError).

#include <windows.h>

#include <string>

class UrlLauncher {
public:
    // The shell opens `url` ("open"); if it cannot, the ".htm" files'
    // browser command is run with the URL in place of its placeholder.
    // The shell's result, or the browser command's when that was run.
    static INT_PTR ShellOpenUrl(const std::string& url, int showCommand);
    // The default value of `root`\`subkey` (at most 259 characters) into
    // `value`: 0, or the registry's error code.
    static LONG ReadRegDefault(HKEY root, const std::string& subkey, std::string& value);
    // Tells the user why an address could not be opened (message box owned
    // by `owner`, captioned "Zaltrow").
    static void ReportLinkError(HWND owner, INT_PTR code);
};
