#include "inventory/UninstallCommand.h"

#include <gtest/gtest.h>

#include "inventory/IconSource.h"

TEST(CleanPath, DropsQuotesAndCutsAtCommaOrSemicolon) {
    EXPECT_EQ(CleanPath("\"C:\\Apps\\Tool\\tool.exe\",0"), "C:\\Apps\\Tool\\tool.exe");
    EXPECT_EQ(CleanPath("C:\\Apps\\Tool\\tool.ico"), "C:\\Apps\\Tool\\tool.ico");
    EXPECT_EQ(CleanPath("C:\\Program Files\\Acme, Inc\\uninst.exe"), "C:\\Program Files\\Acme");
    EXPECT_EQ(CleanPath("C:\\a;b\\c.exe,1"), "C:\\a");
    EXPECT_EQ(CleanPath("\"\"x\"y\""), "xy");
    EXPECT_EQ(CleanPath(",leading"), "");
    EXPECT_EQ(CleanPath(""), "");
}

struct SplitCase {
    const char* command;
    const char* programPath;
    const char* programArgs;
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
        SplitCase{"\"C:\\Program Files\\Tool\\unins000.exe\" /SILENT", "C:\\Program Files\\Tool\\unins000.exe", "/SILENT"},
        SplitCase{"\"C:\\Program Files\\Tool\\unins000.exe\"", "C:\\Program Files\\Tool\\unins000.exe", ""},
        // Wise: short names, a log file as argument.
        SplitCase{"C:\\PROGRA~1\\Tool\\UNWISE.EXE C:\\PROGRA~1\\Tool\\INSTALL.LOG", "C:\\PROGRA~1\\Tool\\UNWISE.EXE", "C:\\PROGRA~1\\Tool\\INSTALL.LOG"},
        // NSIS: unquoted folders with blanks stay whole up to ".exe".
        SplitCase{"C:\\Program Files\\Tool\\uninstall.exe", "C:\\Program Files\\Tool\\uninstall.exe", ""},
        SplitCase{"C:\\Program Files\\My App\\uninst.exe /S", "C:\\Program Files\\My App\\uninst.exe", "/S"},
        // Windows Installer.
        SplitCase{"MsiExec.exe /X{A1B2C3D4-0000-1111-2222-333344445555}", "MsiExec.exe", "/X{A1B2C3D4-0000-1111-2222-333344445555}"},
        SplitCase{"MsiExec.exe /I{0F1E2D3C-AAAA-BBBB-CCCC-DDDDEEEEFFFF}", "MsiExec.exe", "/I{0F1E2D3C-AAAA-BBBB-CCCC-DDDDEEEEFFFF}"},
        // InstallShield.
        SplitCase{"\"C:\\Program Files\\InstallShield Installation Information\\{1234}\\setup.exe\" -runfromtemp -l0x0409 -removeonly",
                  "C:\\Program Files\\InstallShield Installation Information\\{1234}\\setup.exe", "-runfromtemp -l0x0409 -removeonly"},
        // Commands starting with rundll32 are cut at the first blank.
        SplitCase{"RunDll32 advpack.dll,LaunchINFSection C:\\WINDOWS\\INF\\tool.inf,DefaultUninstall", "RunDll32", "advpack.dll,LaunchINFSection C:\\WINDOWS\\INF\\tool.inf,DefaultUninstall"},
        SplitCase{"rundll32.exe shell32.dll,Control_RunDLL", "rundll32.exe", "shell32.dll,Control_RunDLL"},
        // ... but a full path to rundll32 is split after ".exe".
        SplitCase{"C:\\WINDOWS\\rundll32.exe setupapi.dll,InstallHinfSection DefaultUninstall 132 C:\\WINDOWS\\INF\\x.inf",
                  "C:\\WINDOWS\\rundll32.exe", "setupapi.dll,InstallHinfSection DefaultUninstall 132 C:\\WINDOWS\\INF\\x.inf"},
        // Exactly "rundll32" (not longer than 8) takes the ".exe" route; it has none.
        SplitCase{"rundll32", "rundll32", ""},
        // No ".exe": first blank, even inside a folder name.
        SplitCase{"C:\\Program Files\\Tool\\remove.bat", "C:\\Program", "Files\\Tool\\remove.bat"},
        SplitCase{"C:\\Tools\\remove.bat", "C:\\Tools\\remove.bat", ""},
        // Environment references and network paths stay as written.
        SplitCase{"%ProgramFiles%\\Tool\\uninst.exe /quiet", "%ProgramFiles%\\Tool\\uninst.exe", "/quiet"},
        SplitCase{"\\\\server\\share\\Tool\\uninst.exe /x", "\\\\server\\share\\Tool\\uninst.exe", "/x"},
        // Commas and semicolons in folders cut the path; arguments untouched.
        SplitCase{"C:\\Program Files\\Acme, Inc\\uninst.exe /S \"a,b\"", "C:\\Program Files\\Acme", "/S \"a,b\""},
        SplitCase{"D:\\Games;Old\\uninst.exe", "D:\\Games", ""},
        SplitCase{"D:\\Tools\\uninst.exe", "D:\\Tools\\uninst.exe", ""},
        // Upper-case extension; two blanks before the arguments.
        SplitCase{"C:\\TOOL\\UNINST.EXE  /S", "C:\\TOOL\\UNINST.EXE", " /S"},
        // ".exe" inside a folder name: the first blank after it splits.
        SplitCase{"C:\\my.exe files\\un.exe /q", "C:\\my.exe", "files\\un.exe /q"},
        // A tab is not a separator.
        SplitCase{"C:\\T\\u.exe\t/S", "C:\\T\\u.exe\t/S", ""},
        // Trailing blank: empty arguments.
        SplitCase{"C:\\T\\u.exe ", "C:\\T\\u.exe", ""},
        SplitCase{"", "", ""}));

