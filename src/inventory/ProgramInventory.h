#pragma once
// The program's picture of the machine's Add/Remove Programs list: one
// entry per subkey of HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall,
// in registry enumeration order, rebuilt by every Enumerate. It filters
// nothing and judges nothing; the list fill decides what is shown.

#include <cstddef>
#include <vector>

#include "inventory/ProgramEntry.h"

class ProgramInventory {
public:
    // The icon-index table of the original layout held 5000 slots; names
    // past that many (only possible through values stored directly in the
    // Uninstall key) are not added.
    static constexpr std::size_t kCapacity = 5000;

    static constexpr const char* kUninstallPath = "Microsoft\\Windows\\CurrentVersion\\Uninstall";
    static constexpr const char* kArpCachePath =
        "Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";

    // Rebuilds every entry from the registry. An Uninstall key that cannot be
    // opened with full access leaves the inventory empty, silently.
    void Enumerate();

    const std::vector<ProgramEntry>& Entries() const { return entries_; }
    std::size_t Count() const { return entries_.size(); }

private:
    std::vector<ProgramEntry> entries_;
};
