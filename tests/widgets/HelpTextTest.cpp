// The help dialog's text rules: the page address, the page's two parts,
// where its links lead, and the page as link markup and as plain text.

#include <gtest/gtest.h>

#include <string>

#include "widgets/HelpPageText.h"

using namespace help_text;

TEST(HelpText, AddressPartsAndLinkTargets) {
    EXPECT_EQ(PageAddress("C:\\Tools\\Renamed.exe"), "res://C:\\Tools\\Renamed.exe/23/186");

    const std::u16string page = u"<h1>T</h1><p><a href=\"#built-in-help\">x</a></p><!-- <div id=\"built-in-help\"> -->"
                              u"<p id=built-in-helper>no</p><DIV class=\"a\" ID='built-in-help'><h2>H</h2></DIV>";
    const PageParts parts = SplitPage(page);
    EXPECT_EQ(parts.help, u"<DIV class=\"a\" ID='built-in-help'><h2>H</h2></DIV>");
    EXPECT_EQ(std::u16string(parts.links) + std::u16string(parts.help), page);
    EXPECT_EQ(SplitPage(u"<p>only</p>").links, u"<p>only</p>");
    EXPECT_TRUE(SplitPage(u"<p>only</p>").help.empty());

    EXPECT_TRUE(IsBuiltInHelpLink(u"#built-in-help"));
    EXPECT_TRUE(IsBuiltInHelpLink(u"res://C:\\Program Files\\Zaltrow\\Zaltrow 1.2.exe/23/186#Built-In-Help"));
    EXPECT_FALSE(IsBuiltInHelpLink(u"#built-in-help2"));
    EXPECT_FALSE(IsBuiltInHelpLink(u"built-in-help"));
    for (const char16_t* url : {u"http://www.quorvane.com/help/zaltrow_help.html", u"HTTPS://h/", u"mailto:a@b"})
        EXPECT_TRUE(OpensOutside(url)) << testing::PrintToString(std::u16string(url));
    for (const char16_t* url : {u"res://C:\\z.exe/23/186", u"#built-in-help", u"about:blank", u"file://C:/x", u""})
        EXPECT_FALSE(OpensOutside(url)) << testing::PrintToString(std::u16string(url));
}

TEST(HelpText, PageBecomesLinkMarkupAndPlainText) {
    struct Case {
        const char* what;
        std::u16string html, plain, markup;
    };
    const Case cases[] = {
        {"headings stand apart; the second level in capitals",
         u"<h1>Zaltrow Help</h1><h2>Red rows: 2 kinds</h2>Text <h3>Small</h3>",
         u"Zaltrow Help\r\n\r\nRED ROWS: 2 KINDS\r\n\r\nText\r\n\r\nSmall",
         u"Zaltrow Help\r\n\r\nRED ROWS: 2 KINDS\r\n\r\nText\r\n\r\nSmall"},
        {"lists: bullets, numbers, a list inside an item",
         u"<p>Lists:</p><ul><li>One</li><li>Two<ul><li>Inner</li></ul></li></ul><ol><li>A</li><li>B</li></ol>after",
         u"Lists:\r\n\r\n  \u2022 One\r\n  \u2022 Two\r\n      \u2022 Inner\r\n\r\n  1. A\r\n  2. B\r\n\r\nafter",
         u"Lists:\r\n\r\n  \u2022 One\r\n  \u2022 Two\r\n      \u2022 Inner\r\n\r\n  1. A\r\n  2. B\r\n\r\nafter"},
        {"definition lists and tables",
         u"<dl><dt>F5</dt><dd>Refresh.</dd><dt><code>0</code></dt>\n<dd>Done;\n  all.</dd></dl>"
         u"<table><tr><th>Code</th><th>Meaning</th></tr><tr><td></td><td>none</td></tr></table>",
         u"F5\r\n    Refresh.\r\n0\r\n    Done; all.\r\n\r\nCode\tMeaning\r\n\tnone",
         u"F5\r\n    Refresh.\r\n0\r\n    Done; all.\r\n\r\nCode\tMeaning\r\n\tnone"},
        {"entities, named and numeric; unknown ones stay as written",
         u"LIST&lt;TAB&gt;KEY &amp; &quot;x&apos; a&nbsp;b&hellip;&ndash;&mdash; &#65;&#x42;&#X1F600; &bogus; &#xD800; & x",
         u"LIST<TAB>KEY & \"x' a\u00A0b\u2026\u2013\u2014 AB\U0001F600 &bogus; &#xD800; & x",
         u"LIST<TAB>KEY & \"x' a\u00A0b\u2026\u2013\u2014 AB\U0001F600 &bogus; &#xD800; & x"},
        {"links: kept for the link control, their targets told in plain text",
         u"<p>See <a href=\"http://h/p?a=1&b\">the\n online help</a>, <A HREF='#built-in-help'>below</A>, "
         u"<a href=http://h/q>http://h/q</a> or <a href=\"mailto:s@h\">s@h</a>.</p>",
         u"See the online help (http://h/p?a=1&b), below, http://h/q or s@h.",
         u"See <a href=\"http://h/p?a=1&b\">the online help</a>, <a href=\"#built-in-help\">below</a>, "
         u"<a href=\"http://h/q\">http://h/q</a> or <a href=\"mailto:s@h\">s@h</a>."},
        {"white space collapses; breaks never lead or trail; <br> counts up to an empty line",
         u"\r\n  <p>  One\n\t two  </p>\n\n<p>three<br>four<br><br><br>five</p> <br> ",
         u"One two\r\n\r\nthree\r\nfour\r\n\r\nfive", u"One two\r\n\r\nthree\r\nfour\r\n\r\nfive"},
        {"head, scripts, styles and comments are left out; an open link is closed",
         u"<html><head><title>T</title><style>p{}</style></head><body><!-- <p>no</p> -->"
         u"<script>var a = '<p>';</script>Body <a href=\"u\">open",
         u"Body open (u)", u"Body <a href=\"u\">open</a>"},
        {"nothing", u"", u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlainTextOf(c.html), c.plain) << c.what;
        EXPECT_EQ(LinkMarkupOf(c.html), c.markup) << c.what;
    }
}
