#pragma once
// Bringing back entries from the backups EntryBackup writes before every
// removal: telling a backup from any other file, importing one bit for bit
// into the list it came from, and listing a folder of them. Shared by the
// command line's restore and backups verbs and by the main window.
//
// Only the program's own backups are imported: one entry's Uninstall key
// and ARPCache record trees of a list the program reads (see BackupKeys.h).
// Anything else is refused before a single key is written.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "inventory/BackupFileName.h"
#include "inventory/BackupKeys.h"
#include "registry/RegFileText.h"

class BackupRestore {
public:
    struct Inspection {
        enum class Verdict { Backup, NotABackup, FileMissing, Unreadable };
        Verdict verdict = Verdict::NotABackup;
        std::wstring reason;              // for all but Backup: why, in a sentence
        BackupEntry entry;                // for Backup: its list, key and display name
        std::vector<reg_file::Key> keys;  // for Backup: everything to import, in file order
        std::wstring sha256;              // for Backup: of the bytes judged (fw::Sha256Hex)
    };
    // Reads and judges the file; writes nothing.
    static Inspection Inspect(const std::wstring& file);

    enum class RestoreOutcome {
        Restored,     // the entry's keys are now exactly the file's
        Exists,       // its Uninstall key is there and replacing was not asked for; nothing written
        NotABackup,   // nothing written
        FileMissing,  // nothing written
        Failed,       // reason says what failed and what, if anything, changed
    };
    struct Result {
        RestoreOutcome outcome = RestoreOutcome::Failed;
        std::wstring reason;          // for all but Restored
        BackupEntry entry;            // when the file is a backup
        std::wstring replacedBackup;  // the backup of the entry that was replaced, if one was
    };
    // Imports the backup into the list it names. An entry that is there is
    // replaced only with `replace`: it is first saved as a removal saves it
    // (into `backupFolder`, so replacing can be undone), then its Uninstall
    // and ARPCache trees are deleted, so no value of it outlives the
    // restore. A stale ARPCache record left without its entry goes too. If
    // writing fails midway, what was written is deleted again.
    // `expectedSha256`, when given, is the file as it was shown (a listing's
    // sha256): a file that has changed since is refused, nothing written.
    static Result Restore(const std::wstring& file, bool replace, const std::wstring& backupFolder,
                          const std::wstring& expectedSha256 = {});

    struct ListedBackup {
        std::wstring file;               // full path
        std::optional<BackupTime> time;  // from the file's name, when it has one
        FILETIME written{};              // the file's last write time
        BackupEntry entry;
        std::wstring sha256;  // of the file as it was judged
    };
    struct Listing {
        std::vector<ListedBackup> backups;  // newest first: by the name's time, then the write time
        std::size_t skipped = 0;            // *.reg files that are not backups
        DWORD error = ERROR_SUCCESS;        // a folder could not be searched; a missing one is empty
        std::wstring unreadFolder;          // the first such folder
    };
    static Listing ListBackups(const std::wstring& folder);
    // The backups of all `folders` as one listing, newest first (the user's
    // own and the machine's, which elevated and SYSTEM runs write).
    static Listing ListBackups(const std::vector<std::wstring>& folders);


    // Whether Windows is 64-bit, for ListName.
    static bool SystemIs64Bit();
};
