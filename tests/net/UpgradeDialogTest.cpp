// The "Check for Upgrade" dialog end to end: a real dialog, a real page
// server on 127.0.0.1, the answers given as a person would.

#include "app/UpgradeDialog.h"

#include <gtest/gtest.h>

#include <oleauto.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

#include "GuiDriver.h"
#include "LoopbackHttpServer.h"
#include "ShortStallBound.h"
#include "RegistryPaths.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "TestStatements.h"
#include "TestUpgradeKey.h"
#include "ThisProgram.h"
#include "UpgradeDialogTestAccess.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "net/UpgradeStatement.h"

namespace {

std::string Page(const std::string& version, const std::string& description = "Better.") {
    return "<html><body>\r\n<!-- UPGRADE Version\r\n" + version + "\r\n-->\r\n<!-- UPGRADE Description\r\n" +
           description + "\r\nEND UPGRADE Description -->\r\n<!-- UPGRADE Download Link\r\n"
           "http://127.0.0.1:1/setup.exe\r\n-->\r\n</body></html>\r\n";
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return std::to_string(local->tm_mon + 1) + " " + std::to_string(local->tm_mday) + " " +
           std::to_string(local->tm_year + 1900);
}

struct CheckResult {
    gui::SeenBox box;
    bool okEnabled = true;
    bool focusOnClose = false;
};

class UpgradeDialogTest : public ::testing::Test {
protected:
    // Shows the dialog, presses OK, answers the message with `answer`, then
    // closes the dialog if it is still open.
    CheckResult Check(UpgradeDialog& dialog, const std::string& url, int answer) {
        dialog.SetProduct("Zaltrow", "1.2", url);
        CheckResult result;
        std::thread person([&] {
            HWND check = gui::WaitForWindow(GetCurrentProcessId(), "#32770", "Check for Upgrade", 5000);
            if (!check) return;
            gui::PressButton(check, IDOK);
            gui::BoxAnswerer box([check](HWND w) { return w != check && gui::IsMessageBox(w); }, answer);
            result.box = box.Seen();
            // The check ends by moving the focus to Close.
            for (int i = 0; i < 100 && IsWindow(check) && !result.focusOnClose; ++i) {
                GUITHREADINFO info{};
                info.cbSize = sizeof info;
                GetGUIThreadInfo(GetWindowThreadProcessId(check, nullptr), &info);
                result.focusOnClose = info.hwndFocus == GetDlgItem(check, IDCANCEL);
                if (!result.focusOnClose) Sleep(10);
            }
            if (!IsWindow(check)) return;
            result.okEnabled = IsWindowEnabled(GetDlgItem(check, IDOK)) != FALSE;
            gui::PressButton(check, IDCANCEL);
        });
        dialog.DoModal();
        person.join();
        return result;
    }

    ScratchRegistry scratch;
};

const std::string kMostRecent = "You have the most recent version v1.20.\nNo upgrade is available.";

TEST_F(UpgradeDialogTest, SameLowerOrMalformedVersionsAreTheMostRecent) {
    for (const char* version : {"1.2", "1.19999", "0.9", "beta", ""}) {
        LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) {
            exchange.Send(LoopbackHttpServer::Reply(200, Page(version)));
        });
        UpgradeDialog dialog;
        const CheckResult result = Check(dialog, server.Url("/zaltrow_upgrade_check.html"), IDOK);
        EXPECT_EQ(result.box.text, kMostRecent) << version;
        EXPECT_EQ(result.box.caption, "Zaltrow");
        EXPECT_EQ(result.box.buttons, (std::vector<std::pair<int, std::string>>{{IDOK, "OK"}}));
        EXPECT_EQ(result.box.icon, nullptr);
        EXPECT_FALSE(result.okEnabled) << "OK stays off after a check";
        EXPECT_TRUE(result.focusOnClose);
        ASSERT_EQ(server.RequestCount(), 1u);
        EXPECT_EQ(server.Requests()[0].target, "/zaltrow_upgrade_check.html");
    }
}

