#include "net/FetchRules.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "net/ApplicationName.h"
#include "net/FetchRequest.h"
#include "net/FileErrorText.h"

TEST(FetchRules, FullAddressAddsHttpOnlyWithoutAnyScheme) {
    EXPECT_EQ(FullAddress("www.quorvane.com/upgrade.html"), "http://www.quorvane.com/upgrade.html");
    EXPECT_EQ(FullAddress("http://host/a"), "http://host/a");
    EXPECT_EQ(FullAddress("https://host/a"), "https://host/a");
    // Anywhere in the text counts, and only in lower case.
    EXPECT_EQ(FullAddress("host/go?to=http://elsewhere"), "host/go?to=http://elsewhere");
    EXPECT_EQ(FullAddress("HTTP://host/a"), "http://HTTP://host/a");
    EXPECT_EQ(FullAddress(""), "http://");
}

TEST(FetchRules, SecureFlagFollowsHttpsAnywhere) {
    EXPECT_TRUE(IsSecureAddress("https://host/"));
    EXPECT_TRUE(IsSecureAddress("http://host/?back=https://x"));
    EXPECT_FALSE(IsSecureAddress("http://host/"));
    EXPECT_FALSE(IsSecureAddress("HTTPS://host/"));
    EXPECT_EQ(FetchRequest::kRequestFlags, 0xA4240000u) << "with NO_AUTH";
    EXPECT_EQ(FetchRequest::kSecureRequestFlags, 0xA4A40000u);
}

TEST(FetchRules, OnlyThreeRedirectsAreFollowed) {
    for (unsigned long status : {301ul, 302ul, 303ul}) EXPECT_TRUE(IsFollowedRedirect(status)) << status;
    for (unsigned long status : {200ul, 300ul, 304ul, 307ul, 308ul, 401ul, 404ul})
        EXPECT_FALSE(IsFollowedRedirect(status)) << status;
}

TEST(FetchRules, LocationTargetIsTheFirstOccurrenceToItsLineEnd) {
    EXPECT_EQ(LocationTarget("HTTP/1.1 302 Found\r\nLocation: http://a/b?c=d\r\nServer: x\r\n\r\n"),
              std::optional<std::string>("http://a/b?c=d"));
    EXPECT_EQ(LocationTarget("HTTP/1.1 302 Found\r\nLocation: http://last/line"),
              std::optional<std::string>("http://last/line"));
    // Inside a longer header name, the first occurrence wins.
    EXPECT_EQ(LocationTarget("HTTP/1.1 302 Found\r\nContent-Location: http://first/\r\nLocation: http://second/\r\n"),
              std::optional<std::string>("http://first/"));
    EXPECT_EQ(LocationTarget("HTTP/1.1 302 Found\r\nLocation: \r\n"), std::optional<std::string>(""));
    EXPECT_EQ(LocationTarget("HTTP/1.1 302 Found\r\nlocation: http://a/\r\n"), std::nullopt);  // case-sensitive
    EXPECT_EQ(LocationTarget("HTTP/1.1 302 Found\r\nLocation:http://a/\r\n"), std::nullopt);
}

TEST(FetchRules, HtmlPieceDetection) {
    const auto holds = [](const std::string& piece) { return PieceHoldsHtml(piece.data(), piece.size()); };
    EXPECT_TRUE(holds("<html>"));
    EXPECT_TRUE(holds("MZ junk <HtMl> more"));
    EXPECT_TRUE(holds("<!DOCTYPE html>\n<HTML>\n"));
    EXPECT_FALSE(holds("<HTML lang=en>"));
    EXPECT_FALSE(holds("<htm l>"));
    EXPECT_FALSE(holds(std::string("MZ\0<html>", 9)));  // after the first zero byte
    EXPECT_TRUE(holds(std::string("<html>\0rest", 11)));
    EXPECT_FALSE(holds(""));
    EXPECT_FALSE(PieceHoldsHtml("<html>", 5));  // only the bytes read count
}

