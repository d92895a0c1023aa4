// The Remove and Uninstall commands end to end: a real main window, real
// message boxes and dialogs answered from a second thread, real keys in the
// test prefix's Uninstall key (the uninstallers are processes of their own,
// so they must see the same keys) and real uninstaller processes.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BuildConfig.h"
#include "MainDialogTestAccess.h"
#include "RegistryPaths.h"
#include "app/MainDialog.h"
#include "GuiDriver.h"
#include "RegistryEditor.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "ThisProgram.h"
#include "resource.h"

namespace {

const std::string kFullUninstall = "HKEY_LOCAL_MACHINE\\" + kUninstall + "\\";

std::string FakeUninstaller() { return BesideThisProgram("fake_uninstaller.exe"); }

std::string Quoted(const std::string& text) {
    std::string quoted(1, '"');
    quoted.append(text).push_back('"');
    return quoted;
}

bool IsWaitDialog(HWND w) { return gui::HasButton(w, IDOK, "&Next"); }
bool IsOfferDialog(HWND w) { return gui::HasButton(w, IDCANCEL, "&No") && gui::HasButton(w, IDOK, "&Yes"); }

const std::vector<std::pair<int, std::string>> kOkOnly{{IDOK, "OK"}};
const std::vector<std::pair<int, std::string>> kYesNo{{IDYES, "&Yes"}, {IDNO, "&No"}};

class EntryCommandsTest : public ::testing::Test {
protected:
    EntryCommandsTest() : scratch(ScratchRegistry::Roots::UserOnly) {
        // Backups of removals go to this test's own folder.
        ScratchRegistry::SetString(HKEY_CURRENT_USER,
                                   kUserShellFolders,
                                   "Local AppData", files.Path());
    }

    ~EntryCommandsTest() override {
        for (const std::string& key : keys) {
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kUninstall + "\\" + key).c_str());
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kArpCache + "\\" + key).c_str());
        }
    }

    // An entry under a key name of this test's own; returns the key name.
    std::string Entry(const std::string& tag, const std::string& name, const std::string& command) {
        const std::string key = "ZaltrowTest_" + std::to_string(GetCurrentProcessId()) + "_" + tag;
        keys.push_back(key);
        ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "DisplayName", name);
        ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "UninstallString", command);
        return key;
    }
    std::string Uninstaller(const std::string& arguments) { return Quoted(FakeUninstaller()).append(" ").append(arguments); }
    std::string Phantom() { return Quoted(files.Join("gone\\unins000.exe")); }
    bool Exists(const std::string& key) { return ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key); }

    void Open() {
        ScratchRegistry::SetString(HKEY_CURRENT_USER, "Software\\Zaltrow", "bDisableSplash", "1");
        ASSERT_TRUE(dialog.Create());
    }
    int RowOf(const std::string& name, const std::string& command = "") {
        auto& list = MainDialogTestAccess::List(dialog);
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (list.GetItemText(i, 0) == name && (command.empty() || list.GetItemText(i, 1) == command)) return i;
        return -1;
    }
    void Select(int row) {
        ASSERT_GE(row, 0);
        MainDialogTestAccess::List(dialog).SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
    std::vector<std::filesystem::path> Backups() const { return files.FilesIn("Zaltrow\\Removed"); }
    // The backup files written so far, as ASCII text (UTF-16LE after the BOM).
    std::vector<std::string> BackupTexts() const {
        std::vector<std::string> texts;
        for (const auto& file : Backups()) {
            std::ifstream in(file, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::string text;
            for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) text.push_back(bytes[i + 1] ? '?' : bytes[i]);
            texts.push_back(text);
        }
        return texts;
    }
    // Runs a command as its button would; returns when the command is over.
    void Press(int id) { SendMessageA(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    ScratchRegistry scratch;
    TempFolder files;
    std::vector<std::string> keys;
    fw::Modeless<MainDialog> dialog;
};

TEST_F(EntryCommandsTest, RemoveAsksThenDeletesBothKeysAndReportsOverTheRefreshedList) {
    const std::string key = Entry("A", "Alpha Tool", "MsiExec.exe /X{1}");
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, kArpCache + "\\" + key, "SlowInfoCache", {1, 2, 3});
    Entry("B", "Beta Tool", "MsiExec.exe /X{2}");
    Open();
    Select(RowOf("Beta Tool"));
    Select(RowOf("Alpha Tool"));  // several selected: the lowest row counts

    gui::BoxAnswerer question(gui::IsMessageBox, IDYES);
    int rowsAtSuccess = -1;
    gui::BoxAnswerer success([&](HWND w) {
        if (!gui::IsMessageBox(w) || gui::ItemText(w, 0xFFFF).find("successfully") == std::string::npos) return false;
        rowsAtSuccess = RowOf("Alpha Tool");
        return true;
    }, IDOK);
    Press(IDC_REMOVE);

    EXPECT_EQ(question.Seen().caption, "Zaltrow");
    EXPECT_EQ(question.Seen().text, "Alpha Tool\n\nDo you wish to remove this entry from the Add/Remove Programs list?");
    EXPECT_EQ(question.Seen().buttons, kYesNo);
    EXPECT_EQ(question.Seen().icon, LoadIcon(nullptr, IDI_QUESTION));
    EXPECT_EQ(success.Seen().text, "Alpha Tool was successfully removed from the Add/Remove Programs list.");
    EXPECT_EQ(success.Seen().buttons, kOkOnly);
    EXPECT_EQ(success.Seen().icon, LoadIcon(nullptr, IDI_ASTERISK));
    EXPECT_EQ(rowsAtSuccess, -1) << "the list was refreshed before the message";
    EXPECT_FALSE(Exists(key));
    EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kArpCache + "\\" + key));
    EXPECT_GE(RowOf("Beta Tool"), 0);
    const std::vector<std::string> backups = BackupTexts();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_NE(backups[0].find("[HKEY_LOCAL_MACHINE\\" + kArpCache + "\\" + key + "]\r\n\"SlowInfoCache\"=hex:01,02,03"),
              std::string::npos)
        << backups[0];

    // Undo: the backup imported, Refresh shows the same row again.
    EXPECT_EQ(ImportWithRegedit(Backups()[0]), 0u);
    Press(IDC_REFRESH);
    EXPECT_GE(RowOf("Alpha Tool", "MsiExec.exe /X{1}"), 0);
    EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kArpCache + "\\" + key));
}

