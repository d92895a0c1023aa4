#pragma once
// The rows of the Add/Remove Programs list, judged: the one answer to
// "which entries are listed, and which are phantoms" that the window and
// the command line both show.

#include <string>
#include <vector>

#include "inventory/EntryFacts.h"
#include "inventory/ProgramInventory.h"

struct ListedEntry {
    const ProgramEntry* entry = nullptr;  // in the inventory it came from
    bool phantom = false;
    std::wstring reason;  // why it is a phantom, in words; empty otherwise
    // What its uninstall starts, as judged (ResolveUninstaller).
    std::wstring file;
    std::wstring args;
};

// As Windows' own list: an entry without a name or an uninstall command, a
// system component, and an update whose product's entry is there (in the
// same list; the two machine lists count as one) are left out. The rest,
// in inventory order, each judged (the tests run on two threads).
std::vector<ListedEntry> ListEntries(const ProgramInventory& inventory);

// Whether an entry is a row of the list (ListEntries' rule), given whether
// its parent entry exists.
bool IsListed(const ProgramEntry& entry, bool parentExists);

// The facts the views show of an entry as its row was judged (`reason`:
// why it is a phantom; `quiet`: its QuietUninstallOf). `ownSid` is the
// running user's, for an entry of the user's own list; the Properties view
// does without it.
EntryFacts FactsOf(const ProgramEntry& entry, bool phantom, const std::wstring& reason,
                   const quiet_uninstall::QuietForm& quiet, const std::wstring& ownSid = {});
