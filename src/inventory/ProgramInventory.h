#pragma once
// The program's picture of the machine's Add/Remove Programs list: one
// entry per subkey of every Uninstall key the system keeps (see
// EntrySource), source by source in registry enumeration order, rebuilt by
// every Enumerate. It filters nothing and judges nothing; the list fill
// decides what is shown and which entries are phantoms.

#include <cstddef>
#include <vector>

#include "inventory/ProgramEntry.h"

class ProgramInventory {
public:
    // The list holds at most 5000 entries, across all sources; what lies
    // past them is counted (LeftOut), never dropped silently.
    static constexpr std::size_t kCapacity = 5000;

    static constexpr const wchar_t* kUninstallPath = L"Microsoft\\Windows\\CurrentVersion\\Uninstall";
    static constexpr const wchar_t* kArpCachePath =
        L"Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";

    // Rebuilds every entry from the registry: SystemSources() in order. An
    // Uninstall key that cannot be opened with full access adds nothing,
    // silently.
    void Enumerate();

    const std::vector<ProgramEntry>& Entries() const { return entries_; }
    std::size_t Count() const { return entries_.size(); }
    // Subkeys and values of the Uninstall keys that the last Enumerate did
    // not make entries of, because the capacity was reached.
    std::size_t LeftOut() const { return leftOut_; }

private:
    void EnumerateSource(EntrySource source);

    std::vector<ProgramEntry> entries_;
    std::size_t leftOut_ = 0;
};