TEST_F(UpgradeDialogTest, AFailedCheckSaysWhyAndOnlyAPageWithNothingNewerIsTheMostRecent) {
    constexpr std::size_t kLimit = 1024 * 1024;
    // A page of exactly the limit, offering nothing newer.
    std::string full = Page("1.2");
    full += std::string(kLimit - full.size(), '\n');
    struct Row {
        const char* name;
        std::function<void(LoopbackHttpServer::Exchange&)> serve;  // none: nothing listens
        std::string expected;  // the failure, or kMostRecent
    } rows[] = {
        {"missing page",
         [](auto& ex) { ex.Send(LoopbackHttpServer::Reply(404, "<html>gone</html>\n")); },
         "the server answered 404 Not Found"},
        {"redirect to https",
         [](auto& ex) { ex.Send(LoopbackHttpServer::Reply(302, "", "Location: https://127.0.0.1/p\r\n")); },
         "the server redirected to a secure (https) address, https://127.0.0.1/p"},
        {"relative redirect", [](auto& ex) { ex.Send(LoopbackHttpServer::Reply(301, "", "Location: /p\r\n")); },
         "the server redirected to a relative address, /p"},
        {"stopped server", nullptr, "no connection could be made to the server (network error 12029)"},
        {"page past the limit",
         // Announced as 2.6 GB; 4 MiB of it is sent.
         [](auto& ex) {
             ex.Send("HTTP/1.1 200 OK\r\nContent-Length: 2600000000\r\n\r\n");
             const std::string block(64 * 1024, 'x');
             for (int i = 0; i < 64 && ex.Send(block); ++i) {}
             ex.CloseAfter();
         },
         "the page is larger than 1 MiB"},
        {"empty page", [](auto& ex) { ex.Send(LoopbackHttpServer::Reply(200, "")); }, kMostRecent},
        {"page of the limit", [&](auto& ex) { ex.Send(LoopbackHttpServer::Reply(200, full)); }, kMostRecent},
    };
    for (const Row& row : rows) {
        std::optional<LoopbackHttpServer> server;
        if (row.serve) server.emplace(row.serve);
        const std::string url = server ? server->Url("/zaltrow_upgrade_check.html")
                                       : "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::UnusedPort()) + "/p";
        UpgradeDialog dialog;
        const CheckResult result = Check(dialog, url, IDOK);
        const bool failed = row.expected != kMostRecent;
        EXPECT_EQ(result.box.text, failed ? UpgradeDialog::CheckFailedText(row.expected) : kMostRecent) << row.name;
        // A failure may be tried again; a finished check may not.
        EXPECT_EQ(result.okEnabled, failed) << row.name;
    }
}

TEST(UpgradeDialogStanding, StillInstalledOnlyWhenTheEntryAndTheFileSaySo) {
    TempFolder temp;
    const std::wstring folder = std::filesystem::path(temp.Path()).wstring();
    const std::wstring program = folder + L"\\Zaltrow 1.2.exe";
    temp.WriteFile("Zaltrow 1.2.exe");
    const std::wstring missing = folder + L"\\Zaltrow 1.3.exe";
    const std::wstring still = L"Zaltrow 1.2 is still installed and works as before.";
    const std::tuple<std::optional<InstalledCopy::Entry>, std::wstring> rows[] = {
        {InstalledCopy::Entry{folder, L"1.2.0", program}, still},
        {InstalledCopy::Entry{folder + L"\\", L"1.2", L""}, still},  // the setup's own file name
        {std::nullopt, L"No Zaltrow is registered as installed any more."},
        {InstalledCopy::Entry{folder, L"1.3", missing},
         L"Zaltrow 1.3 is now registered as installed in\n" + folder + L"\nbut its program file " + missing +
             L" is missing."},
    };
    for (const auto& [entry, expected] : rows)
        EXPECT_EQ(UpgradeEngine::StandingText("Zaltrow", "1.2", entry, folder), expected);
}

