#include "inventory/EntrySelection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Names(int count) {
    std::vector<std::wstring> names;
    for (int i = 1; i <= count; ++i) names.push_back(L"App " + std::to_wstring(i));
    return names;
}

TEST(EntrySelectionTexts, OneQuestionForManyEntriesNamesTenAndCountsTheRest) {
    const struct {
        int count;
        std::wstring start;
        std::wstring end;
    } cases[] = {
        {1, L"App 1\n\nDo you wish to remove this entry", L"Programs list?"},
        {2, L"Do you wish to remove these 2 entries from the Add/Remove Programs list?\n\nApp 1\nApp 2", L"\nApp 2"},
        {10, L"Do you wish to remove these 10 entries", L"\nApp 10"},
        {13, L"Do you wish to remove these 13 entries", L"\nApp 10\nand 3 more"},
    };
    for (const auto& c : cases) {
        const std::wstring text = RemoveQuestionText(Names(c.count));
        EXPECT_EQ(text.rfind(c.start, 0), 0u) << c.count;
        EXPECT_EQ(text.substr(text.size() - c.end.size()), c.end) << c.count;
        EXPECT_EQ(text.find(L"App 11"), std::wstring::npos) << c.count;
    }
}

TEST(EntrySelectionTexts, BatchReportCountsSaysWhereTheBackupsAreAndWhyEachFailure) {
    const std::wstring folder = L"C:\\Users\\ann\\AppData\\Local\\Zaltrow\\Removed";
    std::vector<BatchFailure> many;
    for (int i = 1; i <= 12; ++i) many.push_back({L"Broken " + std::to_wstring(i), L"Access is denied."});
    const struct {
        std::size_t removed, gone;
        std::vector<BatchFailure> failures;
        std::vector<std::wstring> present;
        std::vector<std::wstring> absent;
    } cases[] = {
        {3, 0, {}, {L"3 entries were removed", L"Their backups were saved in\n" + folder + L"\nand\nC:\\ProgramData\\Zaltrow\\Removed\n\n", L"bring them back", L"Restore removed entries\x2026"}, {L"no longer", L"could not"}},
        {1, 2, {}, {L"1 entry was removed", L"Its backup", L"bring it back", L"2 entries were no longer in the list."}, {L"could not"}},
        {0, 0, {{L"Kestrel", L"There was a problem removing the program entry\nKEY\nAccess is denied."}},
         {L"No entries were removed", L"1 entry could not be removed:\n\nKestrel\nThere was a problem"}, {L"backup", L"Restore"}},
        {2, 0, many, {L"12 entries could not be removed:", L"Broken 10\n", L"and 2 more"}, {L"Broken 11"}},
    };
    for (const auto& c : cases) {
        const std::wstring text =
            BatchRemovedText(c.removed, c.gone, {folder, L"C:\\ProgramData\\Zaltrow\\Removed"}, c.failures);
        for (const std::wstring& part : c.present) EXPECT_NE(text.find(part), std::wstring::npos) << part;
        for (const std::wstring& part : c.absent) EXPECT_EQ(text.find(part), std::wstring::npos) << part;
    }
    const std::wstring single = RemovedText(L"Kestrel Mail 2.0", folder + L"\\x.reg");
    EXPECT_EQ(single.rfind(L"Kestrel Mail 2.0 was successfully removed from the Add/Remove Programs list.\n\n", 0), 0u);
    EXPECT_NE(single.find(L"Its backup was saved as\n" + folder + L"\\x.reg\n"), std::wstring::npos);
}

}  // namespace

// Red rows only keep the plain question and its Yes; any working program
// makes it say how many are, with No the default, and one alone is offered
// Uninstall instead. This program's own entry is told by its machine key.
TEST(EntrySelectionTexts, RemovingWorkingProgramsIsSaidAndDefaultsToNo) {
    const struct {
        std::vector<RemovalCandidate> rows;
        std::size_t live;
        bool offerUninstall, defaultYes;
        const wchar_t* says;  // a part of the text; empty: exactly the plain question
    } cases[] = {
        {{{L"Gone", true}}, 0, false, true, L""},
        {{{L"Gone", true}, {L"Lost", true}}, 0, false, true, L""},
        {{{L"Live", false}}, 1, true, false, L"Live\n\nThis is a working program, not a phantom"},
        {{{L"Gone", true}, {L"Live", false}}, 1, false, false, L"1 of them is a working program, not a phantom"},
        {{{L"A", false}, {L"B", false}, {L"C", true}}, 2, false, false, L"2 of them are working programs"},
        {{{L"A", false}, {L"B", false}}, 2, false, false, L"All 2 are working programs"},
    };
    for (const auto& c : cases) {
        const RemoveQuestion question = RemoveQuestionOf(c.rows);
        std::vector<std::wstring> names;
        for (const RemovalCandidate& row : c.rows) names.push_back(row.displayName);
        EXPECT_EQ(question.live, c.live) << c.rows.size();
        EXPECT_EQ(question.offerUninstall, c.offerUninstall) << c.rows.size();
        EXPECT_EQ(question.defaultYes, c.defaultYes) << c.rows.size();
        if (*c.says == L'\0') {
            EXPECT_EQ(question.text, RemoveQuestionText(names));
        } else {
            EXPECT_NE(question.text.find(c.says), std::wstring::npos) << c.rows.size();
        }
        const bool warned = question.text.find(L"no longer be reachable") != std::wstring::npos;
        EXPECT_EQ(warned, c.live > 0) << c.rows.size();
    }

    ProgramEntry own;
    own.keyName = L"zaltrow";
    own.source = EntrySource::Machine;
    EXPECT_TRUE(IsOwnEntry(own));
    own.source = EntrySource::User;  // a user's entry of that name is anyone's
    EXPECT_FALSE(IsOwnEntry(own));
    own.source = EntrySource::Machine;
    own.keyName = L"Zaltrow Tools";
    EXPECT_FALSE(IsOwnEntry(own));
}
