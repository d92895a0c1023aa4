// The report writers and the outcome rules, as pure text: what a script
// parses, a spreadsheet opens and a person reads, and which exit code wins.

#include <gtest/gtest.h>

#include <tuple>

#include <string>
#include <vector>

#include "inventory/EntryReport.h"
#include "cli/ExitCode.h"
#include "cli/OperationResult.h"

namespace {

ReportRow Phantom() {
    ReportRow row;
    row.list = L"user:S-1-5-21-7-1001";
    row.userSid = L"S-1-5-21-7-1001";
    row.key = L"Ключ \"1\"";
    row.displayName = L"狐, \"Fox\"\r\nTwo";
    row.uninstallCommand = L"C:\\Tools\\un\tinst.exe";
    row.judgement = EntryFacts::Judgement::Missing;
    row.reason = L"\xD83E\xDD8A \xD800 gone";  // a pair, then a surrogate without its partner
    return row;
}

TEST(EntryReport, WritesJsonCsvAndTableExactly) {
    ReportRow live;
    live.list = L"machine-64";
    live.key = L"{6F1A}";
    live.displayName = L"Żółw";
    live.version = L"1.0";
    live.installDate = L"20240229";
    live.sizeKb = 4294967295u;
    live.quietUninstall = L"msiexec /x {6F1A} /qn /norestart";
    live.quietBasis = quiet_uninstall::Basis::WindowsInstaller;
    const std::vector<ReportRow> rows{live, Phantom()};

    const std::wstring json = JsonReport({L"PC-1", IsoUtcTime(2026, 3, 4, 5, 6, 7), 2, {}}, rows);
    for (const wchar_t* part : {
             L"\"computer\": \"PC-1\",\r\n  \"generated\": \"2026-03-04T05:06:07Z\",\r\n  \"leftOut\": 2,",
             L"{\"list\": \"machine-64\", \"user\": null, \"key\": \"{6F1A}\", \"name\": \"Żółw\", \"publisher\": null, "
             L"\"version\": \"1.0\", \"installLocation\": null, \"uninstallString\": null, \"quietUninstallString\": "
             L"null, \"productCode\": null, \"phantom\": false, \"reason\": null, \"installDate\": \"20240229\", "
             L"\"estimatedSizeKB\": 4294967295, \"quietUninstall\": \"msiexec /x {6F1A} /qn /norestart\", "
             L"\"quietUninstallFoundBy\": \"windows-installer\"}",
             L"\"key\": \"Ключ \\\"1\\\"\", \"name\": \"狐, \\\"Fox\\\"\\r\\nTwo\"",
             L"\"uninstallString\": \"C:\\\\Tools\\\\un\\tinst.exe\"",
             L"\"phantom\": true, \"reason\": \"\xD83E\xDD8A \\ud800 gone\", \"installDate\": null, "
             L"\"estimatedSizeKB\": null, \"quietUninstall\": null, \"quietUninstallFoundBy\": null}\r\n  ]\r\n}\r\n"})
        EXPECT_NE(json.find(part), std::wstring::npos) << part;
    EXPECT_TRUE(JsonReport({L"PC", L"T", 0, {}}, std::vector<ReportRow>{})
                    .ends_with(L"\"leftOut\": 0,\r\n  \"leftOutByList\": {},\r\n  \"unreadLists\": [],\r\n  \"entries\": []\r\n}\r\n"));

    const std::wstring csv = CsvReport(rows);
    EXPECT_TRUE(csv.starts_with(L"\xFEFFlist,user,key,name,publisher,version,installLocation,uninstallString,"
                                L"quietUninstallString,productCode,phantom,reason,installDate,estimatedSizeKB,quietUninstall,"
                                L"quietUninstallFoundBy\r\n"));
    EXPECT_NE(csv.find(L"\r\nmachine-64,,{6F1A},Żółw,,1.0,,,,,false,,20240229,4294967295,msiexec /x {6F1A} /qn /norestart,"
                       L"windows-installer\r\n"),
              std::wstring::npos)
        << csv;
    EXPECT_NE(csv.find(L"\r\nuser:S-1-5-21-7-1001,S-1-5-21-7-1001,\"Ключ \"\"1\"\"\",\"狐, \"\"Fox\"\"\r\nTwo\","
                       L",,,C:\\Tools\\un\tinst.exe,,,true,\xD83E\xDD8A \xD800 gone,,,,\r\n"),
              std::wstring::npos)
        << csv;

    // Each column starts at one place on screen, wide characters taking two.
    const std::wstring table = TextTable(rows);
    const auto column = [&](std::wstring_view lineStart, std::wstring_view cell) {
        const std::size_t line = table.find(lineStart);
        return DisplayWidth(std::wstring_view(table).substr(line, table.find(cell, line) - line));
    };
    EXPECT_EQ(table.substr(0, 32), L"STATE    LIST                  K");
    EXPECT_EQ(column(L"STATE", L"NAME"), 41u) << table;
    EXPECT_EQ(column(L"ok ", L"Żółw"), 41u);
    EXPECT_EQ(column(L"phantom", L"狐"), 41u);
    EXPECT_EQ(column(L"STATE", L"REASON"), column(L"phantom", L"\xD83E"));
    EXPECT_EQ(DisplayWidth(L"狐\xD83E\xDD8A" L"a"), 5u);
}

TEST(OperationResult, NamesEachOutcomeAndTheExitCodeThatWins) {
    const OperationResult removed{L"user", L"K", L"Fox", OperationOutcome::Removed, L"C:\\B\\x.reg"};
    const OperationResult gone{L"user", L"K2", L"", OperationOutcome::AlreadyRemoved, L""};
    const OperationResult missing{L"machine-32", L"N", L"", OperationOutcome::NotFound, L"no such entry"};
    const OperationResult failed{L"user", L"F\tG", L"", OperationOutcome::BackupFailed, L"Access is denied.\r\n"};
    const OperationResult rights{L"machine-64", L"M", L"", OperationOutcome::NeedsAdministrator, L"run elevated"};
    EXPECT_EQ(ConsoleLine(removed), L"removed: user  K  Fox  (backup: C:\\B\\x.reg)");
    EXPECT_EQ(ConsoleLine(rights), L"administrator rights needed: machine-64  M: run elevated");
    EXPECT_EQ(ConsoleLine({L"user", L"K", L"", OperationOutcome::BackupFailed, L"could not be written to\nC:\\B\nAccess is denied."}),
              L"backup failed: user  K: could not be written to: C:\\B: Access is denied.");
    EXPECT_EQ(ResultFileLine(gone), L"user\tK2\talready-removed\t");
    EXPECT_EQ(ResultFileLine(failed), L"user\tF G\tbackup-failed\tAccess is denied.  ");
    // The window reads the lines back from the elevated program: every
    // outcome comes back as written (the name is not in the file).
    for (const OperationResult& written : {removed, gone, rights, missing}) {
        const std::optional<OperationResult> read = ParseResultFileLine(ResultFileLine(written));
        ASSERT_TRUE(read) << ResultFileLine(written);
        EXPECT_EQ(std::tie(read->list, read->key, read->outcome), std::tie(written.list, written.key, written.outcome));
    }
    for (const wchar_t* line : {L"", L"user\tK\tremoved", L"user\tK\tvanished\t", L"a\tb\tremoved\tc\td"})
        EXPECT_FALSE(ParseResultFileLine(line)) << line;
    // The hand-off's own file handle, as --result names it; anything else
    // (a path among them) is no handle.
    EXPECT_EQ(ParseResultHandleArgument(ResultHandleArgument(4242, 0x1F0)), (ResultHandle{4242, 0x1F0}));
    EXPECT_EQ(ResultHandleArgument(7, 12), L"handle:7:12");
    for (const wchar_t* text : {L"C:\\r.txt", L"handle:", L"handle:1", L"handle:1:", L"handle::2", L"handle:1:0",
                                L"handle:1:2:3", L"handle:-1:2", L"handle:4294967296:2", L"handle:1:0x2", L"handle:01:2", L"HANDLE:1:2"})
        EXPECT_FALSE(ParseResultHandleArgument(text)) << text;

    const std::vector<std::pair<std::vector<OperationResult>, int>> codes{
        {{}, kExitDone},
        {{removed, gone}, kExitDone},
        {{removed, missing}, kExitNotFound},
        {{missing, failed}, kExitSomeFailed},
        {{rights, failed, missing}, kExitNeedsAdministrator},
        {{failed, rights}, kExitNeedsAdministrator},
    };
    for (std::size_t i = 0; i < codes.size(); ++i) EXPECT_EQ(ExitCodeOf(codes[i].first), codes[i].second) << i;

    EXPECT_EQ(RemovalSummary({removed, gone, missing, failed, rights}, L"entries", L"C:\\B", false),
              L"Removed 1 of 5 entries, 1 already removed, 1 needing administrator rights, 1 not found, 1 failed; "
              L"backups in C:\\B.");
    EXPECT_EQ(RemovalSummary({{L"user", L"K", L"", OperationOutcome::WouldRemove, L""}, rights}, L"phantom entries", L"C:\\B", true),
              L"Would remove 1 of 2 phantom entries, 1 needing administrator rights; nothing was changed (dry run); "
              L"backups would go to C:\\B.");
}

}  // namespace

