// The "Check for Upgrade" dialog end to end: a real dialog, a real page
// server on 127.0.0.1, the answers given as a person would.

#include "net/UpgradeDialog.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>

#include "GuiDriver.h"
#include "LoopbackHttpServer.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "TestUpgradeKey.h"
#include "ThisProgram.h"
#include "UpgradeDialogTestAccess.h"
#include "framework/UniqueHandle.h"

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
        dialog.Setup("Zaltrow", 1.2f, url);
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

TEST_F(UpgradeDialogTest, UnreachableServerAndEmptyPageAreTheMostRecent) {
    UpgradeDialog dialog;
    const std::string nowhere = "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::UnusedPort()) + "/x.html";
    EXPECT_EQ(Check(dialog, nowhere, IDOK).box.text, kMostRecent);
    LoopbackHttpServer empty([](LoopbackHttpServer::Exchange& exchange) {
        exchange.Send(LoopbackHttpServer::Reply(200, ""));
    });
    EXPECT_EQ(Check(dialog, empty.Url("/p"), IDOK).box.text, kMostRecent);
}

TEST_F(UpgradeDialogTest, HigherVersionAsksWithTheDescriptionAndNoClosesTheDialog) {
    LoopbackHttpServer server([](LoopbackHttpServer::Exchange& exchange) {
        exchange.Send(LoopbackHttpServer::Reply(200, Page("1.21 beta", "Faster lists.\r\nNew icons.")));
    });
    UpgradeDialog dialog;
    const CheckResult result = Check(dialog, server.Url("/zaltrow_upgrade_check.html"), IDNO);
    EXPECT_EQ(result.box.caption, "A new upgrade is available.");
    EXPECT_EQ(result.box.text, "A new upgrade of Zaltrow is available for download.\n\nDescription:\n\n"
                               "Faster lists.\nNew icons.\n\n\nWould you like to download the upgrade now?");
    EXPECT_EQ(result.box.buttons, (std::vector<std::pair<int, std::string>>{{IDYES, "&Yes"}, {IDNO, "&No"}}));
    EXPECT_EQ(result.box.icon, nullptr);
    EXPECT_FLOAT_EQ(UpgradeDialogTestAccess::Page(dialog).newVersion, 1.21f);
    EXPECT_EQ(UpgradeDialogTestAccess::Page(dialog).downloadLink, "http://127.0.0.1:1/setup.exe\n");
    EXPECT_NE(UpgradeDialogTestAccess::LastCheck(dialog), 0.0);
}

TEST_F(UpgradeDialogTest, EmptyDescriptionLeavesFourLineBreaks) {
    LoopbackHttpServer server([](LoopbackHttpServer::Exchange& exchange) {
        exchange.Send(LoopbackHttpServer::Reply(
            200, "<!-- UPGRADE Version\n2.0\n<!-- UPGRADE Description END UPGRADE Description -->\n"));
    });
    UpgradeDialog dialog;
    EXPECT_EQ(Check(dialog, server.Url("/p"), IDNO).box.text,
              "A new upgrade of Zaltrow is available for download.\n\nDescription:\n\n\n\n"
              "Would you like to download the upgrade now?");
}

TEST_F(UpgradeDialogTest, UpgradeDateIsWrittenWhenTheDialogGoesAfterACheck) {
    const std::string key = "Software\\Zaltrow";
    {
        UpgradeDialog unused;
        unused.Setup("Zaltrow", 1.2f, "");
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
        dialog.Setup("Zaltrow", 1.2f, server.Url("/zaltrow_upgrade_check.html"));
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
    // The installer's body stalls half-way; the page announces it, signed.
    TempFolder folder;
    std::filesystem::copy_file(BesideThisProgram("command_recorder.exe"), folder.Join("unins000.exe"));
    fw::KernelHandle never(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    LoopbackHttpServer* self = nullptr;
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) {
        if (exchange.request.target == "/setup.exe") {
            exchange.Send("HTTP/1.1 200 OK\r\nContent-Length: 200000\r\n\r\n" + std::string(100000, 'M'));
            exchange.Wait(never.get(), 10000);
            exchange.CloseAfter();
            return;
        }
        // A signature of the right form, so the download starts.
        exchange.Send(LoopbackHttpServer::Reply(200, "<!-- UPGRADE Version\n9.0\n<!-- UPGRADE Download Link\n" +
                                                         self->Url("/setup.exe") + "\n<!-- UPGRADE Signature\n" +
                                                         std::string(86, 'A') + "==\n"));
    });
    self = &server;
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    UpgradeDialog dialog(TestUpgradeKey());
    dialog.Setup("Zaltrow", 1.2f, server.Url("/p"));
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
    const bool removed = gui::PumpUntil([&] { return !std::filesystem::exists(folder.Join("NewUpdate.exe")); }, 5000);
    SetCurrentDirectoryA(previous);
    EXPECT_NE(closedAt, 0u);
    EXPECT_LT(closing, 1500u);
    EXPECT_EQ(later.window, nullptr) << later.text;
    EXPECT_FALSE(std::filesystem::exists(folder.Join("calls.log"))) << "nothing was run";
    EXPECT_TRUE(removed);
}

TEST_F(UpgradeDialogTest, ServerThatNeverAnswersEndsAsNoUpgradeWithinTheBound) {
    fw::KernelHandle never(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) { exchange.Wait(never.get(), 90000); });
    UpgradeDialog dialog;
    dialog.Setup("Zaltrow", 1.2f, server.Url("/zaltrow_upgrade_check.html"));
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
    EXPECT_EQ(seen.text, kMostRecent);
    const double seconds = static_cast<double>(answeredAt - pressedAt) / 1000.0;
    std::printf("silent server: most-recent message after %.1f s\n", seconds);
    EXPECT_GE(seconds, HttpFetcher::kStallMs / 1000.0 - 1) << "not before the bound";
    EXPECT_LE(seconds, HttpFetcher::kStallMs / 1000.0 + 10) << "soon after the bound";
}

TEST_F(UpgradeDialogTest, LongDescriptionIsCutSoTheQuestionStaysOnTheScreen) {
    std::string manyLines;
    for (int i = 1; i <= 3000; ++i) manyLines += "Line " + std::to_string(i) + " of the changes.\r\n";
    manyLines += "Last";
    const std::string oneLongWord(3000, 'W');
    std::string longParagraph;
    while (longParagraph.size() < 3000) longParagraph += "Faster and sturdier lists with fewer surprises. ";
    for (const std::string& description : {manyLines, oneLongWord, longParagraph}) {
        LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) {
            exchange.Send(LoopbackHttpServer::Reply(200, Page("2.0", description)));
        });
        UpgradeDialog dialog;
        dialog.Setup("Zaltrow", 1.2f, server.Url("/p"));
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
        EXPECT_NE(text.find("...\n\nWould you like to download the upgrade now?"), std::string::npos) << text;
        EXPECT_LE(text.size(), 1700u);
        // What the page said is kept whole; only the question is cut.
        EXPECT_GE(UpgradeDialogTestAccess::Page(dialog).description.size(), 3000u);
    }
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

}  // namespace
