#pragma once
// What the window program was started to do, read from its command line:
// the main window, or (with /upgrade) only the upgrade step. A window
// without administrator rights starts a copy of itself elevated with
// /upgrade; that copy shows "Check for Upgrade" at once and ends with it.
// Pure text, free of Windows.

#include <string_view>

class LaunchMode {
public:
    enum class Kind { Window, Upgrade };

    static constexpr std::wstring_view kUpgradeSwitch = L"/upgrade";
    // How an upgrade step that installed nothing ends (closed, declined,
    // failed); one that installed ends with 0 once the new version starts.
    static constexpr int kNotUpgradedExitCode = 1;

    // From the whole command line as Windows gives it, program name first
    // (quoted or not). The switch alone, in any letter case, and also with
    // a "-" or in quotes, is the upgrade step; anything else, or more than
    // the switch, is the window.
    static Kind Parse(std::wstring_view commandLine);
};
