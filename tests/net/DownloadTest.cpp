// Downloads against the in-process server: the saved bytes, the progress
// texts of control 1076, and every way a download fails.

#include <gtest/gtest.h>

#include <cstdio>

#include "BuildConfig.h"
#include "DialogWatcher.h"
#include "GuiDriver.h"
#include "LoopbackHttpServer.h"
#include "ProgressWindow.h"
#include "ShortStallBound.h"
#include "TempFolder.h"
#include "TestBytes.h"
#include "framework/UniqueHandle.h"
#include "app/MessageBoxNotice.h"
#include "net/HttpFetcher.h"

using Exchange = LoopbackHttpServer::Exchange;
using Texts = std::vector<std::string>;

namespace {

// Serves `body` at every address, with a Content-Length.
LoopbackHttpServer::Handler Serving(const std::string& body, int status = 200) {
    return [body, status](Exchange& ex) { ex.Send(LoopbackHttpServer::Reply(status, body)); };
}


}  // namespace

class Download : public ::testing::Test {
protected:
    TempFolder folder;
    const std::string file = folder.Join("NewUpdate.exe");
    HttpFetcher fetcher;
    void SetUp() override { fetcher.ShowProblemsWith(MessageBoxNotice()); }
};

TEST_F(Download, SavesBinaryBytesExactlyWithProgress) {
    const std::string body = RandomBytes(50 * 1024 + 17, 4242);
    ASSERT_NE(body.find('\0'), std::string::npos);
    LoopbackHttpServer server(Serving(body));
    ProgressWindow progress;
    fetcher.Fetch(server.Url("/files/setup.exe"), file, progress.Receiver());

    EXPECT_EQ(ReadWholeFile(file), body);
    EXPECT_EQ(fetcher.Outcome(), FetchOutcome::Complete);
    EXPECT_EQ(fetcher.DownloadedBytes(), body.size());
    const Texts& texts = progress.Texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts.front(), "Downloading update ..");
    EXPECT_EQ(texts.back(), "Read 51217/51217 bytes");
    // Set by a call into the window's own thread.
    for (DWORD thread : progress.Threads()) EXPECT_EQ(thread, GetCurrentThreadId());

    const std::vector<ReceivedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine, "GET /files/setup.exe HTTP/1.1");
    EXPECT_EQ(requests[0].HeaderCount("User-Agent"), 1);
    EXPECT_EQ(requests[0].Header("User-Agent"), std::string("Tellomir, ") + ZALTROW_MAKER_HOST);
    EXPECT_EQ(requests[0].HeaderCount("Accept"), 0);
}

TEST_F(Download, ChunkedBodyIsSavedWhole) {
    const std::string body = RandomBytes(20000, 7);
    LoopbackHttpServer server([&body](Exchange& ex) {
        // Chunks that do not line up with the 1024-byte pieces, each sent
        // on its own.
        ex.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
        for (std::size_t at = 0; at < body.size(); at += 700) {
            const std::string chunk = body.substr(at, 700);
            char size[16];
            snprintf(size, sizeof size, "%x\r\n", static_cast<unsigned>(chunk.size()));
            ex.Send(size + chunk + "\r\n");
        }
        ex.Send("0\r\n\r\n");
    });
    ProgressWindow progress;
    fetcher.Fetch(server.Url("/chunked.bin"), file, progress.Receiver());
    EXPECT_EQ(ReadWholeFile(file), body);
    EXPECT_EQ(progress.Texts().back(), "Read 20000 bytes");
}

TEST_F(Download, ExactMultipleOfThePieceEndsWithTheExactTotal) {
    const std::string body = RandomBytes(3 * 1024, 99);
    LoopbackHttpServer server(Serving(body));
    ProgressWindow progress;
    fetcher.Fetch(server.Url("/three.bin"), file, progress.Receiver());
    EXPECT_EQ(ReadWholeFile(file), body);
    EXPECT_EQ(progress.Texts(), (Texts{"Downloading update ..", "Read 3072/3072 bytes"}));
}

TEST_F(Download, WithoutContentLengthProgressHasNoTotal) {
    const std::string body = RandomBytes(2500, 5);
    LoopbackHttpServer server([&body](Exchange& ex) {
        ex.Send(LoopbackHttpServer::HeadWithoutLength(200) + body);
        ex.CloseAfter();
    });
    ProgressWindow progress;
    fetcher.Fetch(server.Url("/unsized.bin"), file, progress.Receiver());
    EXPECT_EQ(ReadWholeFile(file), body);
    ASSERT_GE(progress.Texts().size(), 2u);
    EXPECT_EQ(progress.Texts().front(), "Downloading update ..");
    EXPECT_EQ(progress.Texts().back(), "Read 2500 bytes");
}

