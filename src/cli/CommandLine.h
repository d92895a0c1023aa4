#pragma once
// The console program's words, read into what they ask for. Pure text
// rules: verbs and options are matched exactly (options in any order, each
// at most once); a word after "--" is never an option, so a key that
// starts with "--" can still be named.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class Verb { Help, Version, List, Check, Clean, Remove, Restore, Backups, Uninstall };
enum class ReportFormat { Text, Json, Csv, Html };

// An entry as the command line names it: its list ("machine-64",
// "machine-32", "user", "user:<SID>") and its key in that list.
struct EntryTarget {
    std::wstring list;
    std::wstring key;
    bool operator==(const EntryTarget&) const = default;
};

struct CommandLine {
    Verb verb = Verb::Help;
    ReportFormat format = ReportFormat::Text;
    bool phantomsOnly = false;  // --phantoms
    bool allUsers = false;      // --all-users
    bool dryRun = false;        // --dry-run
    bool replace = false;       // --replace
    std::wstring backups;       // --backups DIR; empty: the default folder
    std::wstring from;          // --from FILE
    std::wstring result;        // --result FILE
    // --match TEXT: only entries whose name, publisher, key or command
    // holds it (search_text::Matches); --publisher TEXT: only those whose
    // publisher holds it. Empty: no such condition.
    std::wstring match;
    std::wstring publisher;
    // --sha256 H1,H2,...: each file of restore as it was shown; empty: any.
    std::vector<std::wstring> sha256s;
    // uninstall's:
    bool quiet = false;           // --quiet
    bool removeIfPhantom = false; // --remove-if-phantom
    unsigned timeoutMinutes = 30; // --timeout MINUTES, per entry
    std::vector<EntryTarget> targets;  // remove's and uninstall's LIST KEY pairs
    std::vector<std::wstring> files;   // restore's files
};

// Either the command or, when the words are no command, why not (one
// line, for standard error).
struct ParsedCommandLine {
    std::optional<CommandLine> command;
    std::wstring error;
};

// `words` without the program's own name. No words at all is an error;
// the verb "help", or "--help", "-h" or "/?" anywhere before "--", ask for
// the usage, "--version" as the only word for the version. A key that can
// be no entry's key (EntryKeyProblem) is an error naming the argument.
// uninstall names its entries in one way only: LIST KEY pairs, --from, or
// --match and/or --publisher; --timeout takes whole minutes, 1 to
// kMaxTimeoutMinutes.
constexpr unsigned kMaxTimeoutMinutes = 1440;
ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& words);

// True for a list's name as the command line writes it: "machine-64",
// "machine-32", "user" or "user:S-..." (a SID: "S-" and then digits and
// dashes). Whether this computer has that list is not its business.
bool IsListName(std::wstring_view name);

// --from's file, already decoded: one "LIST<TAB>KEY" per
// line, CR LF or LF, after an optional byte-order mark; blank lines are
// skipped. A line that is not one, or whose key can be no entry's key, is
// an error naming its number, and no line counts.
struct TargetLines {
    std::vector<EntryTarget> targets;
    std::wstring error;
};
TargetLines ParseTargetLines(std::wstring_view text);
