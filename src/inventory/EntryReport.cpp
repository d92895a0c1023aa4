#include "inventory/EntryReport.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <string_view>

namespace {

// New fields go at the end: scripts read the CSV's columns by position.
constexpr std::array<std::wstring_view, 16> kFields{
    L"list",           L"user",      L"key",        L"name",
    L"publisher",      L"version",   L"installLocation", L"uninstallString",
    L"quietUninstallString", L"productCode", L"phantom", L"reason",
    L"installDate",    L"estimatedSizeKB", L"quietUninstall", L"quietUninstallFoundBy"};

// The fields JSON writes as they are (a literal or a number), not as text.
bool IsLiteral(std::wstring_view field) { return field == L"phantom" || field == L"estimatedSizeKB"; }

// The row's fields in kFields' order; phantom as "true"/"false", the size
// as its number, or empty (null) when the entry gives none. `size` holds
// the number's text.
std::array<std::wstring_view, 16> Fields(const ReportRow& row, std::wstring& size) {
    size = row.sizeKb ? std::to_wstring(row.sizeKb) : L"";
    return {row.list,      row.userSid, row.key,          row.displayName, row.publisher, row.version, row.installLocation,
            row.uninstallCommand, row.quietUninstallCommand, row.productCode,
            row.Phantom() ? L"true" : L"false", row.reason, row.installDate, size,
            row.quietUninstall, quiet_uninstall::BasisWord(row.quietBasis)};
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendHex4(std::wstring& out, unsigned value) {
    wchar_t escape[8];
    std::swprintf(escape, 8, L"\\u%04x", value);
    out += escape;
}

// A JSON string; a surrogate without its partner (the registry allows one)
// is escaped, as UTF-8 has no form for it.
void AppendJsonString(std::wstring& out, std::wstring_view text) {
    out += L'"';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'"' || c == L'\\') {
            out += L'\\';
            out += c;
        } else if (c == L'\n') {
            out += L"\\n";
        } else if (c == L'\r') {
            out += L"\\r";
        } else if (c == L'\t') {
            out += L"\\t";
        } else if (c < 0x20) {
            AppendHex4(out, c);
        } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            out += c;
            out += text[++i];
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendHex4(out, c);
        } else {
            out += c;
        }
    }
    out += L'"';
}

// A cell a spreadsheet would run as a formula is kept as text by a
// leading apostrophe, the usual defence; JSON stays exact.
bool LooksLikeFormula(std::wstring_view text) {
    return !text.empty() && std::wstring_view(L"=+-@\t\r").find(text.front()) != std::wstring_view::npos;
}

void AppendCsvField(std::wstring& out, std::wstring_view text) {
    const std::wstring_view guard = LooksLikeFormula(text) ? L"'" : L"";
    if (text.find_first_of(L",\"\r\n") == std::wstring_view::npos) {
        (out += guard) += text;
        return;
    }
    out += L'"';
    out += guard;
    for (wchar_t c : text) {
        if (c == L'"') out += L'"';
        out += c;
    }
    out += L'"';
}

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F000 && c <= 0x1FAFF && !(c >= 0x1F3FB && c <= 0x1F3FF)) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

// Drawn on the letter before: combining marks, variation selectors and the
// skin tones that modify an emoji.
bool IsJoining(char32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F) ||
           (c >= 0x1F3FB && c <= 0x1F3FF) || (c >= 0xE0020 && c <= 0xE007F) || c == 0x200C;
}

bool IsRegionalIndicator(char32_t c) { return c >= 0x1F1E6 && c <= 0x1F1FF; }

// The header's fields every document starts with.
void AppendHeader(std::wstring& out, const ReportHeader& header) {
    out += L"{\r\n  \"computer\": ";
    AppendJsonString(out, header.computer);
    out += L",\r\n  \"generated\": ";
    AppendJsonString(out, header.generated);
    out += L",\r\n  \"leftOut\": " + std::to_wstring(header.leftOut) + L",\r\n  \"leftOutByList\": {";
    bool first = true;
    for (const UnreadList& list : header.shortfalls) {
        if (!list.reason.empty()) continue;
        out += first ? L"" : L", ";
        first = false;
        AppendJsonString(out, list.list);
        out += L": " + std::to_wstring(list.leftOut);
    }
    out += L"},\r\n  \"unreadLists\": [";
    first = true;
    for (const UnreadList& list : header.shortfalls) {
        if (list.reason.empty()) continue;
        out += first ? L"{\"list\": " : L", {\"list\": ";
        first = false;
        AppendJsonString(out, list.list);
        out += L", \"reason\": ";
        AppendJsonString(out, list.reason);
        out += L'}';
    }
    out += L"],\r\n";
}

