#pragma once
// The upgrade of a window that runs without administrator rights: it
// installs into Program Files, which needs them, so the window starts this
// program again elevated with the upgrade switch (LaunchMode), after one
// consent prompt. That copy shows "Check for Upgrade" at once and ends
// with it. Meanwhile the window waits like an owner of a modal dialog:
// greyed, but painted; when the new version was installed (and started),
// the copy ends with 0 and the window has done its work.

#include <windows.h>

#include <string>

class ElevatedUpgrade {
public:
    enum class UpgradeOutcome {
        NotStarted,   // the prompt was refused, or the start failed; the user was told
        NotUpgraded,  // the elevated step ended without installing anything
        Upgraded,     // the new version is installed and running
    };

    // Asks for consent owned by `window`, and waits for the elevated step.
    static UpgradeOutcome Run(HWND window);

    // The messages a start that did not happen shows.
    static std::wstring RefusedText();
    static std::wstring NotStartedText(DWORD error);
};