TEST_F(Download, ProgressTextAtMostTwentyTimesASecondEndingExact) {
    // 200 pieces, one every 5 ms: a text per piece would be 200 texts.
    LoopbackHttpServer server([](Exchange& ex) {
        ex.Send("HTTP/1.1 200 OK\r\nContent-Length: 204800\r\n\r\n");
        for (int i = 0; i < 200; ++i) {
            ex.Send(std::string(1024, 'x'));
            Sleep(5);
        }
    });
    ProgressWindow progress;
    const ULONGLONG start = GetTickCount64();
    fetcher.Fetch(server.Url("/slow.bin"), file, progress.Receiver());
    const double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
    const Texts& texts = progress.Texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts.back(), "Read 204800/204800 bytes");
    // The first text, the last, and one per 50 ms between.
    EXPECT_LE(static_cast<double>(texts.size()), 3 + seconds * 20) << seconds << " s";
    EXPECT_GE(texts.size(), 3u) << "some progress while it runs";
}

TEST_F(Download, ProgressNeedsControl1076) {
    LoopbackHttpServer server(Serving("payload"));
    ProgressWindow bare(false);
    fetcher.Fetch(server.Url("/a"), file, bare.Receiver());
    EXPECT_EQ(ReadWholeFile(file), std::optional<std::string>("payload"));
    EXPECT_TRUE(bare.Texts().empty());
}

TEST_F(Download, LeavesTheLinesOfTheLastPage) {
    LoopbackHttpServer server([](Exchange& ex) {
        ex.Send(LoopbackHttpServer::Reply(200, ex.request.target == "/page" ? "Version 1.3\n" : "MZ binary"));
    });
    fetcher.Fetch(server.Url("/page"));
    const std::vector<std::string>& lines = fetcher.Fetch(server.Url("/file"), file);
    EXPECT_EQ(lines, std::vector<std::string>{"Version 1.3\n"});
    EXPECT_EQ(ReadWholeFile(file), std::optional<std::string>("MZ binary"));
}

struct PageCase {
    const char* name;
    int status;
    std::string body;
    const char* lastProgress;  // null when the body is saved
};

class DownloadedPage : public ::testing::TestWithParam<PageCase> {
protected:
    TempFolder folder;
};

