#pragma once
// The entries as `list` and `check` report them: a readable table, JSON
// (one document; docs/zaltrow-list.schema.json describes it) and CSV (RFC
// 4180 with a byte-order mark, so spreadsheet programs read it as UTF-8).
// Pure text rules: every text is kept exactly; the output's encoding is the
// console's business (ConsoleOutput).

#include <cstddef>
#include <string>
#include <vector>

// One entry, every text as read; empty means absent (JSON null, an empty
// CSV field).
struct ReportRow {
    std::wstring list;      // "machine-64", "machine-32", "user", "user:<SID>"
    std::wstring user;      // the SID of a user's list; empty for machine lists
    std::wstring key;
    std::wstring name;
    std::wstring publisher;
    std::wstring version;
    std::wstring installLocation;
    std::wstring uninstallString;
    std::wstring quietUninstallString;
    std::wstring productCode;
    bool phantom = false;
    std::wstring reason;    // why it is a phantom; empty otherwise
};

struct ReportHeader {
    std::wstring computer;
    std::wstring generated;  // ISO 8601 UTC, e.g. 2026-12-08T13:30:42Z
    std::size_t leftOut = 0; // entries past the inventory's capacity
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

// Lines of cells (the first line the heading), each cell padded to its
// column's widest text (East Asian wide characters count two columns), two
// blanks apart; line breaks and tabs inside a cell become blanks; lines end
// in CR LF.
std::wstring PaddedTable(const std::vector<std::vector<std::wstring>>& lines);

// How many columns a terminal gives the text.
std::size_t DisplayWidth(std::wstring_view text);
