#include "inventory/ShownReport.h"

#include "framework/TextConversion.h"
#include "inventory/EntryJudgement.h"
#include "inventory/HtmlReport.h"
#include "inventory/UninstallerProbe.h"
#include "registry/RegistryText.h"

std::optional<ExportFormat> ExportFormatOf(std::wstring_view path) {
    const std::size_t dot = path.find_last_of(L".\\/");
    if (dot == std::wstring_view::npos || path[dot] != L'.') return std::nullopt;
    std::wstring extension(path.substr(dot + 1));
    for (wchar_t& c : extension) c = registry_text::AsciiLower(c);
    if (extension == L"csv") return ExportFormat::Csv;
    if (extension == L"json") return ExportFormat::Json;
    if (extension == L"html" || extension == L"htm") return ExportFormat::Html;
    return std::nullopt;
}

std::vector<ReportRow> ReportRowsOf(const ProgramRows& rows, const std::vector<std::size_t>& shown,
                                    const std::wstring& ownSid) {
    std::vector<ReportRow> report;
    report.reserve(shown.size());
    for (std::size_t row : shown) {
        const ProgramEntry* entry = rows.Entry(row);
        if (!entry) continue;
        const ProgramRow& facts = rows[row];
        report.push_back(FactsOf(*entry, facts.phantom, facts.reason, QuietUninstallOf(*entry, facts.file, facts.args),
                                 ownSid));
    }
    return report;
}

std::string ExportBytes(ExportFormat format, std::wstring_view product, const ReportHeader& header,
                        const std::vector<ReportRow>& rows) {
    switch (format) {
    case ExportFormat::Csv: return fw::ToUtf8(CsvReport(rows));
    case ExportFormat::Json: return fw::ToUtf8(JsonReport(header, rows));
    case ExportFormat::Html: break;
    }
    return fw::ToUtf8(HtmlReport(product, header, rows));
}
