#pragma once
// What the keys of a registration file say about it: whether they are the
// backup of one Add/Remove Programs entry as EntryBackup writes it, and of
// which list. Pure text rules on key names as the file writes them
// (RegistryExport::NameInFile); reading files and the registry live in
// BackupRestore.
//
// The lists are those the program reads, by their roots:
//   HKEY_LOCAL_MACHINE\SOFTWARE              (the 64-bit or only view)
//   HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node  (the 32-bit view)
//   HKEY_CURRENT_USER\Software
//   HKEY_USERS\<SID>\Software                (a user's own SID, S-1-5-21-...
//                                             or S-1-12-1-..., not _Classes)
// Letter case is ignored in the fixed names, as the registry ignores it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/RegFileText.h"

struct BackupEntry {
    std::u16string listRoot;     // as the file spells it, e.g. HKEY_CURRENT_USER\Software
    std::u16string keyName;      // the entry's key under Uninstall
    std::u16string displayName;  // its DisplayName value when that is text; else empty
};

// The entry the keys belong to when every one of them is the entry's
// Uninstall key, its ARPCache record or a key under either, all of one
// entry in one list, and the Uninstall key itself is among them. Otherwise
// nothing, and `reason` says why in a short sentence.
std::optional<BackupEntry> EntryOfBackupKeys(const std::vector<reg_file::Key>& keys, std::u16string& reason);

// A backup file's text: the registration file of `keys`, with a comment
// after the header saying the file is counted and a last comment line
// giving the number of keys and values ("; 2 keys, 7 values"), so a file
// cut short is told from a whole one. The registry editor ignores both.
std::u16string BackupFileText(const std::vector<reg_file::Key>& keys);
// Why a parsed backup is not whole: a counted file whose last comment is
// not its count, or counts other keys and values than it holds. Empty for
// a whole file, and for one written before backups were counted, which has
// neither comment.
std::u16string BackupCountProblem(const std::vector<std::u16string>& comments, const std::vector<reg_file::Key>& keys);

// The full names of an entry's two keys, to be found with RegistryImport.
std::u16string UninstallKeyName(const BackupEntry& entry);
std::u16string ArpCacheKeyName(const BackupEntry& entry);

// The list in the command line's words: machine-64, machine-32 (the 32-bit
// view, which is also the only machine list of a 32-bit system), user, or
// user:<SID>. Empty for a root that is no list's.
std::u16string ListNameOfRoot(std::u16string_view listRoot, bool systemIs64Bit);

// A 32-bit system has one machine list, with no Wow6432Node: a key name of
// a 64-bit system's 32-bit view, HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\...,
// without that part; any other name as it is.
std::u16string InOneMachineView(std::u16string_view keyName);
