#include "app/SettingsNumbers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SettingsNumbers, SplitTakesExactlyTheCountOfWholeNumbersOrNothing) {
    const struct {
        std::string text;
        std::size_t count;
        std::vector<int> expected;
    } cases[] = {
        {"120,80,900,640,0", 5, {120, 80, 900, 640, 0}},
        {"-1880,-20,700,500,1", 5, {-1880, -20, 700, 500, 1}},  // a screen left of the main one
        {"260,600", 2, {260, 600}},
        {"260,600,7", 2, {}},  // more than asked: not this setting
        {"260", 2, {}},
        {"260,", 2, {}},
        {"260, 600", 2, {}},
        {"26O,600", 2, {}},
        {"99999999999,1", 2, {}},  // out of range
        {"", 2, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(settings_numbers::Split(c.text, c.count), c.expected) << c.text;
        if (!c.expected.empty()) {
            EXPECT_EQ(settings_numbers::Join(c.expected), c.text);
        }
    }
}

TEST(SettingsNumbers, ScaleRoundsToTheNearestPixelBothWays) {
    const struct {
        int length, from, to, expected;
    } cases[] = {
        {260, 96, 144, 390}, {390, 144, 96, 260}, {101, 96, 120, 126}, {-75, 96, 192, -150},
        {7, 144, 96, 5},     {260, 96, 0, 260},   {1, 192, 96, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(settings_numbers::Scale(c.length, c.from, c.to), c.expected) << c.length << " " << c.from << "->" << c.to;
}

}  // namespace