// "name": "text" or null for an empty text.
void AppendTextField(std::wstring& out, std::wstring_view name, std::wstring_view text, bool first = false) {
    if (!first) out += L", ";
    AppendJsonString(out, name);
    out += L": ";
    if (text.empty())
        out += L"null";
    else
        AppendJsonString(out, text);
}

// `"name": [` then each object `write` appends, then `]`.
template <typename Row, typename Write>
void AppendArray(std::wstring& out, std::wstring_view name, const std::vector<Row>& rows, Write write) {
    out += L"  ";
    AppendJsonString(out, name);
    out += L": [";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out += r == 0 ? L"\r\n    {" : L",\r\n    {";
        write(rows[r]);
        out += L'}';
    }
    out += rows.empty() ? L"]\r\n}\r\n" : L"\r\n  ]\r\n}\r\n";
}

void AppendCsvLine(std::wstring& out, const std::vector<std::wstring_view>& fields) {
    for (std::size_t f = 0; f < fields.size(); ++f) {
        if (f > 0) out += L',';
        AppendCsvField(out, fields[f]);
    }
    out += L"\r\n";
}

}  // namespace

std::wstring IsoUtcTime(int year, int month, int day, int hour, int minute, int second) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%04d-%02d-%02dT%02d:%02d:%02dZ", year, month, day, hour, minute, second);
    return text;
}

std::wstring JsonReport(const ReportHeader& header, const std::vector<ReportRow>& rows) {
    std::wstring out;
    AppendHeader(out, header);
    std::wstring size;
    AppendArray(out, L"entries", rows, [&](const ReportRow& row) {
        const auto fields = Fields(row, size);
        for (std::size_t f = 0; f < kFields.size(); ++f) {
            if (IsLiteral(kFields[f])) {
                out += L", ";
                AppendJsonString(out, kFields[f]);
                out += L": ";
                out += fields[f].empty() ? L"null" : fields[f];
            } else {
                AppendTextField(out, kFields[f], fields[f], f == 0);
            }
        }
    });
    return out;
}

std::wstring JsonReport(const ReportHeader& header, const OperationReport& report) {
    std::wstring out;
    AppendHeader(out, header);
    out += L"  \"verb\": ";
    AppendJsonString(out, report.verb);
    out += report.dryRun ? L",\r\n  \"dryRun\": true,\r\n  \"backupFolder\": " : L",\r\n  \"dryRun\": false,\r\n  \"backupFolder\": ";
    AppendJsonString(out, report.backupFolder);
    out += L",\r\n  \"exitCode\": " + std::to_wstring(report.exitCode) + L",\r\n";
    AppendArray(out, L"results", report.results, [&](const OperationRow& row) {
        AppendTextField(out, L"list", row.list, true);
        AppendTextField(out, L"key", row.key);
        AppendTextField(out, L"name", row.name);
        AppendTextField(out, L"outcome", row.outcome);
        AppendTextField(out, L"backupFile", row.backupFile);
        AppendTextField(out, L"reason", row.reason);
    });
    return out;
}

std::wstring JsonReport(const ReportHeader& header, const UninstallReport& report) {
    std::wstring out;
    AppendHeader(out, header);
    out += L"  \"verb\": \"uninstall\",\r\n  \"dryRun\": ";
    out += report.dryRun ? L"true" : L"false";
    out += L",\r\n  \"backupFolder\": ";
    AppendJsonString(out, report.backupFolder);
    out += L",\r\n  \"exitCode\": " + std::to_wstring(report.exitCode) + L",\r\n";
    AppendArray(out, L"results", report.results, [&](const OperationResult& row) {
        const UninstallFields run = row.uninstall.value_or(UninstallFields{});
        AppendTextField(out, L"list", row.list, true);
        AppendTextField(out, L"key", row.key);
        AppendTextField(out, L"name", row.name);
        AppendTextField(out, L"command", run.command);
        out += run.command.empty() ? L", \"quiet\": null" : run.quiet ? L", \"quiet\": true" : L", \"quiet\": false";
        out += L", \"exitCode\": " + (run.exitCode ? std::to_wstring(*run.exitCode) : L"null");
        AppendTextField(out, L"outcome", OutcomeWord(row.outcome));
        out += row.outcome == OperationOutcome::RestartNeeded ? L", \"restartNeeded\": true" : L", \"restartNeeded\": false";
        out += run.backupFile.empty() ? L", \"removedAfterwards\": false" : L", \"removedAfterwards\": true";
        AppendTextField(out, L"backupFile", run.backupFile);
        AppendTextField(out, L"reason", row.detail);
    });
    return out;
}

