// The HTML report as text: whatever an entry's texts hold stays text, and
// the page holds what a person looks for, sortable without anything from
// outside.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inventory/HtmlReport.h"

namespace {

std::size_t Count(const std::wstring& text, std::wstring_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(HtmlReport, EscapesEveryTextAndShowsTheEntriesSortable) {
    const std::vector<std::pair<std::wstring, std::wstring>> escapes{
        {L"<script>alert(\"x\")</script>", L"&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;"},
        {L"Tom & Jerry's <b", L"Tom &amp; Jerry&#39;s &lt;b"},
        {L"&amp;", L"&amp;amp;"},
        {L"Żółw 狐 \xD83E\xDD8A עברית", L"Żółw 狐 \xD83E\xDD8A עברית"},
        {L"a\x01" L"b\xD800" L"c\xDC00\t\x85", L"a\xFFFD" L"b\xFFFD" L"c\xFFFD\t\xFFFD"},
    };
    for (const auto& [text, escaped] : escapes) EXPECT_EQ(HtmlEscaped(text), escaped);

    ReportRow live;
    live.displayName = L"\"><img src=x onerror=alert(1)>";
    live.publisher = L"A & B";
    live.version = L"10.2";
    live.installDate = L"20240229";
    live.sizeKb = 1572864;
    live.listWords = L"This user's programs";
    live.uninstallCommand = L"C:\\a\\un.exe </script><script>x()";
    ReportRow red;
    red.displayName = L"Łódź";
    red.installDate = L"20230229";  // no such day
    red.judgement = EntryFacts::Judgement::Missing;
    red.reason = L"C:\\gone.exe <is> missing";
    const std::wstring page =
        HtmlReport(L"Zaltrow", {L"PC<1>", L"2026-03-04T05:06:07Z", 3, {{L"machine-64", 3, L""}}}, {live, red});

    for (const wchar_t* part : {
             L"<meta charset=\"utf-8\">", L"<h1>Programs of PC&lt;1&gt;</h1>", L"Read 2026-03-04 05:06 UTC",
             L"2 entries listed, <span class=\"red\">1 red</span>", L"Not read whole: machine-64 (3 entries left out)",
             L"<td data-v=\"&quot;&gt;&lt;img src=x onerror=alert(1)&gt;\">&quot;&gt;&lt;img src=x onerror=alert(1)&gt;</td>"
             L"<td>A &amp; B</td><td>10.2</td><td class=\"d\" data-v=\"20240229\">2024-02-29</td>"
             L"<td class=\"n\" data-v=\"1572864\">1.50 GB</td><td>This user&#39;s programs</td>"
             L"<td class=\"c\">C:\\a\\un.exe &lt;/script&gt;&lt;script&gt;x()</td></tr>",
             L"<tr class=\"red\"><td data-v=\"Łódź\">Łódź<div class=\"why\"><b>Red:</b> C:\\gone.exe &lt;is&gt; missing</div>"
             L"</td><td></td><td></td><td class=\"d\" data-v=\"\"></td><td class=\"n\" data-v=\"\"></td>",
             L"<th data-type=\"num\">Installed on</th><th data-type=\"num\">Size</th>"})
        EXPECT_NE(page.find(part), std::wstring::npos) << part;
    // One script, the page's own; nothing fetched from anywhere.
    EXPECT_EQ(Count(page, L"<script"), 1u);
    EXPECT_EQ(Count(page, L"<img"), 0u);
    EXPECT_EQ(Count(page, L"href="), 0u);
    EXPECT_EQ(Count(page, L"<tr"), 3u);
    EXPECT_TRUE(page.ends_with(L"</script>\r\n</body>\r\n</html>\r\n"));
    EXPECT_NE(HtmlReport(L"Z", {L"PC", L"T", 0, {}}, {}).find(L"0 entries listed, none red.</p>"), std::wstring::npos);
}

}  // namespace
