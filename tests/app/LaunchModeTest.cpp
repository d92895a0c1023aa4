#include "app/LaunchMode.h"

#include <gtest/gtest.h>

namespace {

TEST(LaunchMode, OnlyTheUpgradeSwitchAloneIsTheUpgradeStep) {
    using Kind = LaunchMode::Kind;
    const struct {
        const wchar_t* line;
        Kind expected;
    } cases[] = {
        {L"\"C:\\Program Files\\Zaltrow\\Zaltrow 1.2.exe\" /upgrade", Kind::Upgrade},
        {L"Zaltrow.exe /UPGRADE", Kind::Upgrade},
        {L"Zaltrow.exe -Upgrade", Kind::Upgrade},
        {L"Zaltrow.exe \t \"/upgrade\"  ", Kind::Upgrade},
        {L"\"C:\\Tools\\a /upgrade\\Zaltrow.exe\"", Kind::Window},  // in the program's own path
        {L"C:\\Tools\\/upgrade", Kind::Window},
        {L"Zaltrow.exe /upgrades", Kind::Window},
        {L"Zaltrow.exe /upgrade /upgrade", Kind::Window},
        {L"Zaltrow.exe \"/upgrade now\"", Kind::Window},
        {L"", Kind::Window},
    };
    for (const auto& c : cases) EXPECT_EQ(LaunchMode::Parse(c.line), c.expected) << c.line;
}

}  // namespace
