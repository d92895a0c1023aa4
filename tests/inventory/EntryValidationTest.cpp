#include "inventory/EntryValidation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <utility>
#include <vector>

#include "TempFolder.h"
#include "framework/FilePresence.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "inventory/UninstallCommand.h"

namespace {

std::wstring W(const std::string& text) { return fw::Widen(text); }

}  // namespace

class EntryValidationTest : public ::testing::Test {
protected:
    TempFolder folder;
};

TEST_F(EntryValidationTest, FileExistsAgainstRealFiles) {
    const std::string file = folder.WriteFile("tool\\unins000.exe");
    EXPECT_EQ(FileExists(W(file)), 1);
    EXPECT_EQ(FileExists(W(folder.Join("tool\\missing.exe"))), 0);       // missing file
    EXPECT_EQ(FileExists(W(folder.Join("gone\\unins000.exe"))), 0);      // missing folder
    EXPECT_EQ(FileExists(W(folder.Join("tool"))), 1);                    // a folder counts as present
    EXPECT_EQ(FileExists(L""), 1);  // no drive to be missing from
    // A drive letter with no volume (an unplugged disk) or a share that is
    // not there proves nothing about the program.
    EXPECT_EQ(FileExists(L"Q:\\Apps\\u.exe"), 1);
    EXPECT_EQ(FileExists(L"\\\\no-such-server\\share\\u.exe"), 1);
    // Names the file system refuses are no proof that anything is gone.
    EXPECT_EQ(FileExists(W(folder.Join("tool\\a<b>\\unins000.exe"))), 1);
    EXPECT_EQ(FileExists(W(folder.Join("tool\\??\\unins000.exe"))), 1);
}