TEST_F(EntryCommandsTest, RemoveAnsweredNoChangesNothing) {
    const std::string key = Entry("A", "Alpha Tool", "MsiExec.exe /X{1}");
    Open();
    Select(RowOf("Alpha Tool"));
    gui::BoxAnswerer question(gui::IsMessageBox, IDNO);
    Press(IDC_REMOVE);
    ASSERT_NE(question.Seen().window, nullptr);
    EXPECT_TRUE(Exists(key));
    EXPECT_GE(RowOf("Alpha Tool"), 0);
}

TEST_F(EntryCommandsTest, RemovingTheSelectedPhantomTwinKeepsTheValidProgram) {
    const std::string valid = Entry("Valid", "Twin App", "MsiExec.exe /X{7}");
    const std::string phantom = Entry("Phantom", "Twin App", Phantom());
    Open();
    const int row = RowOf("Twin App", Phantom());
    ASSERT_EQ(MainDialogTestAccess::List(dialog).GetItemData(row), PhantomMark);
    Select(row);
    gui::BoxAnswerer question(gui::IsMessageBox, IDYES);
    gui::BoxAnswerer success([](HWND w) {
        return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find("successfully") != std::string::npos;
    }, IDOK);
    Press(IDC_REMOVE);
    ASSERT_NE(success.Seen().window, nullptr);
    EXPECT_FALSE(Exists(phantom));
    EXPECT_TRUE(Exists(valid));
    EXPECT_GE(RowOf("Twin App", "MsiExec.exe /X{7}"), 0);
}

