#pragma once
// The one way the program makes a folder of its own with a name nobody
// else has: "<parent>\<name> <16 hex digits>" from the system's random
// source, so nobody can guess the name and make the folder first.

#include <windows.h>

#include <string>

namespace fw {

// Makes the new folder, with `attributes` (may be null: the parent's
// rights), tried again under another name when one is taken. Its path;
// empty when none could be made, and `error` says why.
std::wstring MakeUniqueFolder(const std::wstring& parent, const std::wstring& name,
                              SECURITY_ATTRIBUTES* attributes, DWORD& error);

}  // namespace fw