TEST_F(UpgradeDialogTest, HigherSignedVersionAsksWithTheStatementsDescriptionAndNoClosesTheDialog) {
    // The old markers say otherwise; only the statement counts.
    const std::string page = StatementPage(StatementLines("statement-1.3.txt"), "http://127.0.0.1:1/setup.exe",
                                           "<!-- UPGRADE Version\n1.21\n<!-- UPGRADE Description\nUnsigned."
                                           "\nEND UPGRADE Description\n");
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) {
        exchange.Send(LoopbackHttpServer::Reply(200, page));
    });
    UpgradeDialog dialog(TestUpgradeKey());
    const CheckResult result = Check(dialog, server.Url("/zaltrow_upgrade_check.html"), IDNO);
    EXPECT_EQ(result.box.caption, "A new upgrade is available.");
    EXPECT_EQ(result.box.text, "A new upgrade of Zaltrow is available for download.\n\nDescription:\n\n"
                               "Faster lists.\nNew icons.\n\nWould you like to download the upgrade now?");
    EXPECT_EQ(result.box.buttons, (std::vector<std::pair<int, std::string>>{{IDYES, "&Yes"}, {IDNO, "&No"}}));
    EXPECT_EQ(result.box.icon, nullptr);
    EXPECT_EQ(server.RequestCount(), 1u) << "nothing downloaded on No";
    EXPECT_NE(UpgradeDialogTestAccess::LastCheck(dialog), 0.0);
}

TEST_F(UpgradeDialogTest, EmptyDescriptionLeavesFourLineBreaks) {
    LoopbackHttpServer server([](LoopbackHttpServer::Exchange& exchange) {
        exchange.Send(LoopbackHttpServer::Reply(200, StatementPage(StatementLines("statement-empty.txt"), "x")));
    });
    UpgradeDialog dialog(TestUpgradeKey());
    EXPECT_EQ(Check(dialog, server.Url("/p"), IDNO).box.text,
              "A new upgrade of Zaltrow is available for download.\n\nDescription:\n\n\n\n"
              "Would you like to download the upgrade now?");
}

// Pages that must not lead to any download or anything being run: an
// older signed setup announced as newer, statements replayed or forged,
// one for the other build. The answer is the most-recent message or the
// download problem message, and only the page is ever requested.
struct Refused {
    const char* name;
    std::function<std::string(const std::string& setupLink)> page;
    bool problem;  // the problem message, else the most-recent one
};

class RefusedOffer : public UpgradeDialogTest, public ::testing::WithParamInterface<Refused> {};

TEST_P(RefusedOffer, NothingIsDownloadedOrRun) {
    LoopbackHttpServer* self = nullptr;
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) {
        if (exchange.request.target == "/p")
            exchange.Send(LoopbackHttpServer::Reply(200, GetParam().page(self->Url("/setup.exe"))));
        else
            exchange.Send(LoopbackHttpServer::Reply(200, ReadWholeFile(BesideThisProgram("command_recorder.exe"))));
    });
    self = &server;
    UpgradeDialog dialog(TestUpgradeKey());
    // Any question is answered Yes: it must not come.
    const CheckResult result = Check(dialog, server.Url("/p"), IDYES);
    EXPECT_EQ(result.box.text, GetParam().problem ? UpgradeEngine::DownloadProblemText() : kMostRecent);
    EXPECT_EQ(server.RequestCount(), 1u) << "only the page";
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