TEST_P(DownloadedPage, IsRefusedOnlyWhenAPieceHoldsHtml) {
    const PageCase& c = GetParam();
    LoopbackHttpServer server(Serving(c.body, c.status));
    ProgressWindow progress;
    const std::string file = folder.Join("NewUpdate.exe");
    HttpFetcher().Fetch(server.Url("/NewUpdate.exe"), file, progress.Receiver());
    if (!c.lastProgress) {
        EXPECT_EQ(ReadWholeFile(file), c.body);
    } else {
        EXPECT_FALSE(PathExists(file));
        // Reading stops at the refused piece, which still counts.
        ASSERT_FALSE(progress.Texts().empty());
        EXPECT_EQ(progress.Texts().back(), c.lastProgress);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DownloadedPage,
    ::testing::Values(
        PageCase{"LowerCase", 200, "<html><body>moved</body></html>", "Read 31/31 bytes"},
        PageCase{"MixedCase", 200, "<!DOCTYPE x>\n<HtMl>\n<body>error</body>", "Read 38/38 bytes"},
        PageCase{"ErrorPageSentWith200", 200, "<HTML>\n<head><title>404 Not Found</title></head>\n</HTML>\n",
                 "Read 57/57 bytes"},
        PageCase{"InThirdPiece", 200, std::string(2048 + 100, 'b') + "<html>" + std::string(3000, 'c'),
                 "Read 3072/5154 bytes"},
        PageCase{"TagWithAttributes", 200, "<HTML lang=en><body>Not Found</body></HTML lang=en>", nullptr},
        PageCase{"AfterAZeroByte", 200, std::string("MZ\0\0<html>", 10) + std::string(3000, 'd'), nullptr},
        // Split over two pieces, the tag is in neither.
        PageCase{"SplitOverPieces", 200, std::string(1021, 'e') + "<html>" + std::string(100, 'f'), nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Download, AnswerOtherThan200IsNeverSaved) {
    // Pages whose tags carry attributes slip past the "<html>" rule.
    for (int status : {404, 500, 203}) {
        LoopbackHttpServer server(Serving("<html lang=\"en\"><body>Not here</body></html>", status));
        ProgressWindow progress;
        fetcher.Fetch(server.Url("/setup.exe"), file, progress.Receiver());
        EXPECT_FALSE(PathExists(file)) << status;
        EXPECT_EQ(fetcher.Outcome(), FetchOutcome::Failed) << status;
        EXPECT_EQ(fetcher.Failure().rfind("the server answered " + std::to_string(status) + " ", 0), 0u)
            << fetcher.Failure();
    }
}

TEST_F(Download, EmptyOrCutOffBodyLeavesNoFile) {
    LoopbackHttpServer server([](Exchange& ex) {
        if (ex.request.target == "/empty") {
            ex.Send(LoopbackHttpServer::Reply(200, ""));
        } else if (ex.request.target == "/unsized-empty") {
            ex.Send(LoopbackHttpServer::HeadWithoutLength(200));
            ex.CloseAfter();
        } else {
            // 5000 bytes promised, 3000 sent, then the connection ends.
            ex.Send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + std::string(3000, 'z'));
            ex.CloseAfter();
        }
    });
    DialogWatcher watcher;
    for (const char* path : {"/empty", "/unsized-empty", "/cut"}) {
        // An earlier file of that name is replaced, then removed with the failure.
        folder.WriteFile("NewUpdate.exe", "old version");
        fetcher.Fetch(server.Url(path), file);
        EXPECT_FALSE(PathExists(file)) << path;
    }
    EXPECT_EQ(server.RequestCount(), 3u);
    EXPECT_TRUE(watcher.Seen().empty());
}

TEST_F(Download, FailedConnectionOrRedirectLeavesNoFile) {
    LoopbackHttpServer* self = nullptr;
    LoopbackHttpServer server([&](Exchange& ex) {
        if (ex.request.target == "/moved")
            ex.Send(LoopbackHttpServer::Reply(302, "", "Location: " + self->Url("/file") + "\r\n"));
        else if (ex.request.target == "/file")
            ex.Send(LoopbackHttpServer::Reply(200, "installer bytes"));
        else
            ex.Send(LoopbackHttpServer::Reply(302, "", "Location: https://127.0.0.1:1/file\r\n"));
    });
    self = &server;
    DialogWatcher watcher;
    fetcher.Fetch("http://127.0.0.1:" + std::to_string(LoopbackHttpServer::UnusedPort()) + "/file", file);
    EXPECT_FALSE(PathExists(file));
    fetcher.Fetch(server.Url("/to-https"), file);
    EXPECT_FALSE(PathExists(file));
    // A followed redirect downloads from its target.
    fetcher.Fetch(server.Url("/moved"), file);
    EXPECT_EQ(ReadWholeFile(file), std::optional<std::string>("installer bytes"));
    EXPECT_TRUE(watcher.Seen().empty());
}

TEST_F(Download, TrickleThatOutlastsTheStallPeriodStaysAlive) {
    // 32 bytes a second, far below a full read's worth, for longer than the
    // bound on silence (made short here): every batch that arrives keeps
    // the download alive.
    const ShortStallBound bound;
    const int seconds = HttpFetcher::StallMs() / 1000 + 4;
    fw::KernelHandle never(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    LoopbackHttpServer server([&](Exchange& ex) {
        ex.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(seconds * 32) + "\r\n\r\n");
        for (int i = 0; i < seconds && ex.Send(std::string(32, 'z')); ++i) ex.Wait(never.get(), 1000);
    });
    fetcher.Fetch(server.Url("/slow.exe"), file);
    EXPECT_EQ(fetcher.Outcome(), FetchOutcome::Complete) << fetcher.Failure();
    EXPECT_EQ(ReadWholeFile(file), std::string(seconds * 32, 'z'));
}

TEST_F(Download, FileThatCannotBeCreatedIsReported) {
    LoopbackHttpServer server(Serving("installer bytes"));
    DialogWatcher watcher;
    const std::string missing = folder.Join("no such folder\\NewUpdate.exe");
    fetcher.Fetch(server.Url("/file"), missing);
    EXPECT_FALSE(PathExists(missing));

    const std::vector<SeenDialog> seen = watcher.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "net_tests");  // the application's name
    EXPECT_EQ(seen[0].messageText, missing + " contains an invalid path.");
    EXPECT_EQ(seen[0].VisibleButtons(), std::vector<int>{IDOK});
    const std::string shown = gui::IconPixels(seen[0].icon);
    EXPECT_FALSE(shown.empty());
    // Compared as booleans: a failure would otherwise print every pixel.
    EXPECT_TRUE(shown == gui::IconPixels(LoadIconA(nullptr, IDI_EXCLAMATION))) << "not the exclamation icon";
    EXPECT_FALSE(shown == gui::IconPixels(LoadIconA(nullptr, IDI_HAND)));
}

TEST_F(Download, FileHeldByAnotherIsReportedAndKept) {
    LoopbackHttpServer server(Serving("installer bytes"));
    DialogWatcher watcher;
    folder.WriteFile("NewUpdate.exe", "someone else's");
    {
        // Open for reading and deleting, but not for writing.
        fw::FileHandle held(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        fetcher.Fetch(server.Url("/file"), file);
    }
    const std::vector<SeenDialog> seen = watcher.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "net_tests");
    EXPECT_EQ(seen[0].messageText, "A sharing violation occurred while accessing " + file + ".");
    // The download never had the file, so it does not delete it.
    EXPECT_EQ(ReadWholeFile(file), std::optional<std::string>("someone else's"));
}

TEST_F(Download, FolderInPlaceOfTheFileIsReportedAsDenied) {
    LoopbackHttpServer server(Serving("installer bytes"));
    DialogWatcher watcher;
    const std::string folderPath = folder.Join("NewUpdate.exe");
    ASSERT_TRUE(CreateDirectoryA(folderPath.c_str(), nullptr));
    fetcher.Fetch(server.Url("/file"), folderPath);
    const std::vector<SeenDialog> seen = watcher.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].messageText, "Access to " + folderPath + " was denied.");
    EXPECT_TRUE(PathExists(folderPath));
}