TEST(FetchRules, ProgressTextAndContentLength) {
    EXPECT_EQ(DownloadProgressText(2048, 51200), "Read 2048/51200 bytes");
    EXPECT_EQ(DownloadProgressText(1024, 0), "Read 1024 bytes");
    EXPECT_EQ(DownloadProgressText(0, 0), "Read 0 bytes");
    EXPECT_EQ(DownloadProgressText(5000000000ull, 5000000001ull), "Read 5000000000/5000000001 bytes");
    EXPECT_EQ(ParseContentLength("51200"), 51200u);
    EXPECT_EQ(ParseContentLength(" 7 "), 7u);
    EXPECT_EQ(ParseContentLength("6000000000"), 6000000000ull);
    EXPECT_EQ(ParseContentLength(""), 0u);
    EXPECT_EQ(ParseContentLength("12a"), 0u);
    EXPECT_EQ(ParseContentLength("-5"), 0u);
    EXPECT_EQ(ParseContentLength("99999999999999999999999"), 0u);  // would overflow
}

TEST(FetchRules, FileErrorTexts) {
    const std::string file = "C:\\dl\\NewUpdate.exe";
    EXPECT_EQ(FileErrorText(ERROR_ACCESS_DENIED, file), "Access to C:\\dl\\NewUpdate.exe was denied.");
    EXPECT_EQ(FileErrorText(ERROR_PATH_NOT_FOUND, file), "C:\\dl\\NewUpdate.exe contains an invalid path.");
    EXPECT_EQ(FileErrorText(ERROR_INVALID_NAME, file), "C:\\dl\\NewUpdate.exe contains an invalid path.");
    EXPECT_EQ(FileErrorText(ERROR_FILE_NOT_FOUND, file), "C:\\dl\\NewUpdate.exe was not found.");
    EXPECT_EQ(FileErrorText(ERROR_SHARING_VIOLATION, file),
              "A sharing violation occurred while accessing C:\\dl\\NewUpdate.exe.");
    EXPECT_EQ(FileErrorText(ERROR_LOCK_VIOLATION, file),
              "A locking violation occurred while accessing C:\\dl\\NewUpdate.exe.");
    EXPECT_EQ(FileErrorText(ERROR_DISK_FULL, file),
              "C:\\dl\\NewUpdate.exe could not be created because the disk is full.");
    EXPECT_EQ(FileErrorText(ERROR_TOO_MANY_OPEN_FILES, file),
              "C:\\dl\\NewUpdate.exe could not be opened because there are too many open files.");
    EXPECT_EQ(FileErrorText(ERROR_WRITE_FAULT, file),
              "A hardware I/O error was reported while accessing C:\\dl\\NewUpdate.exe.");
    EXPECT_EQ(FileErrorText(ERROR_NOT_ENOUGH_MEMORY, file),
              "An unspecified error occurred while accessing C:\\dl\\NewUpdate.exe.");
    // The name goes in once, as given, even when it looks like a template.
    EXPECT_EQ(FileErrorText(ERROR_FILE_NOT_FOUND, "%1.exe"), "%1.exe was not found.");
    EXPECT_EQ(FileErrorText(ERROR_FILE_NOT_FOUND, ""), " was not found.");
}

TEST(FetchRules, ApplicationNameIsTheProgramFileNameWithoutExtension) {
    EXPECT_EQ(ApplicationNameFromPath("C:\\Program Files\\Zaltrow\\Zaltrow 1.2.exe"), "Zaltrow 1.2");
    EXPECT_EQ(ApplicationNameFromPath("C:\\tools.d\\fetch"), "fetch");
    EXPECT_EQ(ApplicationNameFromPath("/unix/style/prog.exe"), "prog");
    EXPECT_EQ(ApplicationNameFromPath("prog.tar.exe"), "prog.tar");
    EXPECT_EQ(ApplicationName(), "net_tests");
}
