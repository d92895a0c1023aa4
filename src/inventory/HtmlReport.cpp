#include "inventory/HtmlReport.h"

#include <algorithm>
#include <array>

#include "inventory/EntryProperties.h"

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The look: the system's own fonts, light red rows as the window's, and a
// dark page where the browser asks for one.
constexpr std::wstring_view kStyle =
    L"body{font:14px \"Segoe UI\",system-ui,sans-serif;margin:24px;color:#1b1b1b;background:#fff}"
    L"h1{font-size:22px;font-weight:600;margin:0 0 4px}"
    L".facts{color:#555;margin:0 0 4px}.counts{font-size:16px;margin:12px 0}"
    L".counts .red{color:#a4262c;font-weight:600}.unread{color:#a4262c}"
    L"table{border-collapse:collapse;width:100%}"
    L"th{text-align:left;font-weight:600;background:#f3f3f3;border-bottom:2px solid #ccc;padding:6px 8px;"
    L"cursor:pointer;user-select:none;white-space:nowrap;position:sticky;top:0}"
    L"th:hover{background:#e6e6e6}th[aria-sort=ascending]::after{content:\" \\25B2\"}"
    L"th[aria-sort=descending]::after{content:\" \\25BC\"}"
    L"td{padding:5px 8px;border-bottom:1px solid #e1e1e1;vertical-align:top}"
    L"td.n{text-align:right;white-space:nowrap}td.d{white-space:nowrap}"
    L"td.c{font:12px Consolas,monospace;word-break:break-all;color:#444}"
    L"tr.red td{background:#ffe3e3}tr.red td:first-child{border-left:4px solid #c50f1f}"
    L".why{color:#a4262c;font-size:12px;margin-top:2px}"
    L"footer{color:#777;font-size:12px;margin-top:16px}"
    L"@media(prefers-color-scheme:dark){body{color:#e6e6e6;background:#1e1e1e}.facts{color:#aaa}"
    L"th{background:#2b2b2b;border-color:#555}th:hover{background:#383838}td{border-color:#3a3a3a}"
    L"td.c{color:#bbb}tr.red td{background:#4a1f22}.why,.counts .red,.unread{color:#ff9ea5}}";

// Sorts the body by the clicked heading's column: each cell's data-v (or
// its text), numbers as numbers, blanks last in both directions; ties
// keep their order (Array.prototype.sort is stable).
constexpr std::wstring_view kScript =
    L"document.querySelectorAll('th').forEach((th,col)=>th.addEventListener('click',()=>{"
    L"const body=document.querySelector('tbody'),rows=[...body.rows],up=th.getAttribute('aria-sort')!=='ascending';"
    L"document.querySelectorAll('th').forEach(h=>h.removeAttribute('aria-sort'));"
    L"th.setAttribute('aria-sort',up?'ascending':'descending');"
    L"const num=th.dataset.type==='num',key=r=>{const c=r.cells[col];return c?c.dataset.v??c.textContent:'';};"
    L"rows.sort((a,b)=>{const x=key(a),y=key(b);if(!x||!y)return !x-!y;"
    L"const d=num?x-y:x.localeCompare(y,undefined,{numeric:true,sensitivity:'base'});return up?d:-d;});"
    L"body.append(...rows);}));";

std::wstring Plural(std::size_t count, std::wstring_view one, std::wstring_view many) {
    return std::to_wstring(count) + L" " + std::wstring(count == 1 ? one : many);
}

// "2026-12-08T13:30:42Z" as "2026-12-08 13:30 UTC"; anything else as given.
std::wstring GeneratedText(std::wstring_view iso) {
    if (iso.size() != 20 || iso[10] != L'T' || iso[19] != L'Z') return std::wstring(iso);
    return std::wstring(iso.substr(0, 10)) + L" " + std::wstring(iso.substr(11, 5)) + L" UTC";
}

void Cell(std::wstring& out, std::wstring_view cssClass, std::wstring_view sortKey, bool keyed, std::wstring_view shown) {
    out += L"<td";
    if (!cssClass.empty()) (out += L" class=\"") += std::wstring(cssClass) + L"\"";
    if (keyed) (out += L" data-v=\"") += HtmlEscaped(sortKey) + L"\"";
    out += L">";
    out += HtmlEscaped(shown);
    out += L"</td>";
}

}  // namespace