// 1.3's statement with the signature of another (1.1's).
std::string WithAnotherSignature() {
    const std::string older = StatementLines("statement-1.1.txt");
    const std::string newer = StatementLines("statement-1.3.txt");
    const char* marker = "<!-- UPGRADE Statement Signature";
    return newer.substr(0, newer.find(marker)) + older.substr(older.find(marker));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedOffer,
    ::testing::Values(
        // 1.1's own statement, the old markers saying 9.9.
        Refused{"OlderSignedSetupAnnouncedAsNewer",
                [](const std::string& link) {
                    return StatementPage(StatementLines("statement-1.1.txt"), link,
                                         "<!-- UPGRADE Version\n9.9\n<!-- UPGRADE Download Link\n" + link + "\n");
                },
                false},
        // A replayed older statement beside one for the other build.
        Refused{"ReplayedOlderStatement",
                [](const std::string& link) {
                    return StatementPage(StatementLines("statement-other-architecture.txt"), link) +
                           StatementPage(StatementLines("statement-1.1.txt"), link);
                },
                false},
        Refused{"VersionChangedAfterSigning",
                [](const std::string& link) {
                    return StatementPage(Replace(StatementLines("statement-1.1.txt"), "version=1.1", "version=9.9"),
                                         link);
                },
                true},
        Refused{"SignatureOfAnotherStatement",
                [](const std::string& link) { return StatementPage(WithAnotherSignature(), link); }, true},
        Refused{"ForTheOtherArchitectureOnly",
                [](const std::string& link) {
                    return StatementPage(StatementLines("statement-other-architecture.txt"), link);
                },
                true},
        Refused{"UnsignedAnnouncement",
                [](const std::string& link) {
                    return "<!-- UPGRADE Version\n1.3\n<!-- UPGRADE Download Link\n" + link + "\n";
                },
                true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpgradeDialogTest, UpgradeDateIsWrittenWhenTheDialogGoesAfterACheck) {
    const std::string key = "Software\\Zaltrow";
    {
        UpgradeDialog unused;
        unused.SetProduct("Zaltrow", "1.2", "");
    }
    EXPECT_FALSE(ScratchRegistry::ValueExists(HKEY_CURRENT_USER, key, "UpgradeDate")) << "no check, no date";
    {
        LoopbackHttpServer server([](LoopbackHttpServer::Exchange& exchange) {
            exchange.Send(LoopbackHttpServer::Reply(200, Page("1.0")));
        });
        UpgradeDialog dialog;
        Check(dialog, server.Url("/p"), IDOK);
        EXPECT_FALSE(ScratchRegistry::ValueExists(HKEY_CURRENT_USER, key, "UpgradeDate")) << "not before the end";
    }
    EXPECT_EQ(ScratchRegistry::GetString(HKEY_CURRENT_USER, key, "UpgradeDate"), Today());
}

// How a person closes the check dialog.
enum class CloseBy { CloseButton, Escape, CloseBox };

TEST_F(UpgradeDialogTest, ClosingDuringASlowCheckEndsItWithoutAnotherWord) {
    for (CloseBy how : {CloseBy::CloseButton, CloseBy::Escape, CloseBy::CloseBox}) {
        // The page comes 2.5 s after it was asked for, announcing an upgrade.
        fw::KernelHandle never(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) {
            exchange.Wait(never.get(), 2500);
            exchange.Send(LoopbackHttpServer::Reply(200, Page("9.0")));
        });
        UpgradeDialog dialog;
        dialog.SetProduct("Zaltrow", "1.2", server.Url("/zaltrow_upgrade_check.html"));
        ULONGLONG closedAt = 0;
        gui::SeenBox later;
        std::thread person([&] {
            HWND check = gui::WaitForWindow(GetCurrentProcessId(), "#32770", "Check for Upgrade", 5000);
            if (!check) return;
            gui::PressButton(check, IDOK);
            if (!server.WaitForRequests(1, 5000)) return;
            Sleep(200);
            closedAt = GetTickCount64();
            if (how == CloseBy::CloseButton) gui::PressButton(check, IDCANCEL);
            if (how == CloseBy::Escape) gui::PressEscape(check);
            if (how == CloseBy::CloseBox) PostMessageA(check, WM_SYSCOMMAND, SC_CLOSE, 0);
            // Any box the check still shows is answered No, and recorded.
            gui::BoxAnswerer box([check](HWND w) { return w != check && gui::IsMessageBox(w); }, IDNO, 3500);
            later = box.Seen();
        });
        dialog.DoModal();
        const ULONGLONG closing = GetTickCount64() - closedAt;
        // Pumps on past the moment the page arrives, as the main window would.
        gui::PumpFor(3000);
        person.join();
        const int index = static_cast<int>(how);
        EXPECT_NE(closedAt, 0u) << index;
        EXPECT_LT(closing, 1500u) << "the dialog went at once; by " << index;
        EXPECT_EQ(later.window, nullptr) << "no box after closing, by " << index << ": " << later.text;
        EXPECT_EQ(server.RequestCount(), 1u) << index;
        EXPECT_EQ(UpgradeDialogTestAccess::LastCheck(dialog), 0.0) << "a check closed half-way is no check";
    }
}

TEST_F(UpgradeDialogTest, ClosingDuringTheDownloadInstallsNothing) {
    // This program counts as the installed copy (its folder is the entry's,
    // in the scratch registry); the setup's body stalls half-way.
    std::string own = ThisProgram();
    own.erase(own.rfind('\\'));
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\Zaltrow", "InstallLocation", own);
    fw::KernelHandle never(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    LoopbackHttpServer* self = nullptr;
    const std::string recorder = ReadWholeFile(BesideThisProgram("command_recorder.exe"));
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) {
        if (exchange.request.target == "/setup.exe") {
            exchange.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(recorder.size()) + "\r\n\r\n" +
                          recorder.substr(0, recorder.size() / 2));
            exchange.Wait(never.get(), 10000);
            exchange.CloseAfter();
            return;
        }
        exchange.Send(LoopbackHttpServer::Reply(200, StatementPage(StatementLines("statement-1.3.txt"),
                                                                   self->Url("/setup.exe"))));
    });
    self = &server;
    UpgradeDialog dialog(TestUpgradeKey());
    dialog.SetProduct("Zaltrow", "1.2", server.Url("/p"));
    ULONGLONG closedAt = 0;
    gui::SeenBox later;
    std::thread person([&] {
        HWND check = gui::WaitForWindow(GetCurrentProcessId(), "#32770", "Check for Upgrade", 5000);
        if (!check) return;
        gui::PressButton(check, IDOK);
        gui::BoxAnswerer question([check](HWND w) { return w != check && gui::IsMessageBox(w); }, IDYES);
        if (!question.Seen().window || !server.WaitForRequests(2, 5000)) return;
        Sleep(300);
        closedAt = GetTickCount64();
        gui::PressButton(check, IDCANCEL);
        gui::BoxAnswerer box([check](HWND w) { return w != check && gui::IsMessageBox(w); }, IDOK, 3000);
        later = box.Seen();
    });
    dialog.DoModal();
    const ULONGLONG closing = GetTickCount64() - closedAt;
    person.join();
    // The given-up download removes its part of the file once its read
    // returns: here when the server hangs up.
    SetEvent(never.get());
    char data[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, data);
    const std::filesystem::path download = std::filesystem::path(data) / "Zaltrow upgrade 1.3";
    const bool removed = gui::PumpUntil(
        [&] {
            std::error_code error;
            return std::filesystem::is_empty(download, error) || !std::filesystem::exists(download);
        },
        5000);
    std::error_code error;
    std::filesystem::remove(download, error);
    EXPECT_NE(closedAt, 0u);
    EXPECT_LT(closing, 1500u);
    EXPECT_EQ(later.window, nullptr) << later.text;
    EXPECT_TRUE(removed);
}

