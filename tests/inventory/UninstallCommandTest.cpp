#include "inventory/UninstallCommand.h"

#include <gtest/gtest.h>

#include "inventory/IconSource.h"

TEST(CleanPath, DropsQuotesAndCutsAtCommaOrSemicolon) {
    EXPECT_EQ(CleanPath(L"\"C:\\Apps\\Tool\\tool.exe\",0"), L"C:\\Apps\\Tool\\tool.exe");
    EXPECT_EQ(CleanPath(L"C:\\Apps\\Tool\\tool.ico"), L"C:\\Apps\\Tool\\tool.ico");
    EXPECT_EQ(CleanPath(L"C:\\Program Files\\Acme, Inc\\uninst.exe"), L"C:\\Program Files\\Acme");
    EXPECT_EQ(CleanPath(L"C:\\a;b\\c.exe,1"), L"C:\\a");
    EXPECT_EQ(CleanPath(L"\"\"x\"y\""), L"xy");
    EXPECT_EQ(CleanPath(L",leading"), L"");
    EXPECT_EQ(CleanPath(L""), L"");
}

struct SplitCase {
    const wchar_t* command;
    const wchar_t* programPath;
    const wchar_t* programArgs;
};

class SplitUninstallStringTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitUninstallStringTest, Splits) {
    const SplitCase& c = GetParam();
    const UninstallCommand split = SplitUninstallString(c.command);
    EXPECT_EQ(split.programPath, c.programPath) << c.command;
    EXPECT_EQ(split.programArgs, c.programArgs) << c.command;
}