namespace {

// The machine forms' rules: a spreadsheet formula made text in CSV (and
// only in CSV), columns as the console draws joined emoji, and the changing
// verbs' and backups' documents field by field.
TEST(EntryReport, MachineFormsKeepTextsAndDefuseFormulas) {
    const std::vector<std::pair<std::wstring, std::wstring>> cells{
        {L"=HYPERLINK(\"http://x\")", L"\"'=HYPERLINK(\"\"http://x\"\")\""},
        {L"+cmd|' /C calc'!A0", L"'+cmd|' /C calc'!A0"},
        {L"-2+3", L"'-2+3"},
        {L"@SUM(A1)", L"'@SUM(A1)"},
        {L"\tTab", L"'\tTab"},
        {L"\rReturn", L"\"'\rReturn\""},
        {L"Acme = Tools", L"Acme = Tools"},
        {L"", L""},
    };
    for (const auto& [name, cell] : cells) {
        ReportRow row;
        row.displayName = name;
        EXPECT_NE(CsvReport({row}).find(L"\r\n,,," + cell + L","), std::wstring::npos) << name;
        EXPECT_NE(BackupsCsv({{L"f", L"user", L"k", name, L""}}).find(L"\r\nf,user,k," + cell + L",\r\n"), std::wstring::npos)
            << name;
    }

    const std::vector<std::pair<std::wstring, std::size_t>> widths{
        {L"abc", 3},
        {L"e\x0301", 1},                                                      // e and a combining accent
        {L"\x2764\xFE0F", 2},                                                 // a heart made a picture
        {L"\xD83D\xDC4D\xD83C\xDFFD", 2},                                     // thumbs up, skin tone
        {L"\xD83D\xDC68\x200D\xD83D\xDC69\x200D\xD83D\xDC67", 2},             // a family joined by ZWJ
        {L"\xD83C\xDDF5\xD83C\xDDF1" L"a", 3},                                // a flag, then a letter
        {L"狐a", 3},
    };
    for (const auto& [text, width] : widths) EXPECT_EQ(DisplayWidth(text), width) << "a text of width " << width;

    ReportHeader header{L"PC", L"T", 120, {{L"machine-64", 120, L""}, {L"user:S-1-5-21-9", 0, L"Access is denied."}}};
    OperationReport report{L"remove", false, L"C:\\B", 3,
                           {{L"machine-64", L"AcmeViewer", L"Acme", L"removed", L"C:\\B\\a.reg", L""},
                            {L"user", L"Gone", L"", L"not-found", L"", L"no such entry"}}};
    const std::wstring json = JsonReport(header, report);
    for (const wchar_t* part : {L"\"leftOut\": 120,\r\n  \"leftOutByList\": {\"machine-64\": 120},\r\n  \"unreadLists\": "
                                L"[{\"list\": \"user:S-1-5-21-9\", \"reason\": \"Access is denied.\"}],\r\n  \"verb\": \"remove\","
                                L"\r\n  \"dryRun\": false,\r\n  \"backupFolder\": \"C:\\\\B\",\r\n  \"exitCode\": 3,",
                                L"{\"list\": \"machine-64\", \"key\": \"AcmeViewer\", \"name\": \"Acme\", \"outcome\": "
                                L"\"removed\", \"backupFile\": \"C:\\\\B\\\\a.reg\", \"reason\": null}",
                                L"\"name\": null, \"outcome\": \"not-found\", \"backupFile\": null, \"reason\": \"no such entry\"}"})
        EXPECT_NE(json.find(part), std::wstring::npos) << part << L"\n" << json;
    EXPECT_NE(BackupsJson({L"PC", L"T", 0, {}}, L"C:\\B", {L"C:\\B"}, 2, {{L"C:\\B\\a.reg", L"user", L"K\n2", L"", L"2026-12-09T10:11:12"}})
                  .find(L"\"skipped\": 2,\r\n  \"backups\": [\r\n    {\"file\": \"C:\\\\B\\\\a.reg\", \"list\": \"user\", "
                        L"\"key\": \"K\\n2\", \"name\": null, \"time\": \"2026-12-09T10:11:12\"}"),
              std::wstring::npos);
}

}  // namespace

