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
    // Each list (source) gives at most 5000 entries, so a crowded machine
    // list never keeps a user's list from being read; what lies past them
    // is counted per list (Shortfalls), never dropped silently.
    static constexpr std::size_t kCapacity = 5000;

    static constexpr const wchar_t* kUninstallPath = L"Microsoft\\Windows\\CurrentVersion\\Uninstall";
    static constexpr const wchar_t* kArpCachePath =
        L"Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";

    // The longest command Windows can start; a longer one is listed and
    // counts as present.
    static constexpr std::size_t kMaxCommandChars = 32767;

    // Rebuilds every entry from the registry: SystemSources() in order, and
    // with `allUsers` then every other loaded user's list (OtherUserSids).
    // An Uninstall key that is not there adds nothing; one that cannot be
    // read adds nothing and is named in Shortfalls.
    void Enumerate(bool allUsers = false);

    const std::vector<ProgramEntry>& Entries() const { return entries_; }
    std::size_t Count() const { return entries_.size(); }
    // Entry keys of the Uninstall keys that the last Enumerate did not make
    // entries of: past the capacity, or not readable.
    std::size_t LeftOut() const { return leftOut_; }

    // A list the last Enumerate did not read whole: how many of its entry
    // keys it left out, or Windows' reason when the list could not be read
    // at all.
    struct Shortfall {
        ListRef list;
        std::size_t leftOut = 0;
        LONG error = ERROR_SUCCESS;
    };
    const std::vector<Shortfall>& Shortfalls() const { return shortfalls_; }
    // One clause per list, "; " apart, e.g. "machine-64: 120 entries past
    // the first 5000" or "user:S-1-5-21-...: the list could not be read
    // (Access is denied.)"; the window names lists as its tips do instead
    // of the command line's words.
    enum class ListNames { CommandLine, Window };
    static std::wstring ShortfallText(const std::vector<Shortfall>& shortfalls, ListNames names);

private:
    void EnumerateList(const ListRef& list);

    std::vector<ProgramEntry> entries_;
    std::size_t leftOut_ = 0;
    std::vector<Shortfall> shortfalls_;
};