INSTANTIATE_TEST_SUITE_P(
    RealWorldShapes, SplitUninstallStringTest,
    ::testing::Values(
        // Inno Setup: quoted path, arguments after the closing quote.
        SplitCase{L"\"C:\\Program Files\\Tool\\unins000.exe\" /SILENT", L"C:\\Program Files\\Tool\\unins000.exe", L"/SILENT"},
        SplitCase{L"\"C:\\Program Files\\Tool\\unins000.exe\"", L"C:\\Program Files\\Tool\\unins000.exe", L""},
        // Wise: short names, a log file as argument.
        SplitCase{L"C:\\PROGRA~1\\Tool\\UNWISE.EXE C:\\PROGRA~1\\Tool\\INSTALL.LOG", L"C:\\PROGRA~1\\Tool\\UNWISE.EXE", L"C:\\PROGRA~1\\Tool\\INSTALL.LOG"},
        // NSIS: unquoted folders with blanks stay whole up to L".exe".
        SplitCase{L"C:\\Program Files\\Tool\\uninstall.exe", L"C:\\Program Files\\Tool\\uninstall.exe", L""},
        SplitCase{L"C:\\Program Files\\My App\\uninst.exe /S", L"C:\\Program Files\\My App\\uninst.exe", L"/S"},
        // Windows Installer.
        SplitCase{L"MsiExec.exe /X{A1B2C3D4-0000-1111-2222-333344445555}", L"MsiExec.exe", L"/X{A1B2C3D4-0000-1111-2222-333344445555}"},
        SplitCase{L"MsiExec.exe /I{0F1E2D3C-AAAA-BBBB-CCCC-DDDDEEEEFFFF}", L"MsiExec.exe", L"/I{0F1E2D3C-AAAA-BBBB-CCCC-DDDDEEEEFFFF}"},
        // InstallShield.
        SplitCase{L"\"C:\\Program Files\\InstallShield Installation Information\\{1234}\\setup.exe\" -runfromtemp -l0x0409 -removeonly",
                  L"C:\\Program Files\\InstallShield Installation Information\\{1234}\\setup.exe", L"-runfromtemp -l0x0409 -removeonly"},
        // Commands starting with rundll32 are cut at the first blank.
        SplitCase{L"RunDll32 advpack.dll,LaunchINFSection C:\\WINDOWS\\INF\\tool.inf,DefaultUninstall", L"RunDll32", L"advpack.dll,LaunchINFSection C:\\WINDOWS\\INF\\tool.inf,DefaultUninstall"},
        SplitCase{L"rundll32.exe shell32.dll,Control_RunDLL", L"rundll32.exe", L"shell32.dll,Control_RunDLL"},
        // ... but a full path to rundll32 is split after L".exe".
        SplitCase{L"C:\\WINDOWS\\rundll32.exe setupapi.dll,InstallHinfSection DefaultUninstall 132 C:\\WINDOWS\\INF\\x.inf",
                  L"C:\\WINDOWS\\rundll32.exe", L"setupapi.dll,InstallHinfSection DefaultUninstall 132 C:\\WINDOWS\\INF\\x.inf"},
        // Exactly L"rundll32" (not longer than 8) takes the L".exe" route; it has none.
        SplitCase{L"rundll32", L"rundll32", L""},
        // No L".exe": first blank, even inside a folder name.
        SplitCase{L"C:\\Program Files\\Tool\\remove.bat", L"C:\\Program", L"Files\\Tool\\remove.bat"},
        SplitCase{L"C:\\Tools\\remove.bat", L"C:\\Tools\\remove.bat", L""},
        // Environment references and network paths stay as written.
        SplitCase{L"%ProgramFiles%\\Tool\\uninst.exe /quiet", L"%ProgramFiles%\\Tool\\uninst.exe", L"/quiet"},
        SplitCase{L"\\\\server\\share\\Tool\\uninst.exe /x", L"\\\\server\\share\\Tool\\uninst.exe", L"/x"},
        // Commas and semicolons in folders cut the path; arguments untouched.
        SplitCase{L"C:\\Program Files\\Acme, Inc\\uninst.exe /S \"a,b\"", L"C:\\Program Files\\Acme", L"/S \"a,b\""},
        SplitCase{L"D:\\Games;Old\\uninst.exe", L"D:\\Games", L""},
        SplitCase{L"D:\\Tools\\uninst.exe", L"D:\\Tools\\uninst.exe", L""},
        // Upper-case extension; two blanks before the arguments.
        SplitCase{L"C:\\TOOL\\UNINST.EXE  /S", L"C:\\TOOL\\UNINST.EXE", L" /S"},
        // L".exe" inside a folder name: the first blank after it splits.
        SplitCase{L"C:\\my.exe files\\un.exe /q", L"C:\\my.exe", L"files\\un.exe /q"},
        // A tab is not a separator.
        SplitCase{L"C:\\T\\u.exe\t/S", L"C:\\T\\u.exe\t/S", L""},
        // Trailing blank: empty arguments.
        SplitCase{L"C:\\T\\u.exe ", L"C:\\T\\u.exe", L""},
        SplitCase{L"", L"", L""}));

// UTF-16 needs no care for multibyte characters: letters outside A-Z, in
// any script, are kept exactly and keep their positions.
TEST(Utf16Text, OnlyAsciiLettersAreLowerCasedAndOtherScriptsStayExact) {
    const std::wstring folder = L"C:\\Program Files\\\u041F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u0430 \u5DE5\u5177 \xC5\uFF21\\";
    EXPECT_EQ(AsciiLowerCopy(folder + L"UNINST.EXE"),
              L"c:\\program files\\\u041F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u0430 \u5DE5\u5177 \xC5\uFF21\\uninst.exe");

    const UninstallCommand split = SplitUninstallString(L"\"" + folder + L"UNINST.EXE\" /S");
    EXPECT_EQ(split.programPath, folder + L"UNINST.EXE");
    EXPECT_EQ(split.programArgs, L"/S");
    EXPECT_EQ(IconTextFromUninstallString(folder + L"Uninst.exe /S"), folder + L"Uninst.exe");
    // A full-width ".ＥＸＥ" is no ".exe": the command is cut at its first blank.
    EXPECT_EQ(SplitUninstallString(L"C:\\T\\u\uFF0E\uFF25\uFF38\uFF25 /S").programPath, L"C:\\T\\u\uFF0E\uFF25\uFF38\uFF25");
}

