// Double-byte code pages: run by the harness in a prefix whose ANSI code
// page is 932 (Japanese), where the second byte of a character can be an
// upper-case ASCII letter (katakana "a" is 0x83 0x41).

#include <windows.h>

#include <gtest/gtest.h>

#include "RegistryPaths.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "inventory/EntryValidation.h"
#include "inventory/LeadBytes.h"
#include "inventory/ProgramInventory.h"

namespace {

const std::string kKatakana = "\x83\x41\x83\x43\x83\x45";  // three characters, second bytes A, C, E

class CodePage932Test : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "the harness runs this program under code page 932"; }
    TempFolder folder;
};

TEST_F(CodePage932Test, InstalledProgramInADoubleByteFolderIsNotRed) {
    EXPECT_TRUE(LeadBytes::System().IsLead('\x83'));
    EXPECT_FALSE(LeadBytes::System().IsLead('A'));

    const std::string present = folder.WriteFile(kKatakana + "\\UNINST.EXE");
    ASSERT_NE(GetFileAttributesA(present.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string gone = folder.Join(kKatakana + "\\GONE.EXE");

    ScratchRegistry scratch;
    const std::string uninstall = kUninstall + "\\";
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, uninstall + "Present", "UninstallString", present + " /S");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, uninstall + "Quoted", "UninstallString", std::string(1, '"').append(present).append(1, '"'));
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, uninstall + "Gone", "UninstallString", gone);
    ProgramInventory inventory;
    inventory.Enumerate();
    ASSERT_EQ(inventory.Count(), 3u);
    for (const ProgramEntry& entry : inventory.Entries()) {
        SCOPED_TRACE(entry.keyName);
        if (entry.keyName == "Gone") {
            EXPECT_TRUE(IsPhantom(entry));
            continue;
        }
        EXPECT_EQ(entry.programPath, present);  // bytes as stored
        EXPECT_EQ(entry.iconPath, present);
        EXPECT_FALSE(IsPhantom(entry.programPath));
        EXPECT_FALSE(IsPhantom(entry));
    }
}

}  // namespace
