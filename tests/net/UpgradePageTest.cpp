#include "net/UpgradePage.h"
#include "net/UpgradeStatement.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(ReadVersionNumber, LeadingDecimalNumberOnly) {
    struct Case {
        const char* line;
        float expected;
    };
    const Case cases[] = {
        {"1.3\n", 1.3f},        {"  1.3 beta\n", 1.3f}, {"beta 1.3\n", 0.0f}, {"\n", 0.0f},
        {"+2.5\n", 2.5f},       {"-1\n", -1.0f},        {".5\n", 0.5f},       {"1e1\n", 10.0f},
        {"1e\n", 1.0f},         {"1.2.3\n", 1.2f},      {"\t7\n", 7.0f},      {"v1.3\n", 0.0f},
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(ReadVersionNumber(c.line), c.expected) << c.line;
}

TEST(ReadVersionNumber, OnlyTheFirst99CharactersCount) {
    // 98 blanks then "1.5": the cut leaves "1".
    const std::string line = std::string(98, ' ') + "1.5\n";
    EXPECT_FLOAT_EQ(ReadVersionNumber(line), 1.0f);
    const std::string longNumber = "1." + std::string(300, '5') + "\n";
    EXPECT_FLOAT_EQ(ReadVersionNumber(longNumber), 1.5555556f);
}

TEST(ReadVersionNumber, ComparesAsSinglePrecision) {
    EXPECT_FALSE(ReadVersionNumber("1.2") > 1.2f);
    EXPECT_TRUE(ReadVersionNumber("1.21") > 1.2f);
    EXPECT_FALSE(ReadVersionNumber("1.19999") > 1.2f);
}

std::vector<std::string> Lines(std::initializer_list<const char*> lines) {
    std::vector<std::string> result;
    for (const char* line : lines) result.push_back(std::string(line) + "\n");
    return result;
}

TEST(ParseUpgradePage, ReadsTheThreeValuesInsideAnHtmlPage) {
    UpgradePage page;
    ParseUpgradePage(Lines({"<html><body>", "<!-- UPGRADE Version", "1.3", "-->", "<p>news</p>",
                            "<!-- UPGRADE Description", "Faster lists.", "<b>New</b> icons.",
                            "END UPGRADE Description -->", "<!-- UPGRADE Download Link",
                            "http://www.example.com/setup.exe", "-->", "</body></html>"}),
                     page);
    EXPECT_FLOAT_EQ(page.newVersion, 1.3f);
    EXPECT_EQ(page.description, "Faster lists.\n<b>New</b> icons.\n");
    EXPECT_EQ(page.downloadLink, "http://www.example.com/setup.exe\n");
}

TEST(ParseUpgradePage, MarkersAnywhereInALineAndValuesNeverTestedAsMarkers) {
    UpgradePage page;
    ParseUpgradePage(Lines({"x <!-- UPGRADE Version y", "<!-- UPGRADE Download Link", "<!-- UPGRADE Version",
                            "2.0"}),
                     page);
    // The link marker was the first version's value, so it set no link;
    // the second version marker then read 2.0.
    EXPECT_FLOAT_EQ(page.newVersion, 2.0f);
    EXPECT_EQ(page.downloadLink, "") << "a consumed line is not a marker";
}

TEST(ParseUpgradePage, DescriptionEndOnTheMarkerLineIsEmptyAndRepeatsAppend) {
    UpgradePage page;
    page.description = "old";
    ParseUpgradePage(Lines({"<!-- UPGRADE Description END UPGRADE Description -->"}), page);
    EXPECT_EQ(page.description, "");
    ParseUpgradePage(Lines({"<!-- UPGRADE Description", "a", "END UPGRADE Description", "<!-- UPGRADE Description",
                            "b", "END UPGRADE Description", "<!-- UPGRADE Version", "1.4", "<!-- UPGRADE Version",
                            "1.5"}),
                     page);
    EXPECT_EQ(page.description, "a\nb\n");
    EXPECT_FLOAT_EQ(page.newVersion, 1.5f) << "the last version wins";
}

TEST(ParseUpgradePage, EarlierValuesSurviveAPageWithoutThem) {
    UpgradePage page;
    ParseUpgradePage(Lines({"<!-- UPGRADE Version", "1.9", "<!-- UPGRADE Download Link", "http://a/b.exe"}), page);
    ParseUpgradePage({}, page);
    EXPECT_FLOAT_EQ(page.newVersion, 1.9f);
    EXPECT_EQ(page.downloadLink, "http://a/b.exe\n");
}

