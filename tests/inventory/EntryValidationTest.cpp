#include "inventory/EntryValidation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>

#include "TempFolder.h"
#include "framework/UniqueHandle.h"

class EntryValidationTest : public ::testing::Test {
protected:
    TempFolder folder;
};

TEST_F(EntryValidationTest, FileExistsAgainstRealFiles) {
    const std::string file = folder.WriteFile("tool\\unins000.exe");
    EXPECT_EQ(FileExists(file), 1);
    EXPECT_EQ(FileExists(folder.Join("tool\\missing.exe")), 0);       // missing file
    EXPECT_EQ(FileExists(folder.Join("gone\\unins000.exe")), 0);      // missing folder
    EXPECT_EQ(FileExists(folder.Join("tool")), 1);                    // a folder counts as present
    EXPECT_EQ(FileExists(""), 0);
}

TEST_F(EntryValidationTest, FileHeldOpenExclusivelyIsPresent) {
    const std::string file = folder.WriteFile("busy.exe");
    fw::FileHandle held(CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(FileExists(file), 1);
    EXPECT_FALSE(IsPhantom(file));
}

TEST_F(EntryValidationTest, OverlongPathIsNotTestedAndCountsAsPresent) {
    std::string path = folder.Join(std::string(990, 'a'));
    ASSERT_GT(path.size(), kMaxTestedPathChars);
    EXPECT_EQ(FileExists(path), 1);
    std::string fits = "C:\\" + std::string(kMaxTestedPathChars - 3, 'b');
    EXPECT_EQ(FileExists(fits), 0);
}

TEST_F(EntryValidationTest, PhantomOnlyForMissingDrivePaths) {
    const std::string present = folder.WriteFile("Tool\\Uninst.exe");
    EXPECT_FALSE(IsPhantom(present));
    std::string upper = present;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_FALSE(IsPhantom(upper));  // the file system ignores letter case
    EXPECT_TRUE(IsPhantom(folder.Join("Tool\\Gone.exe")));
    EXPECT_TRUE(IsPhantom(folder.Join("NoFolder\\Gone.exe")));
    EXPECT_TRUE(IsPhantom("C:\\Program"));  // a split inside "Program Files"
    // Never phantoms: no drive path.
    EXPECT_FALSE(IsPhantom("MsiExec.exe"));
    EXPECT_FALSE(IsPhantom("RunDll32"));
    EXPECT_FALSE(IsPhantom("%ProgramFiles%\\Gone\\uninst.exe"));
    EXPECT_FALSE(IsPhantom("\\\\server\\share\\gone.exe"));
    EXPECT_FALSE(IsPhantom(""));
}