std::wstring HtmlEscaped(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        switch (c) {
        case L'&': out += L"&amp;"; continue;
        case L'<': out += L"&lt;"; continue;
        case L'>': out += L"&gt;"; continue;
        case L'"': out += L"&quot;"; continue;
        case L'\'': out += L"&#39;"; continue;
        default: break;
        }
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            out += c;
            out += text[++i];
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || (c < 0x20 && c != L'\t' && c != L'\n' && c != L'\r') ||
                   (c >= 0x7F && c <= 0x9F) || c == 0xFFFE || c == 0xFFFF) {
            out += L'\xFFFD';
        } else {
            out += c;
        }
    }
    return out;
}

std::wstring HtmlReport(std::wstring_view product, const ReportHeader& header, const std::vector<ReportRow>& rows) {
    const std::size_t red =
        static_cast<std::size_t>(std::count_if(rows.begin(), rows.end(), [](const ReportRow& row) { return row.Phantom(); }));
    const std::wstring computer = HtmlEscaped(header.computer);
    const std::wstring generated = HtmlEscaped(GeneratedText(header.generated));
    std::wstring out =
        L"<!DOCTYPE html>\r\n<html lang=\"en\">\r\n<head>\r\n<meta charset=\"utf-8\">\r\n"
        // Whatever an entry's text did, the page loads nothing from anywhere.
        L"<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
        L"script-src 'unsafe-inline'\">\r\n<meta name=\"viewport\" content=\"width=device-width\">\r\n<title>";
    out += HtmlEscaped(product) + L": programs of " + computer + L", " + generated + L"</title>\r\n<style>";
    out += kStyle;
    out += L"</style>\r\n</head>\r\n<body>\r\n<h1>Programs of " + computer + L"</h1>\r\n<p class=\"facts\">Read " +
           generated + L" from Windows' Add/Remove Programs list.</p>\r\n<p class=\"counts\">" +
           Plural(rows.size(), L"entry", L"entries") + L" listed, ";
    out += red ? L"<span class=\"red\">" + std::to_wstring(red) + L" red</span>" : std::wstring(L"none red");
    out += red ? L" (their uninstaller is gone).</p>\r\n" : L".</p>\r\n";
    std::wstring unread;
    for (const UnreadList& list : header.shortfalls)
        unread += (unread.empty() ? L"" : L"; ") + HtmlEscaped(list.list) + L" (" +
                  (list.reason.empty() ? std::to_wstring(list.leftOut) + L" entries left out" : HtmlEscaped(list.reason)) + L")";
    if (!unread.empty()) out += L"<p class=\"unread\">Not read whole: " + unread + L".</p>\r\n";

    out += L"<table>\r\n<thead><tr><th>Name</th><th>Publisher</th><th>Version</th><th data-type=\"num\">Installed on</th>"
           L"<th data-type=\"num\">Size</th><th>List</th><th>Uninstall command</th></tr></thead>\r\n<tbody>\r\n";
    for (const ReportRow& row : rows) {
        out += row.Phantom() ? L"<tr class=\"red\">" : L"<tr>";
        const std::wstring_view name = row.displayName.empty() ? std::wstring_view(row.key) : row.displayName;
        out += L"<td data-v=\"" + HtmlEscaped(name) + L"\">" + HtmlEscaped(name);
        if (row.Phantom()) out += L"<div class=\"why\"><b>Red:</b> " + HtmlEscaped(row.reason) + L"</div>";
        out += L"</td>";
        Cell(out, L"", L"", false, row.publisher);
        Cell(out, L"", L"", false, row.version);
        // A date that names no day is blank, never a wrong one.
        const std::optional<CalendarDate> date = ParseInstallDate(row.installDate);
        std::wstring day;
        if (date) {
            day = row.installDate;
            day.insert(6, 1, L'-');
            day.insert(4, 1, L'-');
        }
        Cell(out, L"d", date ? row.installDate : L"", true, day);
        Cell(out, L"n", row.sizeKb ? std::to_wstring(row.sizeKb) : L"", true, row.sizeKb ? SizeText(row.sizeKb) : L"");
        Cell(out, L"", L"", false, row.listWords.empty() ? row.list : row.listWords);
        Cell(out, L"c", L"", false, row.uninstallCommand);
        out += L"</tr>\r\n";
    }
    if (rows.empty()) out += L"<tr><td colspan=\"7\">No entries.</td></tr>\r\n";
    out += L"</tbody>\r\n</table>\r\n<footer>Made by " + HtmlEscaped(product) +
           L". Click a heading to sort by it.</footer>\r\n<script>";
    out += kScript;
    out += L"</script>\r\n</body>\r\n</html>\r\n";
    return out;
}
