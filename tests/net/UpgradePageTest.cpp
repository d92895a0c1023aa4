#include "net/UpgradePage.h"

#include <gtest/gtest.h>

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

TEST(ParseUpgradePage, SignatureIsTheLineAfterItsMarker) {
    UpgradePage page;
    ParseUpgradePage(Lines({"<!-- UPGRADE Download Link", "http://host/setup.exe", "-->",
                            "<p><!-- UPGRADE Signature", "QUJD", "-->"}),
                     page);
    EXPECT_EQ(page.signature, "QUJD\n");
    EXPECT_EQ(page.downloadLink, "http://host/setup.exe\n");
    ParseUpgradePage(Lines({"<!-- UPGRADE Version", "2.0"}), page);
    EXPECT_EQ(page.signature, "QUJD\n") << "kept like the link";
}

TEST(ShownDescription, ShortTextIsWholeLongTextIsCutWithDots) {
    const std::string twenty = [] {
        std::string text;
        for (int i = 0; i < 20; ++i) text += "line\n";
        return text;
    }();
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

TEST(ShownDescription, DoubleByteCharactersAreNeverSplit) {
    // 0x81 leads a two-byte character: 79 single bytes, then one that
    // would end past column 80 goes onto the next line whole.
    const auto lead = [](unsigned char c) { return c == 0x81; };
    const std::string text = std::string(79, 'a') + "\x81\x40" + "z";
    EXPECT_EQ(ShownDescription(text, lead), std::string(79, 'a') + "\n\x81\x40z");
}

}  // namespace