// uninstall's lines say what ran and how it ended, the result file's line
// comes back whole (the hand-off reads it), and the exit code is the worst
// entry's, 3010 only when all else was done.
TEST(OperationResult, UninstallLinesAndExitCodes) {
    const auto run = [](OperationOutcome outcome, const std::wstring& command, bool quiet, std::optional<std::uint32_t> code,
                        const std::wstring& backup, const std::wstring& reason = L"") {
        OperationResult result{L"user", L"K", L"Fox", outcome, reason};
        result.uninstall = UninstallFields{command, quiet, code, backup};
        return result;
    };
    struct Case {
        OperationResult result;
        std::wstring console;
        std::wstring file;
        int exit;
    };
    const Case cases[] = {
        {run(OperationOutcome::Uninstalled, L"\"C:\\u.exe\" /S", true, 0, L""),
         L"uninstalled: user  K  Fox  (quietly: \"C:\\u.exe\" /S; exit code 0)",
         L"user\tK\tuninstalled\t\tFox\tquiet\t0\t\"C:\\u.exe\" /S\t", 0},
        {run(OperationOutcome::RestartNeeded, L"msiexec /x {A} /qn /norestart", true, 3010, L""),
         L"restart needed: user  K  Fox  (quietly: msiexec /x {A} /qn /norestart; exit code 3010)",
         L"user\tK\trestart-needed\t\tFox\tquiet\t3010\tmsiexec /x {A} /qn /norestart\t", 3010},
        {run(OperationOutcome::StillListed, L"\"C:\\u.exe\"", false, 0, L"C:\\B\\k.reg", L"The uninstaller is missing."),
         L"still listed: user  K  Fox  (with its window: \"C:\\u.exe\"; exit code 0)  removed afterwards (backup: C:\\B\\k.reg): "
         L"The uninstaller is missing.",
         L"user\tK\tstill-listed\tThe uninstaller is missing.\tFox\twindow\t0\t\"C:\\u.exe\"\tC:\\B\\k.reg", 0},
        {run(OperationOutcome::StillListed, L"\"C:\\u.exe\"", false, 0, L"", L"It is still listed."),
         L"still listed: user  K  Fox  (with its window: \"C:\\u.exe\"; exit code 0): It is still listed.",
         L"user\tK\tstill-listed\tIt is still listed.\tFox\twindow\t0\t\"C:\\u.exe\"\t", 3},
        {run(OperationOutcome::Skipped, L"", false, std::nullopt, L"", L"No quiet uninstall is known for it."),
         L"skipped: user  K  Fox: No quiet uninstall is known for it.",
         L"user\tK\tskipped\tNo quiet uninstall is known for it.\tFox\t\t\t\t", 3},
        {run(OperationOutcome::TimedOut, L"\"C:\\u.exe\" /S", true, std::nullopt, L"", L"Left running."),
         L"timed out: user  K  Fox  (quietly: \"C:\\u.exe\" /S): Left running.",
         L"user\tK\ttimed-out\tLeft running.\tFox\tquiet\t\t\"C:\\u.exe\" /S\t", 3},
        {run(OperationOutcome::WouldUninstall, L"\"C:\\u.exe\" /S", true, std::nullopt, L""),
         L"would uninstall: user  K  Fox  (quietly: \"C:\\u.exe\" /S)",
         L"user\tK\twould-uninstall\t\tFox\tquiet\t\t\"C:\\u.exe\" /S\t", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(ConsoleLine(c.result), c.console);
        EXPECT_EQ(ResultFileLine(c.result), c.file);
        const std::optional<OperationResult> read = ParseResultFileLine(c.file);
        ASSERT_TRUE(read);
        EXPECT_EQ(std::tie(read->list, read->key, read->name, read->outcome, read->detail, read->uninstall),
                  std::tie(c.result.list, c.result.key, c.result.name, c.result.outcome, c.result.detail, c.result.uninstall));
        EXPECT_EQ(UninstallExitCodeOf({c.result}), c.exit);
    }
    // Together: 5 over 3 over 4 over 3010 over 0.
    const OperationResult rights{L"machine-64", L"M", L"", OperationOutcome::NeedsAdministrator, L""};
    const OperationResult missing{L"user", L"N", L"", OperationOutcome::NotFound, L""};
    struct Mix {
        std::vector<OperationResult> results;
        int exit;
    };
    for (const Mix& mix : {Mix{{cases[0].result, cases[1].result}, 3010}, Mix{{cases[1].result, missing}, 4},
                           Mix{{missing, cases[4].result}, 3}, Mix{{cases[4].result, rights, cases[1].result}, 5},
                           Mix{{cases[0].result, cases[2].result, cases[6].result}, 0}})
        EXPECT_EQ(UninstallExitCodeOf(mix.results), mix.exit);
}