TEST_F(UpgradeDialogTest, ServerThatNeverAnswersEndsAsAFailedCheckWithinTheBound) {
    const ShortStallBound bound;
    fw::KernelHandle never(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) { exchange.Wait(never.get(), 90000); });
    UpgradeDialog dialog;
    dialog.SetProduct("Zaltrow", "1.2", server.Url("/zaltrow_upgrade_check.html"));
    ULONGLONG pressedAt = 0;
    ULONGLONG answeredAt = 0;
    gui::SeenBox seen;
    std::thread person([&] {
        HWND check = gui::WaitForWindow(GetCurrentProcessId(), "#32770", "Check for Upgrade", 5000);
        if (!check) return;
        pressedAt = GetTickCount64();
        gui::PressButton(check, IDOK);
        gui::BoxAnswerer box([check](HWND w) { return w != check && gui::IsMessageBox(w); }, IDOK, 60000);
        seen = box.Seen();
        answeredAt = GetTickCount64();
        if (IsWindow(check)) gui::PressButton(check, IDCANCEL);
    });
    dialog.DoModal();
    person.join();
    // WinINet's own time-out or the fetch's bound on silence, whichever ends it.
    EXPECT_TRUE(seen.text == UpgradeDialog::CheckFailedText("nothing arrived for " +
                                                            std::to_string(HttpFetcher::StallMs() / 1000) + " seconds") ||
                seen.text == UpgradeDialog::CheckFailedText(
                                 "the server did not answer in time (network error 12002)"))
        << seen.text;
    const double seconds = static_cast<double>(answeredAt - pressedAt) / 1000.0;
    std::printf("silent server: failed-check message after %.1f s\n", seconds);
    EXPECT_GE(seconds, HttpFetcher::StallMs() / 1000.0 - 1) << "not before the bound";
    EXPECT_LE(seconds, HttpFetcher::StallMs() / 1000.0 + 10) << "soon after the bound";
}

