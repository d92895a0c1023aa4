// The console program's words: every verb, options in any order, and the
// mistakes that must stop it before it does anything.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CommandLine.h"

namespace {

struct Case {
    std::vector<std::wstring> words;
    const wchar_t* error;  // a part of the message, or null for a command
    Verb verb = Verb::Help;
    // What the command must hold, as one line: format phantoms allUsers
    // dryRun replace | backups | from | result | targets | files.
    std::wstring holds = L"";
};

std::wstring Holds(const CommandLine& c) {
    std::wstring text = std::to_wstring(static_cast<int>(c.format)) + std::to_wstring(c.phantomsOnly) +
                        std::to_wstring(c.allUsers) + std::to_wstring(c.dryRun) + std::to_wstring(c.replace) + L"|" +
                        c.backups + L"|" + c.from + L"|" + c.result + L"|";
    for (const EntryTarget& t : c.targets) text += t.list + L"=" + t.key + L";";
    text += L"|";
    for (const std::wstring& f : c.files) text += f + L";";
    for (const std::wstring& d : c.sha256s) text += L"#" + d.substr(0, 4);
    if (!c.match.empty()) text += L"|match=" + c.match;
    if (!c.publisher.empty()) text += L"|publisher=" + c.publisher;
    // uninstall's own: quiet removeIfPhantom timeout
    if (c.verb == Verb::Uninstall)
        text += L"|" + std::to_wstring(c.quiet) + std::to_wstring(c.removeIfPhantom) + std::to_wstring(c.timeoutMinutes);
    return text;
}

TEST(CommandLine, ReadsEveryVerbAndRefusesWhatIsNoCommand) {
    const std::vector<Case> cases{
        {{L"help"}, nullptr, Verb::Help, L"00000|||||"},
        {{L"list", L"--all-users", L"--help"}, nullptr, Verb::Help, L"00000|||||"},
        {{L"list"}, nullptr, Verb::List, L"00000|||||"},
        {{L"list", L"--phantoms", L"--csv", L"--all-users"}, nullptr, Verb::List, L"21100|||||"},
        {{L"list", L"--json"}, nullptr, Verb::List, L"10000|||||"},
        {{L"check", L"--all-users"}, nullptr, Verb::Check, L"00100|||||"},
        {{L"clean", L"--backups", L"D:\\B", L"--dry-run"}, nullptr, Verb::Clean, L"00010|D:\\B||||"},
        {{L"remove", L"--result", L"r.txt", L"user", L"Ключ", L"user:S-1-5-21-9-1001", L"x"}, nullptr, Verb::Remove,
         L"00000|||r.txt|user=Ключ;user:S-1-5-21-9-1001=x;|"},
        {{L"remove", L"--", L"machine-32", L"--json"}, nullptr, Verb::Remove, L"00000||||machine-32=--json;|"},
        {{L"remove", L"--from", L"list.txt", L"--backups", L"B"}, nullptr, Verb::Remove, L"00000|B|list.txt|||"},
        {{L"remove", L"user", L"K", L"--x"}, L"\"--x\" is not an option of remove"},
        {{L"restore", L"a.reg", L"--replace", L"b c.reg", L"--result", L"r", L"--backups", L"B"}, nullptr, Verb::Restore,
         L"00001|B||r||a.reg;b c.reg;"},
        {{L"restore", L"a.reg", L"b.reg", L"--sha256", std::wstring(64, L'a') + L"," + std::wstring(64, L'B')}, nullptr,
         Verb::Restore, L"00000|||||a.reg;b.reg;#aaaa#BBBB"},
        {{L"restore", L"a.reg", L"b.reg", L"--sha256", std::wstring(64, L'a')}, L"one digest per file"},
        {{L"restore", L"a.reg", L"--sha256", std::wstring(63, L'a')}, L"is not a SHA-256"},
        {{L"restore", L"a.reg", L"--sha256", std::wstring(63, L'a') + L"g"}, L"is not a SHA-256"},
        {{L"remove", L"user", L"K", L"--sha256", std::wstring(64, L'a')}, L"not an option of remove"},
        {{L"backups"}, nullptr, Verb::Backups, L"00000|||||"},
        {{L"list", L"--match", L"Łódź --json", L"--html", L"--publisher", L"--csv"}, nullptr, Verb::List,
         L"30000||||||match=Łódź --json|publisher=--csv"},
        {{L"check", L"--publisher", L"Quorvane"}, nullptr, Verb::Check, L"00000||||||publisher=Quorvane"},
        {{L"list", L"--match"}, L"--match needs a text"},
        {{L"check", L"--match", L""}, L"--match needs a text"},
        {{L"list", L"--match", L"a", L"--match", L"b"}, L"given twice"},
        {{L"list", L"--html", L"--json"}, L"exclude each other"},
        {{L"check", L"--html"}, L"not an option of check"},
        {{L"clean", L"--match", L"a"}, L"not an option of clean"},
        {{}, L"No verb"},
        {{L"lsit"}, L"Unknown verb \"lsit\""},
        {{L"list", L"--json", L"--csv"}, L"exclude each other"},
        {{L"list", L"--phantoms", L"--phantoms"}, L"given twice"},
        {{L"check", L"--phantoms"}, L"not an option of check"},
        {{L"list", L"extra"}, L"Unexpected \"extra\""},
        {{L"clean", L"--backups"}, L"needs a file or folder"},
        {{L"remove"}, L"needs LIST KEY pairs"},
        {{L"remove", L"machine-32"}, L"the last list has no key"},
        {{L"remove", L"machine", L"K"}, L"not a list's name"},
        {{L"remove", L"user:S-1-x", L"K"}, L"not a list's name"},
        {{L"remove", L"user", L"K", L"--from", L"f"}, L"either with --from"},
        {{L"restore"}, L"needs the backup files"},
        {{L"uninstall", L"--quiet", L"user", L"K", L"--timeout", L"5", L"--result", L"r"}, nullptr, Verb::Uninstall,
         L"00000|||r|user=K;||105"},
        {{L"uninstall", L"--match", L"Acme", L"--publisher", L"Acme Inc", L"--dry-run", L"--all-users", L"--json"},
         nullptr, Verb::Uninstall, L"10110||||||match=Acme|publisher=Acme Inc|0030"},
        {{L"uninstall", L"--from", L"l.txt", L"--remove-if-phantom", L"--backups", L"B", L"--timeout", L"1440"}, nullptr,
         Verb::Uninstall, L"00000|B|l.txt||||011440"},
        {{L"uninstall", L"--publisher", L"Acme"}, nullptr, Verb::Uninstall, L"00000||||||publisher=Acme|0030"},
        {{L"uninstall"}, L"needs LIST KEY pairs, --from FILE or --match"},
        {{L"uninstall", L"--match", L"A", L"user", L"K"}, L"in one way"},
        {{L"uninstall", L"--match", L"A", L"--from", L"f"}, L"in one way"},
        {{L"uninstall", L"--match"}, L"needs a text"},
        {{L"uninstall", L"--match", L""}, L"needs a text"},
        {{L"uninstall", L"--all-users", L"user", L"K"}, L"goes with --match"},
        {{L"uninstall", L"user", L"K", L"--timeout", L"0"}, L"from 1 to 1440"},
        {{L"uninstall", L"user", L"K", L"--timeout", L"1441"}, L"from 1 to 1440"},
        {{L"uninstall", L"user", L"K", L"--timeout", L"-5"}, L"from 1 to 1440"},
        {{L"uninstall", L"user", L"K", L"--timeout"}, L"from 1 to 1440"},
        {{L"uninstall", L"user"}, L"uninstall takes pairs of LIST KEY"},
        {{L"uninstall", L"user", L"a\\b"}, L"nothing was uninstalled"},
        {{L"remove", L"--quiet", L"user", L"K"}, L"not an option of remove"},
    };
    for (const Case& c : cases) {
        const ParsedCommandLine parsed = ParseCommandLine(c.words);
        const std::wstring words = c.words.empty() ? L"(none)" : c.words[0] + L" ...";
        if (c.error) {
            EXPECT_FALSE(parsed.command) << words;
            EXPECT_NE(parsed.error.find(c.error), std::wstring::npos) << parsed.error;
            continue;
        }
        ASSERT_TRUE(parsed.command) << words << ": " << parsed.error;
        EXPECT_EQ(parsed.command->verb, c.verb) << words;
        EXPECT_EQ(Holds(*parsed.command), c.holds) << words;
    }
}

TEST(CommandLine, ReadsFromLinesOfListTabKey) {
    const TargetLines read = ParseTargetLines(L"\xFEFFmachine-64\t{6F1A}\r\n\r\nuser\tŻółw\tzwei\nuser:S-1-12-1-5\tK");
    EXPECT_EQ(read.error, L"");
    EXPECT_EQ(read.targets, (std::vector<EntryTarget>{
                                {L"machine-64", L"{6F1A}"}, {L"user", L"Żółw\tzwei"}, {L"user:S-1-12-1-5", L"K"}}));
    for (const wchar_t* bad : {L"user K", L"user\t", L"nobody\tK"})
        EXPECT_EQ(ParseTargetLines(std::wstring(L"user\tA\n") + bad).error, L"Line 2 is not LIST<TAB>KEY") << bad;
}

}  // namespace