TEST(ParseUpgradePage, TruncatedPagesKeepWhatWasRead) {
    UpgradePage page;
    ParseUpgradePage(Lines({"<!-- UPGRADE Description", "one", "two"}), page);
    EXPECT_EQ(page.description, "one\ntwo\n");
    page.newVersion = 1.7f;
    ParseUpgradePage(Lines({"<!-- UPGRADE Version"}), page);
    EXPECT_FLOAT_EQ(page.newVersion, 1.7f) << "nothing follows the marker";
    EXPECT_EQ(page.description, "");
}

}  // namespace

namespace {

TEST(ShownDescription, ShortTextIsWholeLongTextIsCutWithDots) {
    const std::string twenty = [] {
        std::string text;
        for (int i = 0; i < 20; ++i) text += "line\n";
        return text;
    }();
    std::string nearlyFull;  // 1,421 characters, ending with a line feed
    for (int i = 0; i < 17; ++i) nearlyFull += std::string(78, 'b') + "\n";
    nearlyFull += std::string(77, 'c') + "\n";
    struct Case {
        std::string description;
        std::string shown;
    };
    const Case cases[] = {
        {"", ""},
        {"Faster lists.\nNew icons.\n", "Faster lists.\nNew icons.\n"},
        {twenty, twenty},
        {twenty + "one more\n", twenty + "..."},
        {std::string(85, 'b'), std::string(80, 'b') + "\n" + std::string(5, 'b')},
        {std::string(70, 'c') + " " + std::string(20, 'd'), std::string(70, 'c') + " \n" + std::string(20, 'd')},
        // Cut at 1,500 characters with 79 on the last line: the dots still fit in 80.
        {nearlyFull + std::string(200, 'd'), nearlyFull + std::string(77, 'd') + "..."},
    };
    for (const Case& c : cases) EXPECT_EQ(ShownDescription(c.description), c.shown) << c.description;
    // 1,500 letters without a blank: 18 full lines, then cut at 1,500 characters.
    const std::string letters = ShownDescription(std::string(3000, 'a'));
    EXPECT_EQ(letters.substr(letters.size() - 3), "...");
    EXPECT_LE(letters.size(), 1500u + 3);
    EXPECT_EQ(letters.substr(0, 81), std::string(80, 'a') + "\n");
    // 3000 short lines: 20 of them.
    std::string many;
    for (int i = 0; i < 3000; ++i) many += "x\n";
    std::string expected;
    for (int i = 0; i < 20; ++i) expected += "x\n";
    EXPECT_EQ(ShownDescription(many), expected + "...");
}

TEST(ShownDescription, Utf8CharactersAreNeverSplit) {
    // 79 letters, then "é" (two bytes) would end past column 80: it goes
    // onto the next line whole.
    const std::string text = std::string(79, 'a') + "\xC3\xA9" + "z";
    EXPECT_EQ(ShownDescription(text), std::string(79, 'a') + "\n\xC3\xA9z");
}

TEST(ParseUpgradePage, StatementsWithTheirSignatureAndLinkJoinedFromLongLines) {
    // A statement line of 2500 characters arrives as three entries.
    const std::string longLine = "zaltrow-upgrade " + std::string(2484, 'x');
    std::vector<std::string> lines = Lines({"<!-- UPGRADE Statement Signature", "orphan", "<!-- UPGRADE Statement"});
    lines.push_back(longLine.substr(0, 1022));
    lines.push_back(longLine.substr(1022, 1022));
    lines.push_back(longLine.substr(2044) + "\n");
    for (const std::string& line : Lines({"<!-- UPGRADE Statement Signature", "  c2ln  ", "<!-- UPGRADE Statement Download Link",
                                          "http://host/a.exe", "-->", "<!-- UPGRADE Statement", "second", "-->"}))
        lines.push_back(line);
    UpgradePage page;
    page.statements.push_back({"stale", "", ""});
    ParseUpgradePage(lines, page);
    ASSERT_EQ(page.statements.size(), 2u) << "a signature before any statement belongs to none";
    EXPECT_EQ(page.statements[0].text, longLine);
    EXPECT_EQ(page.statements[0].signature, "c2ln");
    EXPECT_EQ(page.statements[0].link, "http://host/a.exe");
    EXPECT_EQ(page.statements[1].text, "second");
    EXPECT_EQ(page.statements[1].signature, "");
    EXPECT_EQ(page.downloadLink, "") << "the statement's link is not the old readers' link";
}

// The statement's fields and the dotted versions it is compared by.
TEST(UpgradeStatement, ParsingAndVersionOrder) {
    const std::string digest(64, 'a');
    const std::string fields = " size=1234 sha256=" + digest + " description=RmFzdGVy";  // "Faster"
    struct Case {
        std::string line;
        bool valid;
        std::string version = {};
    };
    const Case cases[] = {
        {"zaltrow-upgrade product=Zaltrow version=1.3 architecture=i686" + fields, true, "1.3"},
        {"zaltrow-upgrade architecture=x86_64 version=1.10.2 product=Zaltrow future=yes" + fields, true, "1.10.2"},
        {"zaltrow-upgrade product=Zaltrow version=1.3 architecture=i686 size=1234 sha256=" + digest + " description=",
         true, "1.3"},
        {"zaltrow-upgrade product=Zaltrow version=1.3 architecture=i686 size=1 sha256=" +
             std::string(64, 'A') + " description=", true, "1.3"},
        {"product=Zaltrow version=1.3 architecture=i686" + fields, false},                 // no tag
        {"zaltrow-upgrade product=Zaltrow version=1.3 version=9.9 architecture=i686" + fields, false},  // twice
        {"zaltrow-upgrade product=Zaltrow architecture=i686" + fields, false},            // no version
        {"zaltrow-upgrade product=Zaltrow version=1.3beta architecture=i686" + fields, false},
        {"zaltrow-upgrade product=Zaltrow version=1..3 architecture=i686" + fields, false},
        {"zaltrow-upgrade product=Zaltrow version=-1.3 architecture=i686" + fields, false},
        {"zaltrow-upgrade product=Zaltrow  version=1.3 architecture=i686" + fields, false},  // two blanks
        {"zaltrow-upgrade product=Zaltrow version=1.3 architecture=i686 size=0 sha256=" + digest + " description=",
         false},
        {"zaltrow-upgrade product=Zaltrow version=1.3 architecture=i686 size=12 sha256=abc description=", false},
        {"zaltrow-upgrade product=Zaltrow version=1.3 architecture=i686 size=12 sha256=" + digest +
             " description=*notbase64*", false},
        {"zaltrow-upgrade product= version=1.3 architecture=i686" + fields, false},
    };
    for (const Case& c : cases) {
        const std::optional<UpgradeStatement> statement = ParseUpgradeStatement(c.line);
        ASSERT_EQ(statement.has_value(), c.valid) << c.line;
        if (c.valid) {
            EXPECT_EQ(statement->version, c.version) << c.line;
        }
    }
    const auto first = ParseUpgradeStatement(cases[0].line);
    EXPECT_EQ(first->product, "Zaltrow");
    EXPECT_EQ(first->architecture, "i686");
    EXPECT_EQ(first->size, 1234u);
    EXPECT_EQ(first->sha256, digest);
    EXPECT_EQ(first->description, "Faster");
    EXPECT_EQ(ParseUpgradeStatement(cases[3].line)->sha256, digest) << "hex digits in any case";

    // a < b, field by field.
    const std::pair<const char*, const char*> ordered[] = {
        {"1.9", "1.10"}, {"1.2", "1.3"}, {"1.2", "1.2.1"}, {"0.99", "1.0"}, {"1.2.9", "1.3"}, {"9", "10"}};
    for (const auto& [a, b] : ordered) {
        EXPECT_LT(CompareVersions(*ParseDottedVersion(a), *ParseDottedVersion(b)), 0) << a << " < " << b;
        EXPECT_GT(CompareVersions(*ParseDottedVersion(b), *ParseDottedVersion(a)), 0) << b << " > " << a;
    }
    EXPECT_EQ(CompareVersions(*ParseDottedVersion("1.2"), *ParseDottedVersion("1.2.0")), 0);
    for (const char* bad : {"", "1.", ".1", "1.x", "1.2 ", "1234567890.1"})
        EXPECT_EQ(ParseDottedVersion(bad), std::nullopt) << bad;

    // A registered version against a statement's: as numbers, never as text.
    const std::tuple<const wchar_t*, const char*, bool> registered[] = {
        {L"1.3", "1.3.0", true},   {L"1.3.0", "1.3", true}, {L"01.3", "1.3", true}, {L"1.10", "1.1", false},
        {L"1.2", "1.3", false},    {L"", "1.3", false},     {L"1.3", "", false},    {L"1.3 beta", "1.3", false},
        {L"\xFF11.3", "1.3", false}};
    for (const auto& [entry, version, same] : registered)
        EXPECT_EQ(SameVersion(entry, version), same) << version;
}

}  // namespace
