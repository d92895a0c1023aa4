#include "inventory/IconSource.h"

#include <gtest/gtest.h>

TEST(IconSource, IndexIsTheSingleDigitAfterTheFirstComma) {
    EXPECT_EQ(IconIndexFromText(L"\"C:\\Apps\\Tool\\tool.exe\",0"), 0);
    EXPECT_EQ(IconIndexFromText(L"C:\\Apps\\Tool\\tool.exe,3"), 3);
    EXPECT_EQ(IconIndexFromText(L"C:\\Apps\\Tool\\tool.exe,12"), 1);
    EXPECT_EQ(IconIndexFromText(L"C:\\Apps\\Tool\\tool.exe,9"), 9);
    EXPECT_EQ(IconIndexFromText(L"C:\\Apps\\Tool\\tool.exe,"), 0);
    EXPECT_EQ(IconIndexFromText(L"C:\\Apps\\Tool\\tool.exe,-1"), 0);
    EXPECT_EQ(IconIndexFromText(L"C:\\Apps\\Tool\\tool.exe, 2"), 0);
    EXPECT_EQ(IconIndexFromText(L"C:\\Apps\\Tool\\tool.ico"), 0);
    EXPECT_EQ(IconIndexFromText(L"C:\\Acme, Inc\\a.exe,4"), 0);  // first comma decides
    EXPECT_EQ(IconIndexFromText(L""), 0);
}

TEST(IconSource, FromUninstallStringByMarkerOrder) {
    EXPECT_EQ(IconTextFromUninstallString(L"\"C:\\Program Files\\Tool\\unins000.exe\" /SILENT"),
              L"\"C:\\Program Files\\Tool\\unins000.exe");
    EXPECT_EQ(IconTextFromUninstallString(L"C:\\PROGRA~1\\Tool\\UNWISE.EXE C:\\PROGRA~1\\Tool\\INSTALL.LOG"),
              L"C:\\PROGRA~1\\Tool\\UNWISE.EXE");
    EXPECT_EQ(IconTextFromUninstallString(L"D:\\Program Files\\Game\\uninst.exe /S"),
              L"D:\\Program Files\\Game\\uninst.exe");
    EXPECT_EQ(IconTextFromUninstallString(L"C:\\Tools\\x\\uninstall.exe"), L"C:\\Tools\\x\\uninstall.exe");
    // No marker: MSI, other drives, network paths.
    EXPECT_EQ(IconTextFromUninstallString(L"MsiExec.exe /X{1234}"), L"");
    EXPECT_EQ(IconTextFromUninstallString(L"D:\\Tools\\uninst.exe"), L"");
    EXPECT_EQ(IconTextFromUninstallString(L"\\\\server\\share\\uninst.exe"), L"");
    // Marker without a later L".exe".
    EXPECT_EQ(IconTextFromUninstallString(L"C:\\Program Files\\Tool\\remove.bat"), L"");
    // L"program files" decides even when L"c:\" stands earlier: the ".exe"
    // search starts at the marker, the text is cut from the very start.
    EXPECT_EQ(IconTextFromUninstallString(L"C:\\run.exe D:\\Program Files\\T\\u.exe"),
              L"C:\\run.exe D:\\Program Files\\T\\u.exe");
    // The earlier L".exe" before L"program files" is skipped.
    EXPECT_EQ(IconTextFromUninstallString(L"c:\\a.exe \"d:\\program files\\b.exe\""),
              L"c:\\a.exe \"d:\\program files\\b.exe");
}
