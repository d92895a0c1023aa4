#pragma once
// The texts the removal commands show, and the names they give keys.

#include <string>
#include <string_view>
#include <vector>

#include "inventory/ProgramInventory.h"

// The entry's key as the registry editor names it, e.g.
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\...\Uninstall\<key>.
std::wstring EntryKeyName(const ListRef& list, const std::wstring& keyName);

// The texts the removal commands show.
std::wstring InvalidSelectionText(const std::wstring& rowText);
std::wstring RemoveQuestionText(const std::wstring& displayName);
// A removal that failed: the entry's key as the registry editor names it,
// and Windows' reason.
std::wstring RemovalFailedText(const ListRef& list, const std::wstring& keyName, const std::wstring& reason);
// The selected entry was removed by someone else since the list was filled.
std::wstring NoLongerListedText(const std::wstring& displayName);
std::wstring RemovedText(const std::wstring& displayName);
// The same, saying where the backup went and how to bring the entry back.
std::wstring RemovedText(const std::wstring& displayName, const std::wstring& backupFile);

// Remove on several rows asks once: the count and the names, a long list
// shortened to its first kListedNames and "and N more".
constexpr std::size_t kListedNames = 10;
// `lines`, each after `before`, the first kListedNames of them, then
// `before` and "and N more" for the rest.
std::wstring ShortenedList(const std::vector<std::wstring>& lines, std::wstring_view before);
std::wstring RemoveQuestionText(const std::vector<std::wstring>& displayNames);
// What Remove asks before it removes rows. Red rows alone get the question
// above with Yes as its default. A live row (its uninstaller is there) is
// another matter: the question says how many are live and that their
// uninstallers will no longer be reachable from Windows' list, offers
// Uninstall instead when it is one live row alone, and defaults to No.
struct RemovalCandidate {
    std::wstring displayName;
    bool phantom = false;
};
struct RemoveQuestion {
    std::wstring text;
    std::size_t live = 0;
    bool offerUninstall = false;
    bool defaultYes = true;
};
RemoveQuestion RemoveQuestionOf(const std::vector<RemovalCandidate>& rows);

// This program's own entry (its setup's key in a machine list), which
// selecting all rows leaves out: only chosen alone is it removed.
bool IsOwnEntry(const ProgramEntry& entry);

// One report of a batch: how many were removed and where their backups
// are, how many were gone already, and each failure with its reason (the
// first kListedNames of them).
struct BatchFailure {
    std::wstring displayName;
    std::wstring reason;
};
std::wstring BatchRemovedText(std::size_t removed, std::size_t alreadyGone, const std::vector<std::wstring>& backupFolders,
                              const std::vector<BatchFailure>& failures);
// When the backup that must come before a removal cannot be made: what
// failed, where (a file or folder, or a registry key) and the reason.
std::wstring BackupNotWrittenText(const std::wstring& where, const std::wstring& reason);
std::wstring BackupNotReadText(const std::wstring& key, const std::wstring& reason);
// When an uninstaller that is not missing could not be started: the
// entry, the file and the system's reason (a "%1" in it names the file).
std::wstring LaunchFailedText(const std::wstring& displayName, const std::wstring& file, const std::wstring& reason);

// A row's info tip: whose list the entry is in and its key there, so two
// rows of the same name can be told apart.
std::wstring EntryInfoTip(const ProgramEntry& entry);
