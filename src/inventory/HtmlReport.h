#pragma once
// The entries as a page for people: one self-contained HTML document (its
// style and its few lines of sorting script inline, nothing fetched from
// anywhere) with the computer's name, when it was read, the counts, and a
// table of name, publisher, version, install date, size, list and
// uninstall command, red rows marked with their reason. Clicking a heading
// sorts by it (dates and sizes as numbers, blanks last either way).
// Pure text: every text of an entry is escaped (entries are anyone's
// writing); the caller writes the page as UTF-8.

#include <string>
#include <string_view>
#include <vector>

#include "inventory/EntryReport.h"

// `product` names the program in the page's title and footer.
std::wstring HtmlReport(std::wstring_view product, const ReportHeader& header, const std::vector<ReportRow>& rows);

// `text` with & < > " ' written as references, so it stays text in an
// element or a quoted attribute; characters a page cannot hold (controls
// other than tab and line breaks, a surrogate without its partner) become
// U+FFFD.
std::wstring HtmlEscaped(std::wstring_view text);