namespace {

// Code page 932 (Japanese): lead bytes 0x81-0x9F and 0xE0-0xFC. Katakana
// "a" is 0x83 0x41: its second byte is an upper-case A.
LeadBytes ShiftJis() {
    LeadBytes leads;
    leads.Add(0x81, 0x9F);
    leads.Add(0xE0, 0xFC);
    return leads;
}

}  // namespace

TEST(DoubleByteText, LowerCasingLeavesSecondBytesAlone) {
    const std::string folder = "C:\\Program Files\\\x83\x41\x83\x43\\";
    EXPECT_EQ(LowerCopy(folder + "UNINST.EXE", ShiftJis()), "c:\\program files\\\x83\x41\x83\x43\\uninst.exe");
    // Without lead bytes every A-Z byte is a letter.
    EXPECT_EQ(LowerCopy("\x83\x41", LeadBytes()), "\x83\x61");
    // A lead byte as the very last byte is kept and nothing is read past it.
    EXPECT_EQ(LowerCopy("AB\x83", ShiftJis()), "ab\x83");

    const UninstallCommand split = SplitUninstallString("\"" + folder + "UNINST.EXE\" /S", ShiftJis());
    EXPECT_EQ(split.programPath, folder + "UNINST.EXE");
    EXPECT_EQ(split.programArgs, "/S");
    EXPECT_EQ(IconTextFromUninstallString(folder + "Uninst.exe /S", ShiftJis()), folder + "Uninst.exe");
}

struct CandidateCase {
    const char* command;
    std::vector<UninstallCommand> candidates;
};

class CommandCandidatesTest : public ::testing::TestWithParam<CandidateCase> {};

TEST_P(CommandCandidatesTest, ListsTheFilesACommandCanName) {
    const CandidateCase& c = GetParam();
    const std::vector<UninstallCommand> got = CommandCandidates(c.command);
    ASSERT_EQ(got.size(), c.candidates.size()) << c.command;
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].programPath, c.candidates[i].programPath) << c.command << " #" << i;
        EXPECT_EQ(got[i].programArgs, c.candidates[i].programArgs) << c.command << " #" << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, CommandCandidatesTest,
    ::testing::Values(
        // Quoted: the quoted path alone, commas and all.
        CandidateCase{"\"C:\\Program Files\\Acme, Inc\\uninst.exe\" /S  /x",
                      {{"C:\\Program Files\\Acme, Inc\\uninst.exe", "/S  /x"}}},
        CandidateCase{"\"C:\\A;B\\u.exe\"", {{"C:\\A;B\\u.exe", ""}}},
        CandidateCase{"\"C:\\Open\\u.exe /S", {{"C:\\Open\\u.exe /S", ""}}},  // no closing quote
        // Unquoted: every prefix ending before a blank, shortest first.
        CandidateCase{"C:\\Program Files\\Tool\\remove.bat",
                      {{"C:\\Program", "Files\\Tool\\remove.bat"}, {"C:\\Program Files\\Tool\\remove.bat", ""}}},
        CandidateCase{"C:\\Program Files\\Acme, Inc\\uninst.exe /S",
                      {{"C:\\Program", "Files\\Acme, Inc\\uninst.exe /S"},
                       {"C:\\Program Files\\Acme,", "Inc\\uninst.exe /S"},
                       {"C:\\Program Files\\Acme, Inc\\uninst.exe", "/S"},
                       {"C:\\Program Files\\Acme, Inc\\uninst.exe /S", ""}}},
        // Runs of blanks end one path; a trailing blank adds no whole command.
        CandidateCase{"C:\\T\\u.exe  /S ", {{"C:\\T\\u.exe", " /S "}, {"C:\\T\\u.exe  /S", ""}}},
        CandidateCase{"", {}}));

TEST(SystemFolderAlias, OnlyTheSystemFolderIsRedirected) {
    EXPECT_EQ(SystemFolderAlias("C:\\Windows\\System32\\tool.exe", "C:\\Windows", "Sysnative"), "C:\\Windows\\Sysnative\\tool.exe");
    EXPECT_EQ(SystemFolderAlias("c:\\WINDOWS\\system32\\x\\y.exe", "C:\\Windows\\", "Sysnative"), "C:\\Windows\\Sysnative\\x\\y.exe");
    EXPECT_EQ(SystemFolderAlias("C:\\Windows\\System32\\tool.exe", "C:\\Windows", "SysWOW64"), "C:\\Windows\\SysWOW64\\tool.exe");
    EXPECT_EQ(SystemFolderAlias("C:\\Windows\\SysWOW64\\tool.exe", "C:\\Windows", "Sysnative"), "C:\\Windows\\SysWOW64\\tool.exe");
    EXPECT_EQ(SystemFolderAlias("C:\\Windows\\System32", "C:\\Windows", "Sysnative"), "C:\\Windows\\System32");
    EXPECT_EQ(SystemFolderAlias("D:\\Windows\\System32\\t.exe", "C:\\Windows", "Sysnative"), "D:\\Windows\\System32\\t.exe");
    EXPECT_EQ(SystemFolderAlias("MsiExec.exe", "C:\\Windows", "Sysnative"), "MsiExec.exe");
    EXPECT_EQ(SystemFolderAlias("C:\\Windows\\System32\\t.exe", "", "Sysnative"), "C:\\Windows\\System32\\t.exe");
}