TEST_F(UpgradeDialogTest, LongDescriptionIsCutSoTheQuestionStaysOnTheScreen) {
    // 3000 lines, signed.
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) {
        exchange.Send(LoopbackHttpServer::Reply(200, StatementPage(StatementLines("statement-long.txt"), "x")));
    });
    UpgradeDialog dialog(TestUpgradeKey());
    dialog.SetProduct("Zaltrow", "1.2", server.Url("/p"));
    RECT box{};
    std::string text;
    std::thread person([&] {
        HWND check = gui::WaitForWindow(GetCurrentProcessId(), "#32770", "Check for Upgrade", 5000);
        if (!check) return;
        gui::PressButton(check, IDOK);
        gui::BoxAnswerer answerer([check](HWND w) { return w != check && gui::IsMessageBox(w); }, 0);
        const gui::SeenBox& seen = answerer.Seen();
        if (!seen.window) return;
        GetWindowRect(seen.window, &box);
        text = seen.text;
        gui::PressButton(seen.window, IDNO);
    });
    dialog.DoModal();
    person.join();
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_GE(box.top, 0);
    EXPECT_GE(box.left, 0);
    EXPECT_LE(box.bottom, height) << "the Yes and No buttons are on the screen";
    EXPECT_LE(box.right, width);
    EXPECT_NE(text.find("Line 1 of the changes."), std::string::npos) << text;
    EXPECT_NE(text.find("...\n\nWould you like to download the upgrade now?"), std::string::npos) << text;
    EXPECT_LE(text.size(), 1700u);
}

TEST(UpgradeDateText, MonthDayYearWithoutLeadingZeros) {
    SYSTEMTIME time{};
    time.wYear = 2005;
    time.wMonth = 1;
    time.wDay = 17;
    time.wHour = 13;
    double date = 0;
    ASSERT_TRUE(SystemTimeToVariantTime(&time, &date));
    EXPECT_EQ(UpgradeDialog::UpgradeDateText(date), "1 17 2005");
}

// The wait for the setup handles the window's messages: a setup that never
// returns leaves the window answering, and Close ends the wait while the
// setup runs on. A setup that ends gives its code.
TEST(SetupWait, AnswersWhileTheSetupRunsAndCloseLeavesItRunning) {
    const std::wstring setup = fw::Widen(BesideThisProgram("command_recorder.exe"));
    TempFolder folder;
    for (const bool hangs : {true, false}) {
        SCOPED_TRACE(hangs ? "a setup that never returns" : "a setup that ends");
        SetEnvironmentVariableA("ZALTROW_TEST_SETUP_HANGS", hangs ? "1" : nullptr);
        HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        std::atomic<bool> answered{false};
        std::thread asker([&] {
            DWORD_PTR result = 0;
            Sleep(300);
            answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
            PostMessageA(window, WM_NULL, 0, 0);  // wakes the wait to see it, as Close's own message would
        });
        const UpgradeEngine::SetupRun run = UpgradeDialogTestAccess::RunSetup(
            setup, fw::Widen(folder.Path()), [&] { return hangs && answered.load(); });
        asker.join();
        SetEnvironmentVariableA("ZALTROW_TEST_SETUP_HANGS", nullptr);
        DestroyWindow(window);
        EXPECT_TRUE(run.started);
        EXPECT_EQ(run.ended, !hangs);
        if (!hangs) {
            EXPECT_EQ(run.code, 0u);
        }
        if (hangs) {
            EXPECT_TRUE(answered) << "the window did not answer during the wait";
        }
        // The hanging one runs on after the wait: ended here by the test.
        const fw::KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        int running = 0;
        for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
            if (lstrcmpiA(entry.szExeFile, "command_recorder.exe") != 0) continue;
            ++running;
            const fw::KernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
            TerminateProcess(process.get(), 1);
        }
        EXPECT_EQ(running, hangs ? 1 : 0);
    }
}

}  // namespace
