#pragma once
// The environment a list's expandable commands were written for. An entry
// of the other registry view gets that view's Program Files folders; an
// entry of another user's list gets that user's profile folders (from the
// machine's ProfileList and the user's own shell folders), never the
// running account's, and any other per-user variable stays unknown.

#include <optional>
#include <string>
#include <string_view>

#include "inventory/EntrySource.h"
#include "inventory/TextExpansion.h"

class ListEnvironment {
public:
    explicit ListEnvironment(const ListRef& list);

    // The value of a variable for this list's entries; none when unknown.
    std::optional<std::wstring> Value(std::wstring_view name) const;
    // The text with its references expanded for this list. For another
    // user's list `unresolved` means a per-user variable that is not known.
    Expansion Expand(std::wstring_view text) const;

private:
    ListRef list_;
    std::wstring profile_;  // another user's profile folder, when known
};
