// The help dialog's text rules: the built-in help marker, the program's
// folder, the page address and the plain view made from the page.

#include <gtest/gtest.h>

#include "widgets/HelpPageText.h"

using namespace help_text;

TEST(HelpText, MarkerIsFoundAnywhereInAnAddressInAnyLetterCase) {
    EXPECT_TRUE(ContainsLocalHelpMarker(L"OPEN_LOCAL_HELP_FILE12345"));
    EXPECT_TRUE(ContainsLocalHelpMarker(L"res://C:\\Program Files\\Zaltrow 1.2.exe/23/OPEN_LOCAL_HELP_FILE12345"));
    EXPECT_TRUE(ContainsLocalHelpMarker(L"res://c:\\z.exe/23/open_local_help_file12345"));
    EXPECT_TRUE(ContainsLocalHelpMarker(L"http://host/a/Open_Local_Help_File12345?x=1#top"));
    EXPECT_TRUE(ContainsLocalHelpMarker(L"xxOPEN_LOCAL_HELP_FILE123456"));

    EXPECT_FALSE(ContainsLocalHelpMarker(L""));
    EXPECT_FALSE(ContainsLocalHelpMarker(L"http://www.quorvane.com/help/zaltrow_help.html"));
    EXPECT_FALSE(ContainsLocalHelpMarker(L"OPEN_LOCAL_HELP_FILE1234"));   // one digit short
    EXPECT_FALSE(ContainsLocalHelpMarker(L"OPEN LOCAL HELP FILE12345"));  // blanks, not underscores
    EXPECT_FALSE(ContainsLocalHelpMarker(L"OPEN_LOCAL_HELP_FILE%3112345"));
}

TEST(HelpText, FolderIsEverythingBeforeTheLastBackslashAndTheAddressNamesTheProgram) {
    EXPECT_EQ(DirectoryOf("C:\\Program Files\\Zaltrow\\Zaltrow 1.2.exe"), "C:\\Program Files\\Zaltrow");
    EXPECT_EQ(DirectoryOf("C:\\Zaltrow 1.2.exe"), "C:");
    EXPECT_EQ(DirectoryOf("Zaltrow 1.2.exe"), "");
    EXPECT_EQ(PageAddress("C:\\Tools\\Renamed.exe"), "res://C:\\Tools\\Renamed.exe/23/186");
}

TEST(HelpText, PlainViewKeepsTextAndLinksAndLeavesOutTheRest) {
    EXPECT_EQ(LinkMarkupOf("<html><head><title>New Page 1</title><style>p{}</style></head>"
                           "<body><!-- note <a href=x>y</a> --><p>One\n   two&nbsp;&amp; three</p>"
                           "<P><A HREF='http://h/p?a=1&b'>Go\n  there</A> now<br>next<br><br><br>last</P>"
                           "<script>var a = '<p>';</script>&lt;tail&gt; &unknown; &#65;</body></html>"),
              "One two & three\r\n\r\n"
              "<a href=\"http://h/p?a=1&b\">Go there</a> now\r\nnext\r\n\r\nlast\r\n\r\n"
              "<tail> &unknown; A");
    EXPECT_EQ(LinkMarkupOf(""), "");
    EXPECT_EQ(LinkMarkupOf("<a href=\"u\">open</a>"), "<a href=\"u\">open</a>");
    // An unterminated link is closed, so the rest cannot swallow the view.
    EXPECT_EQ(LinkMarkupOf("<a href=\"u\">open"), "<a href=\"u\">open</a>");
}
