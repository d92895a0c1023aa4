#pragma once
// The rows a view shows, written as a file a person keeps: the console
// program's own CSV and JSON writers and the HTML page, over the rows in
// the order the view shows them. The window's export and `zaltrow list`
// then say the same of an entry.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "inventory/EntryReport.h"
#include "inventory/ProgramRows.h"

enum class ExportFormat { Csv, Json, Html };

// The format a file's name asks for by its extension (.csv, .json, .html
// or .htm, any case); none for another.
std::optional<ExportFormat> ExportFormatOf(std::wstring_view path);

// The report rows of `rows`' model rows at `shown`, in that order; `ownSid`
// is the running user's, as the console program gives it.
std::vector<ReportRow> ReportRowsOf(const ProgramRows& rows, const std::vector<std::size_t>& shown,
                                    const std::wstring& ownSid);

// The file's bytes: UTF-8, CSV with its byte-order mark (spreadsheets read
// it as UTF-8 only then). `product` names the program in the HTML page.
std::string ExportBytes(ExportFormat format, std::wstring_view product, const ReportHeader& header,
                        const std::vector<ReportRow>& rows);