TEST_F(EntryValidationTest, FileHeldOpenExclusivelyIsPresent) {
    const std::string file = folder.WriteFile("busy.exe");
    fw::FileHandle held(CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(FileExists(W(file)), 1);
    EXPECT_FALSE(IsPhantom(W(file)));
}

// Paths past the old 260-character limit are tested whole; only what
// Windows could not start is left untested, and counts as present.
TEST_F(EntryValidationTest, LongPathsAreTestedWholeAndOverlongOnesCountAsPresent) {
    const std::wstring top = W(folder.Join(std::string(200, 'd')));
    const std::wstring deep = top + L"\\" + std::wstring(200, L'e');
    ASSERT_TRUE(CreateDirectoryW(fw::LongPathForm(top).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(fw::LongPathForm(deep).c_str(), nullptr));
    const std::wstring file = deep + L"\\u.exe";
    ASSERT_TRUE(fw::FileHandle(CreateFileW(fw::LongPathForm(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                                           nullptr)));
    EXPECT_EQ(FileExists(file), 1);
    EXPECT_EQ(FileExists(deep + L"\\gone.exe"), 0);
    EXPECT_EQ(FileExists(deep + L"\\..\\gone.exe"), 1) << "a form the long-path prefix cannot take";
    EXPECT_EQ(FileExists(L"C:\\" + std::wstring(kMaxTestedPathChars, L'b')), 1);
}

TEST_F(EntryValidationTest, PhantomOnlyForMissingDrivePaths) {
    const std::string present = folder.WriteFile("Tool\\Uninst.exe");
    EXPECT_FALSE(IsPhantom(W(present)));
    std::string upper = present;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_FALSE(IsPhantom(W(upper)));  // the file system ignores letter case
    EXPECT_TRUE(IsPhantom(W(folder.Join("Tool\\Gone.exe"))));
    EXPECT_TRUE(IsPhantom(W(folder.Join("NoFolder\\Gone.exe"))));
    EXPECT_TRUE(IsPhantom(L"C:\\Program"));  // a split inside "Program Files"
    // Never phantoms: no drive path.
    EXPECT_FALSE(IsPhantom(L"MsiExec.exe"));
    EXPECT_FALSE(IsPhantom(L"RunDll32"));
    EXPECT_FALSE(IsPhantom(L"%ProgramFiles%\\Gone\\uninst.exe"));
    EXPECT_FALSE(IsPhantom(L"\\\\server\\share\\gone.exe"));
    EXPECT_FALSE(IsPhantom(L""));
}

namespace {

ProgramEntry EntryFor(const std::string& command) {
    ProgramEntry entry;
    entry.uninstallString = W(command);
    entry.command = entry.uninstallString;
    const UninstallCommand split = SplitUninstallString(entry.uninstallString);
    entry.programPath = split.programPath;
    entry.programArgs = split.programArgs;
    return entry;
}

std::string Quoted(const std::string& path) {
    std::string quoted(1, '"');
    quoted += path;
    quoted += '"';
    return quoted;
}

}  // namespace

// Folders with a comma or a blank cut the split path short; the command
// still names its file, and that file decides.
TEST_F(EntryValidationTest, CommaAndBlankFoldersAreJudgedByTheFileTheCommandNames) {
    const std::string comma = folder.WriteFile("Acme, Inc\\uninst.exe");
    const std::string batch = folder.WriteFile("Program Files\\Tool\\remove.bat");
    struct Case {
        std::string command;
        std::string file;  // empty: a phantom
        std::string args;
    };
    const Case cases[] = {
        {comma, comma, ""},
        {comma + " /S", comma, "/S"},
        {Quoted(comma) + " /S /x", comma, "/S /x"},
        {batch, batch, ""},
        {batch + " /quiet", batch, "/quiet"},
        {folder.Join("Acme, Inc\\gone.exe /S"), "", ""},
        {Quoted(folder.Join("Acme, Inc\\gone.exe")), "", ""},
        {folder.Join("Program Files\\Tool\\gone.bat"), "", ""},
        // A folder that happens to match a shorter prefix is not a file.
        {folder.Join("Program Files\\Tool"), "", ""},
    };
    for (const Case& c : cases) {
        const ProgramEntry entry = EntryFor(c.command);
        const UninstallTarget target = ResolveUninstaller(entry);
        EXPECT_EQ(target.phantom, c.file.empty()) << c.command;
        EXPECT_EQ(IsPhantom(entry), c.file.empty()) << c.command;
        if (c.file.empty()) {
            EXPECT_EQ(target.file, entry.programPath) << c.command;  // the launch fails as before
        } else {
            EXPECT_EQ(target.file, W(c.file)) << c.command;
            EXPECT_EQ(target.args, W(c.args)) << c.command;
        }
    }
}

TEST_F(EntryValidationTest, PresentProgramPathIsStartedAsSplit) {
    const std::string tool = folder.WriteFile("Tool\\unins000.exe");
    const ProgramEntry entry = EntryFor(Quoted(tool) + "  /SILENT");
    const UninstallTarget target = ResolveUninstaller(entry);
    EXPECT_FALSE(target.phantom);
    EXPECT_EQ(target.file, W(tool));
    EXPECT_EQ(target.args, L" /SILENT");  // the split's own arguments, second blank kept
    EXPECT_FALSE(IsPhantom(EntryFor("MsiExec.exe /X{1}")));
}

// A command on another machine is opened only for the running user's own
// list: any other list's (another account's, the machine's) would make this
// account authenticate to a host of the entry's choosing.
TEST_F(EntryValidationTest, NetworkPathsAreOpenedOnlyForTheUsersOwnList) {
    struct Case {
        const char* command;
        EntrySource source;
        bool opened;   // the file system was asked about a path
        bool phantom;
    };
    const Case cases[] = {
        {"\\\\server\\s\\C:\\x.exe", EntrySource::OtherUser, false, false},
        {"\\\\?\\UNC\\h\\s\\u.exe /x", EntrySource::Machine, false, false},
        {"\\\\h@80\\dav\\u.exe", EntrySource::OtherUser, false, false},
        {"//h/s/u.exe", EntrySource::Machine32, false, false},
        {"\\\\server\\s\\C:\\x.exe", EntrySource::User, true, false},  // the user's own: looked at
        {"\"C:\\Zaltrow gone\\x.exe\"", EntrySource::OtherUser, true, true},  // a local path is looked at
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        ProgramEntry entry = EntryFor(c.command);
        entry.source = c.source;
        std::vector<std::wstring> asked;
        fw::SetFileQueryObserver([&](const std::wstring& path) { asked.push_back(path); });
        const UninstallTarget target = ResolveUninstaller(entry);
        fw::SetFileQueryObserver({});
        EXPECT_EQ(!asked.empty(), c.opened);
        for (const std::wstring& path : asked) EXPECT_TRUE(c.opened) << fw::Narrow(path);
        EXPECT_EQ(target.phantom, c.phantom);
        EXPECT_EQ(target.reason, c.opened ? (c.phantom ? MissingUninstallerText(target.file) : L"")
                                          : NetworkPathText(target.file));
    }
    for (const auto& [path, network] : {std::pair{L"\\\\h\\s\\x", true}, std::pair{L"\\\\.\\pipe\\x", true},
                                        std::pair{L"\\\\.\\C:\\x", false}, std::pair{L"C:\\x", false},
                                        std::pair{L"\\x", false}, std::pair{L"/\\h\\s", true}})
        EXPECT_EQ(fw::IsNetworkPath(path), network) << fw::Narrow(path);
}
