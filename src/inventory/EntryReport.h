#pragma once
// What the console program reports, in machine form and for people (and
// the window's export, through the same writers): the
// entries of `list` and `check` as a readable table, JSON (one document;
// docs/zaltrow-list.schema.json describes it) and CSV (RFC 4180 with a
// byte-order mark, so spreadsheet programs read it as UTF-8); what the
// changing verbs did (docs/zaltrow-operation.schema.json) and the backups
// (docs/zaltrow-backups.schema.json). Pure text rules: JSON keeps every
// text exactly; a CSV cell that a spreadsheet would take for a formula
// (it begins with = + - @, a tab or a carriage return) gets a leading ';
// the output's encoding is the console's business (ConsoleOutput).

#include <cstddef>
#include <string>
#include <vector>

#include "inventory/EntryFacts.h"
#include "inventory/ResultLine.h"

// One entry, every text as read; empty means absent (JSON null, an empty
// CSV field). The same facts the Properties view shows.
using ReportRow = EntryFacts;

// A list the reading did not take whole: entries left out past the
// capacity, or the reason it could not be read at all.
struct UnreadList {
    std::wstring list;
    std::size_t leftOut = 0;
    std::wstring reason;  // empty when it was read, only not whole
};

struct ReportHeader {
    std::wstring computer;
    std::wstring generated;  // ISO 8601 UTC, e.g. 2026-12-08T13:30:42Z
    std::size_t leftOut = 0; // entries past the inventory's capacity, all lists together
    std::vector<UnreadList> shortfalls;
};

// "YYYY-MM-DDTHH:MM:SSZ".
std::wstring IsoUtcTime(int year, int month, int day, int hour, int minute, int second);

std::wstring JsonReport(const ReportHeader& header, const std::vector<ReportRow>& rows);
// A byte-order mark, a header line of the JSON's field names, one line per
// row; lines end in CR LF.
std::wstring CsvReport(const std::vector<ReportRow>& rows);
// Columns STATE, LIST, KEY, NAME, VERSION, PUBLISHER, REASON as
// PaddedTable lays them out. No rows: no table.
std::wstring TextTable(const std::vector<ReportRow>& rows);

// One entry, backup file or list a changing verb acted on, for its JSON.
struct OperationRow {
    std::wstring list;
    std::wstring key;         // as the registry stores it
    std::wstring name;
    std::wstring outcome;     // the --result file's word
    std::wstring backupFile;  // full path: the backup made, or the one restored from
    std::wstring reason;
};
struct OperationReport {
    std::wstring verb;  // clean, remove, restore
    bool dryRun = false;
    std::wstring backupFolder;
    int exitCode = 0;
    std::vector<OperationRow> results;
};
std::wstring JsonReport(const ReportHeader& header, const OperationReport& report);

// What uninstall did, entry by entry (docs/zaltrow-uninstall.schema.json).
struct UninstallReport {
    bool dryRun = false;
    std::wstring backupFolder;
    int exitCode = 0;
    std::vector<OperationResult> results;  // each with its uninstall fields
};
std::wstring JsonReport(const ReportHeader& header, const UninstallReport& report);

struct BackupRow {
    std::wstring file;  // full path
    std::wstring list;
    std::wstring key;
    std::wstring name;
    std::wstring time;  // from the file's name, "YYYY-MM-DDTHH:MM:SS" local time; empty when it has none
};
// `folder`: where this account's backups go; `folders`: those searched.
std::wstring BackupsJson(const ReportHeader& header, const std::wstring& folder,
                         const std::vector<std::wstring>& folders, std::size_t skipped,
                         const std::vector<BackupRow>& rows);
// Like CsvReport: file,list,key,name,time.
std::wstring BackupsCsv(const std::vector<BackupRow>& rows);

// Lines of cells (the first line the heading), each cell padded to its
// column's widest text (East Asian wide characters count two columns), two
// blanks apart; line breaks and tabs inside a cell become blanks; lines end
// in CR LF.
std::wstring PaddedTable(const std::vector<std::vector<std::wstring>>& lines);

// How many columns a terminal gives the text: East Asian wide letters and
// emoji two, marks that join the letter before them (combining marks,
// variation selectors, skin tones, whatever follows a zero-width joiner)
// none, a pair of regional indicators (a flag) two.
std::size_t DisplayWidth(std::wstring_view text);
