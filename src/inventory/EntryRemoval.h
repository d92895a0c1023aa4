#pragma once
// Taking an entry out of the Add/Remove Programs data, in the entry's own
// root and registry view: first a backup file of both its keys (failure
// reported, nothing deleted; see EntryBackup), then its Uninstall key
// (failure reported, nothing else touched), then its ARPCache key (failure
// ignored), then a fresh list, then the success message.

#include <windows.h>

#include <functional>
#include <string>

#include "inventory/EntrySource.h"

// `owner` owns the messages; `refreshList` rebuilds the list before the
// success message is shown.
void RemoveProgramEntry(HWND owner, EntrySource source, const std::wstring& keyName,
                        const std::wstring& displayName, const std::function<void()>& refreshList);