TEST_F(EntryCommandsTest, EntryWithSubkeysCannotBeRemovedAndKeepsItsCache) {
    const std::string key = Entry("Deep", "Deep App", "MsiExec.exe /X{3}");
    ScratchRegistry::CreateKey(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key + "\\Child");
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, kArpCache + "\\" + key, "SlowInfoCache", {1});
    Open();
    Select(RowOf("Deep App"));
    gui::BoxAnswerer question(gui::IsMessageBox, IDYES);
    gui::BoxAnswerer failure([](HWND w) {
        return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find("problem") != std::string::npos;
    }, IDOK);
    Press(IDC_REMOVE);
    EXPECT_EQ(failure.Seen().text, "There was a problem removing the program entry\n" + kFullUninstall + key);
    EXPECT_EQ(failure.Seen().buttons, kOkOnly);
    EXPECT_EQ(failure.Seen().icon, LoadIcon(nullptr, IDI_HAND));
    EXPECT_TRUE(Exists(key));
    EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kArpCache + "\\" + key));
    EXPECT_GE(RowOf("Deep App"), 0);
}

TEST_F(EntryCommandsTest, RowWithoutEntryIsAnInvalidSelection) {
    Open();
    MainDialogTestAccess::List(dialog).InsertItem(0, "Ghost Row", 0);
    Select(0);
    for (int command : {IDC_REMOVE, IDC_UNINSTALL}) {
        gui::BoxAnswerer invalid(gui::IsMessageBox, IDOK);
        Press(command);
        EXPECT_EQ(invalid.Seen().text, "Invalid program selected: Ghost Row\nPlease contact " ZALTROW_MAKER_HOST
                                       " for support.");
        EXPECT_EQ(invalid.Seen().buttons, kOkOnly);
        EXPECT_EQ(invalid.Seen().icon, LoadIcon(nullptr, IDI_HAND));
    }
}

TEST_F(EntryCommandsTest, NothingSelectedDoesNothing) {
    Entry("A", "Alpha Tool", Phantom());
    Open();
    gui::BoxAnswerer any([](HWND w) { return gui::IsMessageBox(w) || IsOfferDialog(w); }, IDCANCEL, 300);
    Press(IDC_REMOVE);
    Press(IDC_UNINSTALL);
    EXPECT_EQ(any.Seen().window, nullptr);
}

TEST_F(EntryCommandsTest, PhantomGoesStraightToTheOfferWhereEnterMeansNo) {
    const std::string key = Entry("Gone", "Gone App", Phantom());
    Open();
    Select(RowOf("Gone App"));
    bool waited = false;
    std::string caption, name, question;
    HICON icon = nullptr;
    gui::BoxAnswerer offer([&](HWND w) {
        waited = waited || IsWaitDialog(w);
        if (!IsOfferDialog(w)) return false;
        caption = gui::Text(w);
        icon = reinterpret_cast<HICON>(SendDlgItemMessageA(w, 1027, STM_GETICON, 0, 0));
        name = gui::ItemText(w, 1028);
        question = gui::ItemText(w, 0xFFFF);
        gui::PressEnter(w);
        return true;
    }, 0);
    // A double-click on the row runs the same command.
    NMITEMACTIVATE click{};
    click.hdr = {MainDialogTestAccess::List(dialog).Hwnd(), IDC_PROGRAM_LIST, static_cast<UINT>(NM_DBLCLK)};
    SendMessageA(dialog.Hwnd(), WM_NOTIFY, IDC_PROGRAM_LIST, reinterpret_cast<LPARAM>(&click));
    ASSERT_NE(offer.Seen().window, nullptr);
    EXPECT_FALSE(waited);
    EXPECT_EQ(caption, "Zaltrow");
    EXPECT_NE(icon, nullptr) << "no icon path: the program's own icon";
    EXPECT_EQ(name, "Gone App");
    EXPECT_EQ(question, "The uninstall program has completed or was cancelled. However, the program is still listed "
                        "in your Add/Remove Programs list.\n\nWould you like to remove the entry?");
    EXPECT_TRUE(Exists(key)) << "Enter chose No";

    // Yes removes it.
    Select(RowOf("Gone App"));
    gui::BoxAnswerer yes(IsOfferDialog, IDOK);
    gui::BoxAnswerer success(gui::IsMessageBox, IDOK);
    Press(IDC_UNINSTALL);
    EXPECT_EQ(success.Seen().text, "Gone App was successfully removed from the Add/Remove Programs list.");
    EXPECT_FALSE(Exists(key));
    // The follow-up's removal left its backup like the Remove command's.
    const std::vector<std::string> backups = BackupTexts();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_NE(backups[0].find("[" + kFullUninstall + key + "]\r\n\"DisplayName\"=\"Gone App\"\r\n"), std::string::npos)
        << backups[0];
}

