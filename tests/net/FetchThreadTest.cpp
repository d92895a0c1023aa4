// The calling thread's side of a fetch: it keeps handling messages while
// the worker waits for the server, holds the fetch lock throughout, and a
// fetch started from a message it dispatches runs safely to its end.

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

#include "CallbackWindow.h"
#include "LoopbackHttpServer.h"
#include "framework/UniqueHandle.h"
#include "net/FetchLock.h"
#include "net/HttpFetcher.h"

using Exchange = LoopbackHttpServer::Exchange;
using Lines = std::vector<std::string>;

namespace {

fw::KernelHandle NewEvent() { return fw::KernelHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr)); }

// Takes the quit message a test posted, so it does not reach later tests.
std::optional<WPARAM> TakeQuit() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_QUIT) return msg.wParam;
    return std::nullopt;
}

}  // namespace

TEST(FetchThread, KeepsHandlingMessagesWhileTheServerStalls) {
    fw::KernelHandle handled = NewEvent();
    DWORD handledOn = 0;
    CallbackWindow window([&] {
        handledOn = GetCurrentThreadId();
        SetEvent(handled.get());
    });
    std::atomic<bool> lockHeldDuringFetch{false};
    LoopbackHttpServer server([&](Exchange& ex) {
        // Answers only once the fetching thread has handled a message
        // posted after the request arrived; otherwise says so after 5 s.
        window.Post();
        const bool answered = ex.Wait(handled.get(), 5000);
        // Another thread cannot take the lock while the fetch runs.
        const DWORD taken = WaitForSingleObject(FetchLock::Handle(), 0);
        if (taken == WAIT_OBJECT_0) ReleaseMutex(FetchLock::Handle());
        lockHeldDuringFetch = taken == WAIT_TIMEOUT;
        ex.Send(LoopbackHttpServer::Reply(200, answered ? "handled\n" : "not handled\n"));
    });
    HttpFetcher fetcher;
    EXPECT_EQ(fetcher.Fetch(server.Url("/stall")), (Lines{"handled\n"}));
    EXPECT_EQ(handledOn, GetCurrentThreadId());
    EXPECT_TRUE(lockHeldDuringFetch);

    // Released afterwards: another thread takes it at once.
    DWORD taken = WAIT_FAILED;
    std::thread([&taken] {
        taken = WaitForSingleObject(FetchLock::Handle(), 0);
        if (taken == WAIT_OBJECT_0) ReleaseMutex(FetchLock::Handle());
    }).join();
    EXPECT_EQ(taken, static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST(FetchThread, FetchNestedInADispatchedMessageEndsBeforeTheOuterOne) {
    fw::KernelHandle innerDone = NewEvent();
    HttpFetcher fetcher;
    Lines inner;
    LoopbackHttpServer* self = nullptr;
    CallbackWindow nested([&] {
        inner = fetcher.Fetch(self->Url("/inner"));
        SetEvent(innerDone.get());
    });
    LoopbackHttpServer server([&](Exchange& ex) {
        if (ex.request.target == "/outer") {
            nested.Post();
            const bool done = ex.Wait(innerDone.get(), 5000);
            ex.Send(LoopbackHttpServer::Reply(200, done ? "outer after inner\n" : "outer alone\n"));
        } else {
            ex.Send(LoopbackHttpServer::Reply(200, "inner\n"));
        }
    });
    self = &server;
    // The outer fetch must wait for its own worker, not for the inner one.
    EXPECT_EQ(fetcher.Fetch(server.Url("/outer")), (Lines{"outer after inner\n"}));
    EXPECT_EQ(inner, (Lines{"inner\n"}));
}

TEST(FetchThread, FetchesFromTwoThreadsTakeTurns) {
    fw::KernelHandle firstArrived = NewEvent();
    fw::KernelHandle release = NewEvent();
    std::atomic<int> active{0};
    std::atomic<int> mostActive{0};
    LoopbackHttpServer server([&](Exchange& ex) {
        const int now = ++active;
        if (now > mostActive) mostActive = now;
        if (ex.request.target == "/first") {
            SetEvent(firstArrived.get());
            ex.Wait(release.get(), 5000);
        }
        --active;
        ex.Send(LoopbackHttpServer::Reply(200, ex.request.target + "\n"));
    });
    Lines first;
    Lines second;
    std::thread one([&] { first = HttpFetcher().Fetch(server.Url("/first")); });
    ASSERT_EQ(WaitForSingleObject(firstArrived.get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    std::thread two([&] { second = HttpFetcher().Fetch(server.Url("/second")); });
    // The second fetch waits for the lock; if it did not, its request
    // would arrive while the first is held here.
    EXPECT_FALSE(server.WaitForRequests(2, 300));
    SetEvent(release.get());
    one.join();
    two.join();
    EXPECT_EQ(first, (Lines{"/first\n"}));
    EXPECT_EQ(second, (Lines{"/second\n"}));
    EXPECT_EQ(mostActive, 1);
}

TEST(FetchThread, PumpMessagesDispatchesAllAndKeepsQuit) {
    CallbackWindow window([] {});
    window.Post();
    window.Post();
    window.Post();
    PostQuitMessage(5);
    HttpFetcher::PumpMessages();
    EXPECT_EQ(window.Calls(), 3);
    EXPECT_EQ(TakeQuit(), std::optional<WPARAM>(5));

    // The program is ending: a fetch that meets WM_QUIT gives up at once
    // instead of waiting for a server that answers in 10 s.
    fw::KernelHandle never(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    LoopbackHttpServer server([&](Exchange& ex) {
        ex.Wait(never.get(), 10000);
        ex.Send(LoopbackHttpServer::Reply(200, "page\n"));
    });
    window.Post();
    PostQuitMessage(7);
    HttpFetcher fetcher;
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(fetcher.Fetch(server.Url("/")), Lines{});
    EXPECT_LT(GetTickCount64() - start, 5000u);
    EXPECT_EQ(fetcher.Outcome(), FetchOutcome::Cancelled);
    EXPECT_EQ(window.Calls(), 4);
    EXPECT_EQ(TakeQuit(), std::optional<WPARAM>(7));
}
