#include "net/LineReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace {

// Hands `body` out in reads of at most `chunk` bytes (0: as much as asked),
// recording how much room each read offered.
struct BodySource {
    explicit BodySource(std::string body, std::size_t chunk = 0) : body(std::move(body)), chunk(chunk) {}

    std::string body;
    std::size_t chunk;
    std::size_t offset = 0;
    std::vector<std::size_t> capacities;

    std::size_t operator()(char* buffer, std::size_t capacity) {
        capacities.push_back(capacity);
        std::size_t n = std::min(capacity, body.size() - offset);
        if (chunk) n = std::min(n, chunk);
        std::memcpy(buffer, body.data() + offset, n);
        offset += n;
        return n;
    }
};

std::vector<std::string> Split(const std::string& body, std::size_t chunk = 0) {
    BodySource source(body, chunk);
    LineReader reader([&source](char* b, std::size_t c) { return source(b, c); });
    return reader.ReadAll();
}

std::string Xs(std::size_t n) { return std::string(n, 'x'); }

struct SplitCase {
    const char* name;
    std::string body;
    std::vector<std::string> lines;
};

}  // namespace

class LineReaderSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineReaderSplit, EntriesFollowTheSplittingRules) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(Split(c.body), c.lines);
    // The entries do not depend on how the data trickles in.
    EXPECT_EQ(Split(c.body, 1), c.lines);
    EXPECT_EQ(Split(c.body, 1000), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineReaderSplit,
    ::testing::Values(
        SplitCase{"Empty", "", {}},
        SplitCase{"CrLfBecomesLf", "line one\r\nline two\r\n", {"line one\n", "line two\n"}},
        SplitCase{"LastLineWithoutLf", "a\nlast", {"a\n", "last"}},
        SplitCase{"EmptyLines", "\n\r\n\n", {"\n", "\n", "\n"}},
        SplitCase{"CrInsideLineDropped", "ab\rcd\r\n", {"abcd\n"}},
        SplitCase{"BareCrDoesNotEndLine", "a\rb\rc", {"abc"}},
        SplitCase{"TrailingCrOnlyGivesNothing", "abc\n\r\r", {"abc\n"}},
        SplitCase{"LastLineEndingInCr", "abc\r", {"abc"}},
        // A line of 3000 characters, its line feed included.
        SplitCase{"Line3000", Xs(2999) + "\n", {Xs(1022), Xs(1022), Xs(955) + "\n"}},
        SplitCase{"Line3000ThenMore", Xs(2999) + "\nend\n", {Xs(1022), Xs(1022), Xs(955) + "\n", "end\n"}},
        SplitCase{"LfCountsTowardsTheLimit", Xs(1022) + "\n", {Xs(1022), "\n"}},
        SplitCase{"LineThatJustFits", Xs(1021) + "\n", {Xs(1021) + "\n"}},
        SplitCase{"CrCountsTowardsTheLimit", Xs(1021) + "\r\n", {Xs(1021), "\n"}},
        SplitCase{"LongLineWithoutLf", Xs(2100), {Xs(1022), Xs(1022), Xs(56)}},
        // Entries built from carriage returns alone are empty.
        SplitCase{"CrRunOf1022", std::string(1022, '\r') + "x\n", {"", "x\n"}},
        SplitCase{"CrRunOf3000", std::string(2999, '\r') + "\n", {"", "", "\n"}},
        SplitCase{"CrRunAtTheEnd", "x\n" + std::string(3000, '\r'), {"x\n", "", ""}},
        SplitCase{"ZeroBytesKept", std::string("a\0b\n", 4), {std::string("a\0b\n", 4)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineReader, CrLfSplitAcrossBlockBoundary) {
    // Four lines of 1022 characters fill 4088 bytes; the CR of the fifth
    // line is the block's last byte and its LF the next block's first.
    std::string body;
    for (int i = 0; i < 4; ++i) body += std::string(1021, 'y') + "\n";
    body += "abcdefg\r\nnext\r\n";
    ASSERT_EQ(body.find('\r'), 4095u);
    const std::vector<std::string> lines = Split(body);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[4], "abcdefg\n");
    EXPECT_EQ(lines[5], "next\n");
}

TEST(LineReader, ReadsInBlocksOf4096AndStopsAtTheEnd) {
    BodySource source(std::string(5000, 'z'));
    LineReader reader([&source](char* b, std::size_t c) { return source(b, c); });
    std::vector<std::string> lines = reader.ReadAll();
    EXPECT_EQ(lines.size(), 5u);  // 4 × 1022 + 912
    EXPECT_EQ(source.capacities, (std::vector<std::size_t>{4096, 4096, 4096}));
    // At the end it stays at the end, without asking for more.
    std::string line = "stale";
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_EQ(line, "");
    EXPECT_EQ(source.capacities.size(), 3u);
}

TEST(LineReader, FailureKeepsTheEntriesBeforeIt) {
    int reads = 0;
    LineReader reader([&reads](char* buffer, std::size_t) -> std::size_t {
        if (reads++ > 0) throw std::runtime_error("connection dropped");
        std::memcpy(buffer, "a\nb\nc", 5);
        return 5;
    });
    std::string line;
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "a\n");
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "b\n");
    EXPECT_THROW(reader.ReadLine(line), std::runtime_error);
}