TEST_F(EntryCommandsTest, UninstallerThatRemovesItsEntryEndsSilently) {
    const std::string key = "ZaltrowTest_" + std::to_string(GetCurrentProcessId()) + "_Self";
    Entry("Self", "Self Removing", Uninstaller("remove " + kUninstall + "\\" + key));
    Open();
    Select(RowOf("Self Removing"));
    std::string name, note;
    gui::BoxAnswerer wait([&](HWND w) {
        if (!IsWaitDialog(w)) return false;
        name = gui::ItemText(w, 1028);
        note = gui::ItemText(w, 0xFFFF);
        // Next once the uninstaller is done, as a person would.
        gui::PumpUntil([&] { return !Exists(key); }, 5000);
        return true;
    }, IDOK);
    gui::BoxAnswerer offer(IsOfferDialog, IDCANCEL, 1500);
    Press(IDC_UNINSTALL);
    ASSERT_NE(wait.Seen().window, nullptr);
    EXPECT_EQ(name, "Self Removing");
    EXPECT_EQ(note, "When the uninstall program has completed,\nclick Next to continue.");
    EXPECT_EQ(wait.Seen().buttons, (std::vector<std::pair<int, std::string>>{{IDOK, "&Next"}}));
    EXPECT_EQ(offer.Seen().window, nullptr);
    EXPECT_FALSE(Exists(key));
    EXPECT_EQ(RowOf("Self Removing"), -1);
}

TEST_F(EntryCommandsTest, UninstallerThatLeavesItsEntryGetsTheOffer) {
    const std::string key = Entry("Stays", "Stubborn App", Uninstaller("leave"));
    Open();
    Select(RowOf("Stubborn App"));
    gui::BoxAnswerer wait(IsWaitDialog, IDOK);
    gui::BoxAnswerer offer(IsOfferDialog, IDCANCEL);
    Press(IDC_UNINSTALL);
    ASSERT_NE(wait.Seen().window, nullptr);
    ASSERT_NE(offer.Seen().window, nullptr);
    EXPECT_TRUE(Exists(key));
}

TEST_F(EntryCommandsTest, EscapeOnTheWaitDialogChecksAtOnce) {
    const std::string key = "ZaltrowTest_" + std::to_string(GetCurrentProcessId()) + "_Slow";
    Entry("Slow", "Slow App", Uninstaller("slow 1500 remove " + kUninstall + "\\" + key));
    Open();
    Select(RowOf("Slow App"));
    gui::BoxAnswerer wait([](HWND w) {
        if (!IsWaitDialog(w)) return false;
        gui::PressEscape(w);
        return true;
    }, 0);
    gui::BoxAnswerer offer(IsOfferDialog, IDCANCEL);
    Press(IDC_UNINSTALL);
    ASSERT_NE(wait.Seen().window, nullptr);
    EXPECT_NE(offer.Seen().window, nullptr) << "still listed: the uninstaller had not finished";
    EXPECT_TRUE(Exists(key));
    gui::PumpUntil([&] { return !Exists(key); }, 3000);  // let it finish before cleanup
}

TEST_F(EntryCommandsTest, TwinKeepsTheOfferComingAndYesFindsTheKeyGone) {
    const std::string key = "ZaltrowTest_" + std::to_string(GetCurrentProcessId()) + "_Gone";
    Entry("Gone", "Shared Name", Uninstaller("remove " + kUninstall + "\\" + key));
    Entry("Other", "Shared Name", "MsiExec.exe /X{9}");
    Open();
    Select(RowOf("Shared Name", Uninstaller("remove " + kUninstall + "\\" + key)));
    gui::BoxAnswerer wait([&](HWND w) {
        if (!IsWaitDialog(w)) return false;
        gui::PumpUntil([&] { return !Exists(key); }, 5000);
        return true;
    }, IDOK);
    gui::BoxAnswerer offer(IsOfferDialog, IDOK);
    gui::BoxAnswerer failure(gui::IsMessageBox, IDOK);
    Press(IDC_UNINSTALL);
    ASSERT_NE(offer.Seen().window, nullptr);
    EXPECT_EQ(failure.Seen().text, "There was a problem removing the program entry\n" + kFullUninstall + key);
    EXPECT_GE(RowOf("Shared Name", "MsiExec.exe /X{9}"), 0);
    EXPECT_TRUE(BackupTexts().empty()) << "no key, nothing to keep";
}

}  // namespace