struct CandidateCase {
    const wchar_t* command;
    std::vector<UninstallCommand> candidates;
};

class CommandCandidatesTest : public ::testing::TestWithParam<CandidateCase> {};

TEST_P(CommandCandidatesTest, ListsTheFilesACommandCanName) {
    const CandidateCase& c = GetParam();
    const std::vector<UninstallCommand> got = CommandCandidates(c.command);
    ASSERT_EQ(got.size(), c.candidates.size()) << c.command;
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].programPath, c.candidates[i].programPath) << c.command << L" #" << i;
        EXPECT_EQ(got[i].programArgs, c.candidates[i].programArgs) << c.command << L" #" << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, CommandCandidatesTest,
    ::testing::Values(
        // Quoted: the quoted path alone, commas and all.
        CandidateCase{L"\"C:\\Program Files\\Acme, Inc\\uninst.exe\" /S  /x",
                      {{L"C:\\Program Files\\Acme, Inc\\uninst.exe", L"/S  /x"}}},
        CandidateCase{L"\"C:\\A;B\\u.exe\"", {{L"C:\\A;B\\u.exe", L""}}},
        CandidateCase{L"\"C:\\Open\\u.exe /S", {{L"C:\\Open\\u.exe /S", L""}}},  // no closing quote
        // Unquoted: every prefix ending before a blank, shortest first.
        CandidateCase{L"C:\\Program Files\\Tool\\remove.bat",
                      {{L"C:\\Program", L"Files\\Tool\\remove.bat"}, {L"C:\\Program Files\\Tool\\remove.bat", L""}}},
        CandidateCase{L"C:\\Program Files\\Acme, Inc\\uninst.exe /S",
                      {{L"C:\\Program", L"Files\\Acme, Inc\\uninst.exe /S"},
                       {L"C:\\Program Files\\Acme,", L"Inc\\uninst.exe /S"},
                       {L"C:\\Program Files\\Acme, Inc\\uninst.exe", L"/S"},
                       {L"C:\\Program Files\\Acme, Inc\\uninst.exe /S", L""}}},
        // Runs of blanks end one path; a trailing blank adds no whole command.
        CandidateCase{L"C:\\T\\u.exe  /S ", {{L"C:\\T\\u.exe", L" /S "}, {L"C:\\T\\u.exe  /S", L""}}},
        CandidateCase{L"", {}}));

TEST(SystemFolderAlias, OnlyTheSystemFolderIsRedirected) {
    EXPECT_EQ(SystemFolderAlias(L"C:\\Windows\\System32\\tool.exe", L"C:\\Windows", L"Sysnative"), L"C:\\Windows\\Sysnative\\tool.exe");
    EXPECT_EQ(SystemFolderAlias(L"c:\\WINDOWS\\system32\\x\\y.exe", L"C:\\Windows\\", L"Sysnative"), L"C:\\Windows\\Sysnative\\x\\y.exe");
    EXPECT_EQ(SystemFolderAlias(L"C:\\Windows\\System32\\tool.exe", L"C:\\Windows", L"SysWOW64"), L"C:\\Windows\\SysWOW64\\tool.exe");
    EXPECT_EQ(SystemFolderAlias(L"C:\\Windows\\SysWOW64\\tool.exe", L"C:\\Windows", L"Sysnative"), L"C:\\Windows\\SysWOW64\\tool.exe");
    EXPECT_EQ(SystemFolderAlias(L"C:\\Windows\\System32", L"C:\\Windows", L"Sysnative"), L"C:\\Windows\\System32");
    EXPECT_EQ(SystemFolderAlias(L"D:\\Windows\\System32\\t.exe", L"C:\\Windows", L"Sysnative"), L"D:\\Windows\\System32\\t.exe");
    EXPECT_EQ(SystemFolderAlias(L"MsiExec.exe", L"C:\\Windows", L"Sysnative"), L"MsiExec.exe");
    EXPECT_EQ(SystemFolderAlias(L"C:\\Windows\\System32\\t.exe", L"", L"Sysnative"), L"C:\\Windows\\System32\\t.exe");
}