std::wstring BackupsJson(const ReportHeader& header, const std::wstring& folder,
                         const std::vector<std::wstring>& folders, std::size_t skipped,
                         const std::vector<BackupRow>& rows) {
    std::wstring out;
    AppendHeader(out, header);
    out += L"  \"folder\": ";
    AppendJsonString(out, folder);
    out += L",\r\n  \"folders\": [";
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (i) out += L", ";
        AppendJsonString(out, folders[i]);
    }
    out += L"],\r\n  \"skipped\": " + std::to_wstring(skipped) + L",\r\n";
    AppendArray(out, L"backups", rows, [&](const BackupRow& row) {
        AppendTextField(out, L"file", row.file, true);
        AppendTextField(out, L"list", row.list);
        AppendTextField(out, L"key", row.key);
        AppendTextField(out, L"name", row.name);
        AppendTextField(out, L"time", row.time);
    });
    return out;
}

std::wstring BackupsCsv(const std::vector<BackupRow>& rows) {
    std::wstring out = L"\xFEFF";
    AppendCsvLine(out, {L"file", L"list", L"key", L"name", L"time"});
    for (const BackupRow& row : rows) AppendCsvLine(out, {row.file, row.list, row.key, row.name, row.time});
    return out;
}

std::wstring CsvReport(const std::vector<ReportRow>& rows) {
    std::wstring out = L"\xFEFF";
    for (std::size_t f = 0; f < kFields.size(); ++f) (out += f ? L"," : L"") += kFields[f];
    out += L"\r\n";
    std::wstring size;
    for (const ReportRow& row : rows) {
        const auto fields = Fields(row, size);
        AppendCsvLine(out, {fields.begin(), fields.end()});
    }
    return out;
}

std::size_t DisplayWidth(std::wstring_view text) {
    std::size_t width = 0;
    bool joined = false, flagHalf = false;
    std::size_t last = 0;  // the width the last drawn letter took
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c == 0x200D) {  // a zero-width joiner: what follows is part of the same picture
            joined = true;
            continue;
        }
        if (joined || IsJoining(c)) {
            // An emoji selector turns a narrow symbol before it into a picture.
            if (c == 0xFE0F && last == 1) {
                ++width;
                last = 2;
            }
            joined = false;
            continue;
        }
        if (IsRegionalIndicator(c)) {
            flagHalf = !flagHalf;
            if (!flagHalf) continue;  // the second half of a flag
        } else {
            flagHalf = false;
        }
        last = IsWide(c) || IsRegionalIndicator(c) ? 2 : 1;
        width += last;
    }
    return width;
}

std::wstring PaddedTable(const std::vector<std::vector<std::wstring>>& lines) {
    std::vector<std::size_t> widths;
    for (const auto& line : lines) {
        widths.resize(std::max(widths.size(), line.size()));
        for (std::size_t c = 0; c < line.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(line[c]));
    }
    std::wstring out;
    for (const auto& line : lines) {
        std::wstring text;
        for (std::size_t c = 0; c < line.size(); ++c) {
            // A line break or tab inside a name would break the table's
            // lines; JSON and CSV keep them.
            for (wchar_t ch : line[c]) text += ch < 0x20 ? L' ' : ch;
            if (c + 1 < line.size()) text.append(widths[c] - DisplayWidth(line[c]) + 2, L' ');
        }
        while (!text.empty() && text.back() == L' ') text.pop_back();
        out += text + L"\r\n";
    }
    return out;
}

std::wstring TextTable(const std::vector<ReportRow>& rows) {
    if (rows.empty()) return {};
    std::vector<std::vector<std::wstring>> lines{{L"STATE", L"LIST", L"KEY", L"NAME", L"VERSION", L"PUBLISHER", L"REASON"}};
    for (const ReportRow& row : rows)
        lines.push_back({row.Phantom() ? L"phantom" : L"ok", row.list, row.key, row.displayName, row.version, row.publisher,
                         row.reason});
    return PaddedTable(lines);
}