// A per-user install is removed from the user's own keys, and a failure
// names the key where it really is.
TEST_F(EntryCommandsTest, UserEntriesAreRemovedFromTheUsersOwnKeys) {
    const std::string machineTwin = Entry("Mine", "Mine Too", "MsiExec.exe /X{9}");
    const std::string user = kUninstall + "\\" + machineTwin;
    ScratchRegistry::SetString(HKEY_CURRENT_USER, user, "DisplayName", "Just Mine");
    ScratchRegistry::SetString(HKEY_CURRENT_USER, user, "UninstallString", "MsiExec.exe /X{10}");
    ScratchRegistry::SetBinary(HKEY_CURRENT_USER, kArpCache + "\\" + machineTwin, "SlowInfoCache", {1});
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kUninstall + "\\Stuck", "DisplayName", "Stuck For Me");
    ScratchRegistry::SetString(HKEY_CURRENT_USER, kUninstall + "\\Stuck", "UninstallString", "MsiExec.exe /X{11}");
    ScratchRegistry::CreateKey(HKEY_CURRENT_USER, kUninstall + "\\Stuck\\Child");
    Open();

    Select(RowOf("Stuck For Me"));
    gui::BoxAnswerer question(gui::IsMessageBox, IDYES);
    gui::BoxAnswerer failure([](HWND w) {
        return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find("problem") != std::string::npos;
    }, IDOK);
    Press(IDC_REMOVE);
    EXPECT_EQ(failure.Seen().text,
              "There was a problem removing the program entry\nHKEY_CURRENT_USER\\" + kUninstall + "\\Stuck");

    MainDialogTestAccess::List(dialog).SetItemState(-1, 0, LVIS_SELECTED);
    Select(RowOf("Just Mine"));
    gui::BoxAnswerer again(gui::IsMessageBox, IDYES);
    gui::BoxAnswerer success([](HWND w) {
        return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find("successfully") != std::string::npos;
    }, IDOK);
    Press(IDC_REMOVE);
    ASSERT_NE(success.Seen().window, nullptr);
    EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_CURRENT_USER, user));
    EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_CURRENT_USER, kArpCache + "\\" + machineTwin));
    EXPECT_TRUE(Exists(machineTwin)) << "the machine-wide key of the same name stays";
    EXPECT_EQ(RowOf("Just Mine"), -1);
    EXPECT_GE(RowOf("Mine Too"), 0);
}

// An unquoted command whose folder has a comma: not red, and Uninstall
// starts the file it names (which here removes its own entry).
TEST_F(EntryCommandsTest, UninstallStartsTheFileACommaFolderReallyNames) {
    const std::string key = "ZaltrowTest_" + std::to_string(GetCurrentProcessId()) + "_Comma";
    const std::string copy = files.Join("Acme, Inc\\uninst.exe");
    files.WriteFile("Acme, Inc\\placeholder");
    ASSERT_TRUE(CopyFileA(FakeUninstaller().c_str(), copy.c_str(), FALSE));
    Entry("Comma", "Acme Tool", copy + " remove " + kUninstall + "\\" + key);
    Open();
    const int row = RowOf("Acme Tool");
    ASSERT_GE(row, 0);
    EXPECT_EQ(MainDialogTestAccess::List(dialog).GetItemData(row), 0);
    Select(row);
    gui::BoxAnswerer wait([&](HWND w) {
        if (!IsWaitDialog(w)) return false;
        gui::PumpUntil([&] { return !Exists(key); }, 5000);
        return true;
    }, IDOK);
    gui::BoxAnswerer offer(IsOfferDialog, IDCANCEL, 1500);
    Press(IDC_UNINSTALL);
    EXPECT_NE(wait.Seen().window, nullptr) << "the launch failed";
    EXPECT_EQ(offer.Seen().window, nullptr);
    EXPECT_FALSE(Exists(key));
}
