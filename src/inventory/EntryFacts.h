#pragma once
// One entry flattened into the texts the views show of it, as its row was
// judged: the Properties view (EntryProperties.h) and the console's
// reports (EntryReport.h) read the same facts. Pure data; FactsOf
// (EntryJudgement.h) gathers them.

#include <cstdint>
#include <string>

#include "inventory/QuietUninstall.h"

struct EntryFacts {
    std::wstring displayName;
    std::wstring listWords;  // whose list, in words (SourceDescription)
    std::wstring keyName;    // the whole key, as the registry editor names it
    std::wstring publisher;
    std::wstring version;
    std::wstring installDate;  // as stored, usually YYYYMMDD
    std::uint32_t sizeKb = 0;  // EstimatedSize; 0: not given
    std::wstring installLocation;
    std::wstring uninstallCommand;
    std::wstring quietUninstallCommand;  // QuietUninstallString as stored
    // How it can run without a window (QuietUninstallOf): the command, empty
    // for none, and how that was found.
    std::wstring quietUninstall;
    quiet_uninstall::Basis quietBasis = quiet_uninstall::Basis::None;
    std::wstring productCode;  // Windows Installer entries only

    // How the row was judged.
    enum class Judgement {
        Missing,      // red: reason says why
        Found,        // the uninstaller's file is there
        Assumed,      // the command cannot be checked here (another user's variable,
                      // a bare program name, a path too long): counted as present
        ProductKnown  // Windows Installer knows the product
    };
    Judgement judgement = Judgement::Found;
    std::wstring reason;  // for Missing

    // The machine forms' names of its place.
    std::wstring list;     // "machine-64", "machine-32", "user", "user:<SID>"
    std::wstring userSid;  // the SID of a user's list; empty for machine lists
    std::wstring key;      // the entry's own key name, as stored

    bool Phantom() const { return judgement == Judgement::Missing; }
};
