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

    // The longest command Windows can start; a longer one is listed and
    // counts as present.
    static constexpr std::size_t kMaxCommandChars = 32767;

    // Rebuilds every entry from the registry: SystemSources() in order, and
    // with `allUsers` then every other loaded user's list (OtherUserSids).
    // An Uninstall key that cannot be opened for reading adds nothing,
    // silently.
    void Enumerate(bool allUsers = false);

    const std::vector<ProgramEntry>& Entries() const { return entries_; }
    std::size_t Count() const { return entries_.size(); }
    // Entry keys of the Uninstall keys that the last Enumerate did not make
    // entries of: past the capacity, or not readable.
    std::size_t LeftOut() const { return leftOut_; }

private:
    void EnumerateList(const ListRef& list);

    std::vector<ProgramEntry> entries_;
    std::size_t leftOut_ = 0;
};
