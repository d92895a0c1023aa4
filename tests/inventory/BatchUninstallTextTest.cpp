// What the window says of a batch: the question's marks and its shortening,
// each row's state, and the report's sections with its offer.
#include <gtest/gtest.h>

#include "inventory/BatchUninstallText.h"

namespace {

BatchResult Ended(BatchOutcome outcome, std::optional<DWORD> code = {}, const wchar_t* command = L"run") {
    BatchResult result;
    result.outcome = outcome;
    result.exitCode = code;
    result.command = command;
    return result;
}

TEST(BatchUninstallText, QuestionMarksEachProgramAndShortensALongList) {
    std::vector<UninstallChoice> rows = {{L"Quiet", false, true}, {L"Windowed", false, false}, {L"Red", true, false}};
    EXPECT_EQ(UninstallManyQuestionText(rows, true),
              L"Uninstall these 3 programs, one after another?\n\nQuiet \u2014 runs quietly\n"
              L"Windowed \u2014 shows its own window\nRed \u2014 its uninstaller is missing");
    // Unticked, every program that can run shows its window.
    EXPECT_NE(UninstallManyQuestionText(rows, false).find(L"Quiet \u2014 shows its own window"), std::wstring::npos);
    // A name no window could hold is cut.
    const std::wstring cut = UninstallManyQuestionText({{std::wstring(10000, L'x'), false, true}}, true);
    EXPECT_EQ(cut.substr(cut.find(L'x')), std::wstring(120, L'x') + L"\u2026 \u2014 runs quietly");
    rows.resize(12, {L"More", false, true});
    const std::wstring many = UninstallManyQuestionText(rows, true);
    EXPECT_EQ(many.substr(many.rfind(L'\n')), L"\nand 2 more");
    EXPECT_EQ(std::count(many.begin(), many.end(), L'\n'), 1 + 10 + 1);  // the heading's, ten names, the rest
}

TEST(BatchUninstallText, StatesAndReportSayHowEachEnded) {
    const struct {
        BatchResult result;
        const wchar_t* state;
    } states[] = {
        {Ended(BatchOutcome::Uninstalled, 0), L"Uninstalled"},
        {Ended(BatchOutcome::RestartNeeded, 3010), L"Restart needed"},
        {Ended(BatchOutcome::Failed, 1603), L"Failed (exit code 1603)"},
        {Ended(BatchOutcome::Failed), L"Failed"},
        {Ended(BatchOutcome::Skipped), L"Skipped"},
        {Ended(BatchOutcome::TimedOut), L"Still running"},
        {Ended(BatchOutcome::NotRun), L"Not run"},
    };
    for (const auto& c : states) EXPECT_EQ(EndedStateText(c.result), c.state);

    // Red after the refresh: offered, whether it failed, stayed or had
    // nothing to run; a program still working is not.
    BatchResult failed = Ended(BatchOutcome::Failed, 2);
    failed.reason = L"The uninstaller ended with exit code 2.";
    const std::vector<std::wstring> names = {L"Gone", L"Later", L"Broken", L"Stays", L"Red", L"Stopped"};
    const std::vector<BatchResult> results = {Ended(BatchOutcome::Uninstalled, 0), Ended(BatchOutcome::RestartNeeded, 1641),
                                              failed, Ended(BatchOutcome::StillListed, 0),
                                              Ended(BatchOutcome::StillListed, {}, L""), Ended(BatchOutcome::NotRun, {}, L"")};
    const BatchReport report = BatchReportOf(names, results, {false, false, true, false, true, false});
    EXPECT_EQ(report.text,
              L"1 program uninstalled:\n    Gone\n\n"
              L"1 program uninstalled, to be finished when Windows restarts:\n    Later\n\n"
              L"1 program not uninstalled:\n    Broken: The uninstaller ended with exit code 2.\n\n"
              L"1 program still listed after the uninstaller ended:\n    Stays\n\n"
              L"1 program with no uninstaller left to run:\n    Red\n\n"
              L"1 program not started:\n    Stopped");
    EXPECT_TRUE(report.anyFailed);
    EXPECT_EQ(report.leftovers, (std::vector<std::size_t>{2, 4}));
    EXPECT_EQ(report.question.rfind(L"2 programs are still listed, and their uninstallers are gone:\n    Broken\n    Red\n\n"
                                    L"Remove their entries?", 0), 0u);
    EXPECT_TRUE(BatchReportOf(names, results, std::vector<bool>(6, false)).question.empty());
}

}  // namespace
