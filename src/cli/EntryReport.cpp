#include "cli/EntryReport.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <string_view>

namespace {

constexpr std::array<std::wstring_view, 12> kFields{
    L"list",           L"user",      L"key",        L"name",
    L"publisher",      L"version",   L"installLocation", L"uninstallString",
    L"quietUninstallString", L"productCode", L"phantom", L"reason"};

// The row's fields in kFields' order; phantom as "true"/"false".
std::array<std::wstring_view, 12> Fields(const ReportRow& row) {
    return {row.list,      row.user,    row.key,          row.name, row.publisher, row.version, row.installLocation,
            row.uninstallString, row.quietUninstallString, row.productCode,
            row.phantom ? L"true" : L"false", row.reason};
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

void AppendCsvField(std::wstring& out, std::wstring_view text) {
    if (text.find_first_of(L",\"\r\n") == std::wstring_view::npos) {
        out += text;
        return;
    }
    out += L'"';
    for (wchar_t c : text) {
        if (c == L'"') out += L'"';
        out += c;
    }
    out += L'"';
}

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) || (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

std::wstring IsoUtcTime(int year, int month, int day, int hour, int minute, int second) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%04d-%02d-%02dT%02d:%02d:%02dZ", year, month, day, hour, minute, second);
    return text;
}

std::wstring JsonReport(const ReportHeader& header, const std::vector<ReportRow>& rows) {
    std::wstring out = L"{\r\n  \"computer\": ";
    AppendJsonString(out, header.computer);
    out += L",\r\n  \"generated\": ";
    AppendJsonString(out, header.generated);
    out += L",\r\n  \"leftOut\": " + std::to_wstring(header.leftOut) + L",\r\n  \"entries\": [";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out += r == 0 ? L"\r\n    {" : L",\r\n    {";
        const auto fields = Fields(rows[r]);
        for (std::size_t f = 0; f < kFields.size(); ++f) {
            if (f > 0) out += L", ";
            AppendJsonString(out, kFields[f]);
            out += L": ";
            if (kFields[f] == L"phantom")
                out += fields[f];
            else if (fields[f].empty())
                out += L"null";
            else
                AppendJsonString(out, fields[f]);
        }
        out += L'}';
    }
    out += rows.empty() ? L"]\r\n}\r\n" : L"\r\n  ]\r\n}\r\n";
    return out;
}

std::wstring CsvReport(const std::vector<ReportRow>& rows) {
    std::wstring out = L"\xFEFF";
    for (std::size_t f = 0; f < kFields.size(); ++f) (out += f ? L"," : L"") += kFields[f];
    out += L"\r\n";
    for (const ReportRow& row : rows) {
        const auto fields = Fields(row);
        for (std::size_t f = 0; f < fields.size(); ++f) {
            if (f > 0) out += L',';
            AppendCsvField(out, fields[f]);
        }
        out += L"\r\n";
    }
    return out;
}

std::size_t DisplayWidth(std::wstring_view text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        width += IsWide(c) ? 2 : 1;
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
        lines.push_back({row.phantom ? L"phantom" : L"ok", row.list, row.key, row.name, row.version, row.publisher,
                         row.reason});
    return PaddedTable(lines);
}
