#include "inventory/IconSource.h"

#include <gtest/gtest.h>

TEST(IconSource, IndexIsTheSingleDigitAfterTheFirstComma) {
    EXPECT_EQ(IconIndexFromText("\"C:\\Apps\\Tool\\tool.exe\",0"), 0);
    EXPECT_EQ(IconIndexFromText("C:\\Apps\\Tool\\tool.exe,3"), 3);
    EXPECT_EQ(IconIndexFromText("C:\\Apps\\Tool\\tool.exe,12"), 1);
    EXPECT_EQ(IconIndexFromText("C:\\Apps\\Tool\\tool.exe,9"), 9);
    EXPECT_EQ(IconIndexFromText("C:\\Apps\\Tool\\tool.exe,"), 0);
    EXPECT_EQ(IconIndexFromText("C:\\Apps\\Tool\\tool.exe,-1"), 0);
    EXPECT_EQ(IconIndexFromText("C:\\Apps\\Tool\\tool.exe, 2"), 0);
    EXPECT_EQ(IconIndexFromText("C:\\Apps\\Tool\\tool.ico"), 0);
    EXPECT_EQ(IconIndexFromText("C:\\Acme, Inc\\a.exe,4"), 0);  // first comma decides
    EXPECT_EQ(IconIndexFromText(""), 0);
}

TEST(IconSource, FromUninstallStringByMarkerOrder) {
    EXPECT_EQ(IconTextFromUninstallString("\"C:\\Program Files\\Tool\\unins000.exe\" /SILENT"),
              "\"C:\\Program Files\\Tool\\unins000.exe");
    EXPECT_EQ(IconTextFromUninstallString("C:\\PROGRA~1\\Tool\\UNWISE.EXE C:\\PROGRA~1\\Tool\\INSTALL.LOG"),
              "C:\\PROGRA~1\\Tool\\UNWISE.EXE");
    EXPECT_EQ(IconTextFromUninstallString("D:\\Program Files\\Game\\uninst.exe /S"),
              "D:\\Program Files\\Game\\uninst.exe");
    EXPECT_EQ(IconTextFromUninstallString("C:\\Tools\\x\\uninstall.exe"), "C:\\Tools\\x\\uninstall.exe");
    // No marker: MSI, other drives, network paths.
    EXPECT_EQ(IconTextFromUninstallString("MsiExec.exe /X{1234}"), "");
    EXPECT_EQ(IconTextFromUninstallString("D:\\Tools\\uninst.exe"), "");
    EXPECT_EQ(IconTextFromUninstallString("\\\\server\\share\\uninst.exe"), "");
    // Marker without a later ".exe".
    EXPECT_EQ(IconTextFromUninstallString("C:\\Program Files\\Tool\\remove.bat"), "");
    // "program files" decides even when "c:\" stands earlier: the ".exe"
    // search starts at the marker, the text is cut from the very start.
    EXPECT_EQ(IconTextFromUninstallString("C:\\run.exe D:\\Program Files\\T\\u.exe"),
              "C:\\run.exe D:\\Program Files\\T\\u.exe");
    // The earlier ".exe" before "program files" is skipped.
    EXPECT_EQ(IconTextFromUninstallString("c:\\a.exe \"d:\\program files\\b.exe\""),
              "c:\\a.exe \"d:\\program files\\b.exe");
}
