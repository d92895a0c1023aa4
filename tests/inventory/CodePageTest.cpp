// A double-byte code page: run by the harness in a prefix whose ANSI code
// page is 932 (Japanese). Entry texts never pass through it: a program in
// a folder with Japanese letters (some of whose Shift-JIS second bytes are
// ASCII letters or backslashes) is read and tested exactly as stored.

#include <windows.h>

#include <gtest/gtest.h>

#include "RegistryPaths.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "framework/TextConversion.h"
#include "inventory/EntryValidation.h"
#include "inventory/ProgramInventory.h"

namespace {

// Katakana A, I, U and the kanji for "table" (0x955C in Shift-JIS: its
// second byte is a backslash).
const std::wstring kJapanese = L"\u30A2\u30A4\u30A6\u8868";

TEST(CodePage932Test, InstalledProgramInAJapaneseFolderIsNotRed) {
    ASSERT_EQ(GetACP(), 932u) << "the harness runs this program under code page 932";
    TempFolder folder;
    const std::wstring dir = fw::Widen(folder.Path()) + L"\\" + kJapanese;
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    const std::wstring present = dir + L"\\UNINST.EXE";
    HANDLE file = CreateFileW(present.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);

    ScratchRegistry scratch;
    const std::wstring uninstall = fw::Widen(kUninstall) + L"\\";
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, uninstall + L"Present", L"UninstallString", present + L" /S");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, uninstall + L"Quoted", L"UninstallString", L"\"" + present + L"\"");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, uninstall + kJapanese, L"UninstallString", dir + L"\\GONE.EXE");
    ProgramInventory inventory;
    inventory.Enumerate();
    ASSERT_EQ(inventory.Count(), 3u);
    for (const ProgramEntry& entry : inventory.Entries()) {
        SCOPED_TRACE(fw::Narrow(entry.keyName));
        if (entry.keyName == kJapanese) {
            EXPECT_TRUE(IsPhantom(entry));
            continue;
        }
        EXPECT_EQ(entry.programPath, present);
        EXPECT_EQ(entry.iconPath, present);
        EXPECT_FALSE(IsPhantom(entry));
    }
}

}  // namespace
