#pragma once
// The window's Remove: RemoveEntries into DefaultBackupFolder(), then
// `refreshList` and the message. `owner` owns the messages; the refreshed
// list is painted before the message covers it. Where the program runs
// without the rights a list needs, that list's entries are handed to the
// elevated console program (ElevatedHandOff) first, with their backups
// going to the same folder; a declined prompt removes nothing at all.

#include <windows.h>

#include <functional>
#include <vector>

#include "inventory/EntrySelection.h"
#include "inventory/ProgramEntry.h"

// Asks RemoveQuestionOf's question: a message box with Yes and No, and for
// one live row a task dialog that offers Uninstall instead (a message box
// with No as the default where the system has no task dialog).
enum class RemoveAnswer { Remove, Uninstall, Keep };
RemoveAnswer AskToRemove(HWND owner, const RemoveQuestion& question);

void RemoveProgramEntry(HWND owner, const ProgramEntry& entry, const std::function<void()>& refreshList);
// The same for several entries at once: each backed up and removed from its
// own list, then one refresh and one report (RemoveProgramEntry's for one).
void RemoveProgramEntries(HWND owner, const std::vector<ProgramEntry>& entries,
                          const std::function<void()>& refreshList);
