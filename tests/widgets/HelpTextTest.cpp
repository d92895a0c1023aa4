// The help dialog's text rules: the page address, the page's two parts,
// where its links lead, and the page as link markup and as plain text.

#include <gtest/gtest.h>

#include <string>

#include "widgets/HelpPageText.h"

using namespace help_text;

TEST(HelpText, AddressPartsAndLinkTargets) {
    EXPECT_EQ(PageAddress("C:\\Tools\\Renamed.exe"), "res://C:\\Tools\\Renamed.exe/23/186");

    const std::wstring page = L"<h1>T</h1><p><a href=\"#built-in-help\">x</a></p><!-- <div id=\"built-in-help\"> -->"
                              L"<p id=built-in-helper>no</p><DIV class=\"a\" ID='built-in-help'><h2>H</h2></DIV>";
    const PageParts parts = SplitPage(page);
    EXPECT_EQ(parts.help, L"<DIV class=\"a\" ID='built-in-help'><h2>H</h2></DIV>");
    EXPECT_EQ(std::wstring(parts.links) + std::wstring(parts.help), page);
    EXPECT_EQ(SplitPage(L"<p>only</p>").links, L"<p>only</p>");
    EXPECT_TRUE(SplitPage(L"<p>only</p>").help.empty());

    EXPECT_TRUE(IsBuiltInHelpLink(L"#built-in-help"));
    EXPECT_TRUE(IsBuiltInHelpLink(L"res://C:\\Program Files\\Zaltrow\\Zaltrow 1.2.exe/23/186#Built-In-Help"));
    EXPECT_FALSE(IsBuiltInHelpLink(L"#built-in-help2"));
    EXPECT_FALSE(IsBuiltInHelpLink(L"built-in-help"));
    for (const wchar_t* url : {L"http://www.quorvane.com/help/zaltrow_help.html", L"HTTPS://h/", L"mailto:a@b"})
        EXPECT_TRUE(OpensOutside(url)) << url;
    for (const wchar_t* url : {L"res://C:\\z.exe/23/186", L"#built-in-help", L"about:blank", L"file://C:/x", L""})
        EXPECT_FALSE(OpensOutside(url)) << url;
}

TEST(HelpText, PageBecomesLinkMarkupAndPlainText) {
    struct Case {
        const char* what;
        std::wstring html, plain, markup;
    };
    const Case cases[] = {
        {"headings stand apart; the second level in capitals",
         L"<h1>Zaltrow Help</h1><h2>Red rows: 2 kinds</h2>Text <h3>Small</h3>",
         L"Zaltrow Help\r\n\r\nRED ROWS: 2 KINDS\r\n\r\nText\r\n\r\nSmall",
         L"Zaltrow Help\r\n\r\nRED ROWS: 2 KINDS\r\n\r\nText\r\n\r\nSmall"},
        {"lists: bullets, numbers, a list inside an item",
         L"<p>Lists:</p><ul><li>One</li><li>Two<ul><li>Inner</li></ul></li></ul><ol><li>A</li><li>B</li></ol>after",
         L"Lists:\r\n\r\n  \u2022 One\r\n  \u2022 Two\r\n      \u2022 Inner\r\n\r\n  1. A\r\n  2. B\r\n\r\nafter",
         L"Lists:\r\n\r\n  \u2022 One\r\n  \u2022 Two\r\n      \u2022 Inner\r\n\r\n  1. A\r\n  2. B\r\n\r\nafter"},
        {"definition lists and tables",
         L"<dl><dt>F5</dt><dd>Refresh.</dd><dt><code>0</code></dt>\n<dd>Done;\n  all.</dd></dl>"
         L"<table><tr><th>Code</th><th>Meaning</th></tr><tr><td></td><td>none</td></tr></table>",
         L"F5\r\n    Refresh.\r\n0\r\n    Done; all.\r\n\r\nCode\tMeaning\r\n\tnone",
         L"F5\r\n    Refresh.\r\n0\r\n    Done; all.\r\n\r\nCode\tMeaning\r\n\tnone"},
        {"entities, named and numeric; unknown ones stay as written",
         L"LIST&lt;TAB&gt;KEY &amp; &quot;x&apos; a&nbsp;b&hellip;&ndash;&mdash; &#65;&#x42;&#X1F600; &bogus; &#xD800; & x",
         L"LIST<TAB>KEY & \"x' a\u00A0b\u2026\u2013\u2014 AB\U0001F600 &bogus; &#xD800; & x",
         L"LIST<TAB>KEY & \"x' a\u00A0b\u2026\u2013\u2014 AB\U0001F600 &bogus; &#xD800; & x"},
        {"links: kept for the link control, their targets told in plain text",
         L"<p>See <a href=\"http://h/p?a=1&b\">the\n online help</a>, <A HREF='#built-in-help'>below</A>, "
         L"<a href=http://h/q>http://h/q</a> or <a href=\"mailto:s@h\">s@h</a>.</p>",
         L"See the online help (http://h/p?a=1&b), below, http://h/q or s@h.",
         L"See <a href=\"http://h/p?a=1&b\">the online help</a>, <a href=\"#built-in-help\">below</a>, "
         L"<a href=\"http://h/q\">http://h/q</a> or <a href=\"mailto:s@h\">s@h</a>."},
        {"white space collapses; breaks never lead or trail; <br> counts up to an empty line",
         L"\r\n  <p>  One\n\t two  </p>\n\n<p>three<br>four<br><br><br>five</p> <br> ",
         L"One two\r\n\r\nthree\r\nfour\r\n\r\nfive", L"One two\r\n\r\nthree\r\nfour\r\n\r\nfive"},
        {"head, scripts, styles and comments are left out; an open link is closed",
         L"<html><head><title>T</title><style>p{}</style></head><body><!-- <p>no</p> -->"
         L"<script>var a = '<p>';</script>Body <a href=\"u\">open",
         L"Body open (u)", L"Body <a href=\"u\">open</a>"},
        {"nothing", L"", L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlainTextOf(c.html), c.plain) << c.what;
        EXPECT_EQ(LinkMarkupOf(c.html), c.markup) << c.what;
    }
}
