// The Remove and Uninstall commands end to end: a real main window, real
// message boxes and dialogs answered from a second thread, real keys in the
// test prefix's Uninstall key (the uninstallers are processes of their own,
// so they must see the same keys) and real uninstaller processes.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <thread>
#include <set>
#include <map>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "BuildConfig.h"
#include "MainDialogTestAccess.h"
#include "RegistryPaths.h"
#include "app/MainDialog.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "GuiDriver.h"
#include "RegistryEditor.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "ThisProgram.h"
#include "resource.h"

namespace {

const std::string kFullUninstall = "HKEY_LOCAL_MACHINE\\" + kUninstall + "\\";

std::string FakeUninstaller() { return BesideThisProgram("fake_uninstaller.exe"); }

std::wstring W(const std::string& text) { return fw::Widen(text); }
const std::wstring kWideUninstall = W(kUninstall);

std::string Quoted(const std::string& text) {
    std::string quoted(1, '"');
    quoted.append(text).push_back('"');
    return quoted;
}

bool IsWaitDialog(HWND w) { return gui::HasButton(w, IDOK, "&Next"); }
bool IsSuccessBox(HWND w) {
    return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find("successfully") != std::string::npos;
}
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
        for (const std::wstring& key : wideKeys) {
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kWideUninstall + L"\\" + key).c_str());
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, (W(kArpCache) + L"\\" + key).c_str());
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
    // The same through the wide calls, for names no code page holds; `tag`
    // ends the key name.
    std::wstring WideEntry(const std::wstring& tag, const std::wstring& name, const std::wstring& command) {
        const std::wstring key = L"ZaltrowTest_" + std::to_wstring(GetCurrentProcessId()) + L"_" + tag;
        wideKeys.push_back(key);
        ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kWideUninstall + L"\\" + key, L"DisplayName", name);
        ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kWideUninstall + L"\\" + key, L"UninstallString", command);
        return key;
    }
    bool WideExists(const std::wstring& key) { return ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kWideUninstall + L"\\" + key); }
    std::string Uninstaller(const std::string& arguments) { return Quoted(FakeUninstaller()).append(" ").append(arguments); }
    std::string Phantom() { return Quoted(files.Join("gone\\unins000.exe")); }
    bool Exists(const std::string& key) { return ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key); }

    void Open() {
        ScratchRegistry::SetString(HKEY_CURRENT_USER, "Software\\Zaltrow", "bDisableSplash", "1");
        ASSERT_TRUE(dialog.Create());
    }
    int RowOf(const std::string& name, const std::string& command = "") { return RowOf(W(name), W(command)); }
    int RowOf(const std::wstring& name, const std::wstring& command = L"") {
        auto& list = MainDialogTestAccess::List(dialog);
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (list.GetItemText(i, 0) == name && (command.empty() || list.GetItemText(i, 1) == command)) return i;
        return -1;
    }
    // The row's info tip, as the list asks the window for it.
    std::wstring TipOf(int row) {
        wchar_t text[INFOTIPSIZE] = {};
        NMLVGETINFOTIPW tip{};
        tip.hdr = {MainDialogTestAccess::List(dialog).Hwnd(), IDC_PROGRAM_LIST, static_cast<UINT>(LVN_GETINFOTIPW)};
        tip.dwFlags = LVGIT_UNFOLDED;
        tip.pszText = text;
        tip.cchTextMax = INFOTIPSIZE;
        tip.iItem = row;
        SendMessageW(dialog.Hwnd(), WM_NOTIFY, IDC_PROGRAM_LIST, reinterpret_cast<LPARAM>(&tip));
        return text;
    }
    // The rows showing `name` whose tip contains `part`.
    int RowWithTip(const std::string& name, const std::wstring& part) {
        auto& list = MainDialogTestAccess::List(dialog);
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (list.GetItemText(i, 0) == W(name) && TipOf(i).find(part) != std::wstring::npos) return i;
        return -1;
    }
    // Selects exactly this row, as a click on it does.
    void Select(int row) {
        ASSERT_GE(row, 0);
        MainDialogTestAccess::List(dialog).SelectRows({row}, row);
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
    std::vector<std::wstring> wideKeys;
    fw::Modeless<MainDialog> dialog;
};

TEST_F(EntryCommandsTest, RemoveAsksThenDeletesBothKeysAndReportsOverTheRefreshedList) {
    // Red: a working program's entry gets another question.
    const std::string key = Entry("A", "Alpha Tool", Phantom());
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, kArpCache + "\\" + key, "SlowInfoCache", {1, 2, 3});
    Entry("B", "Beta Tool", "MsiExec.exe /X{2}");
    Open();
    Select(RowOf("Alpha Tool"));

    gui::BoxAnswerer question(gui::IsRemoveQuestion, gui::kYesRemove);
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
    EXPECT_EQ(success.Seen().wideText, L"Alpha Tool was successfully removed from the Add/Remove Programs list.\n\n"
                                       L"Its backup was saved as\n" + Backups().at(0).wstring() + L"\n\n"
                                       L"To bring it back, choose \"Restore removed entries\x2026\" from the list's context menu.");
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
    EXPECT_GE(RowOf("Alpha Tool", Phantom()), 0);
    EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kArpCache + "\\" + key));
}

TEST_F(EntryCommandsTest, RemoveAnsweredNoChangesNothing) {
    const std::string key = Entry("A", "Alpha Tool", "MsiExec.exe /X{1}");
    Open();
    Select(RowOf("Alpha Tool"));
    // A working program: No is a button of the task dialog too.
    gui::BoxAnswerer question(gui::IsRemoveQuestion, IDNO);
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
    gui::BoxAnswerer question(gui::IsRemoveQuestion, gui::kYesRemove);
    gui::BoxAnswerer success([](HWND w) {
        return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find("successfully") != std::string::npos;
    }, IDOK);
    Press(IDC_REMOVE);
    ASSERT_NE(success.Seen().window, nullptr);
    EXPECT_FALSE(Exists(phantom));
    EXPECT_TRUE(Exists(valid));
    EXPECT_GE(RowOf("Twin App", "MsiExec.exe /X{7}"), 0);
}

namespace {

void SetTyped(const std::string& path, const wchar_t* name, DWORD type, const std::wstring& text) {
    fw::RegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, W(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

// Entries of the shapes real installers leave: whether each is a row, its
// colour, and what Remove does with it, in the real window.
TEST_F(EntryCommandsTest, EntryShapesAreListedJudgedAndRemovedAsWindowsWould) {
    const std::string unknownCode = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
    const std::string parent = Entry("Parent", "Shape Parent", Phantom());
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + parent + "\\Child\\Grandchild", "X", "y");
    ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, kArpCache + "\\" + parent + "\\Sub", "SlowInfoCache", {1});
    // Stray values in the Uninstall key itself name no rows of their own.
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall, parent + " stray", parent);
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall, parent + " path", parent + "\\Child");

    struct Case {
        const char* what;
        std::string name;      // the row's text
        bool listed;
        bool red;
    };
    std::vector<Case> cases{{"subkeys", "Shape Parent", true, true}};
    const auto add = [&](const char* what, const std::string& tag, const std::string& name, const std::string& command,
                         bool listed, bool red) {
        const std::string key = Entry(tag, name, command);
        cases.push_back({what, name, listed, red});
        return key;
    };
    SetTyped(kUninstall + "\\" + add("expandable, gone", "ExpGone", "Shape ExpGone", "x", true, true),
             L"UninstallString", REG_EXPAND_SZ, L"%SystemRoot%\\NoSuchFolder\\u.exe /S");
    SetTyped(kUninstall + "\\" + add("expandable, present", "ExpHere", "Shape ExpHere", "x", true, false),
             L"UninstallString", REG_EXPAND_SZ, L"%SystemRoot%\\System32\\notepad.exe /uninstall");
    add("drive with no volume", "Unplugged", "Shape Unplugged", "Q:\\Apps\\u.exe", true, false);
    const std::size_t prefix = ("ZaltrowTest_" + std::to_string(GetCurrentProcessId()) + "_").size();
    const std::string longKey = add("255-character key", std::string(255 - prefix, 'L'), "Shape LongKey", Phantom(), true, true);
    ASSERT_EQ(longKey.size(), 255u);
    add("quoted product code", "MsiQuoted", "Shape MsiQuoted", "MsiExec.exe /X\"" + unknownCode + "\"", true, true);
    add("option glued after the code", "MsiGlued", "Shape MsiGlued", "MsiExec.exe /X" + unknownCode + "/qn", true, true);
    add("ampersand", "Amp", "Ridge&Vale Tool", Phantom(), true, true);
    const std::string number = add("number as name", "Number", "AB", Phantom(), false, false);
    ScratchRegistry::SetDword(HKEY_LOCAL_MACHINE, kUninstall + "\\" + number, "DisplayName", 0x4241);
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + add("update of a listed product", "Update",
                                                                          "Shape Update", Phantom(), false, false),
                               "ParentKeyName", parent);
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + add("update whose product is gone", "Orphan",
                                                                          "Shape Orphan", Phantom(), true, true),
                               "ParentKeyName", "NoSuchProduct");
    const std::string vanished = add("vanished after the fill", "Vanished", "Shape Vanished", Phantom(), true, true);
    Open();

    auto& list = MainDialogTestAccess::List(dialog);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int row = RowOf(c.name);
        ASSERT_EQ(row >= 0, c.listed);
        if (c.listed) {
            EXPECT_EQ(list.GetItemData(row), c.red ? PhantomMark : 0);
        }
    }
    int parentRows = 0;
    for (int i = 0; i < list.GetItemCount(); ++i) parentRows += list.GetItemText(i, 0) == L"Shape Parent";
    EXPECT_EQ(parentRows, 1);

    // Remove takes the whole tree and the cache record's, or says the entry
    // is gone and lists what is there now.
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kUninstall + "\\" + vanished).c_str());
    for (const auto& [name, key, expected] :
         {std::tuple{std::string("Shape Vanished"), vanished, std::string("Shape Vanished is no longer in the list.")},
          std::tuple{std::string("Shape Parent"), parent, std::string("Shape Parent was successfully removed")},
          std::tuple{std::string("Shape LongKey"), longKey, std::string("Shape LongKey was successfully removed")}}) {
        SCOPED_TRACE(name);
        const std::string said = expected;  // a lambda cannot capture a structured binding
        list.SetItemState(-1, 0, LVIS_SELECTED);
        Select(RowOf(name));
        gui::BoxAnswerer question(gui::IsRemoveQuestion, gui::kYesRemove);
        gui::BoxAnswerer result([&said](HWND w) {
            return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find(said) != std::string::npos;
        }, IDOK);
        Press(IDC_REMOVE);
        EXPECT_EQ(result.Seen().text.substr(0, said.size()), said);
        EXPECT_FALSE(Exists(key));
        EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kArpCache + "\\" + key));
        EXPECT_EQ(RowOf(name), -1);
    }
    EXPECT_EQ(Backups().size(), 2u) << "no backup of an entry that was already gone";
}

TEST_F(EntryCommandsTest, RowWithoutEntryIsAnInvalidSelection) {
    Open();
    MainDialogTestAccess::List(dialog).InsertItem(0, L"Ghost Row", 0);
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
    MainDialogTestAccess::List(dialog).SelectRows({}, -1);
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
    std::string caption, name;
    HICON icon = nullptr;
    gui::BoxAnswerer offer([&](HWND w) {
        waited = waited || IsWaitDialog(w);
        if (!IsOfferDialog(w)) return false;
        caption = gui::Text(w);
        icon = reinterpret_cast<HICON>(SendDlgItemMessageA(w, 1027, STM_GETICON, 0, 0));
        name = gui::ItemText(w, 1028);
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
    EXPECT_TRUE(Exists(key)) << "Enter chose No";

    // Yes removes it.
    Select(RowOf("Gone App"));
    gui::BoxAnswerer yes(IsOfferDialog, IDOK);
    gui::BoxAnswerer success(IsSuccessBox, IDOK);
    Press(IDC_UNINSTALL);
    EXPECT_EQ(success.Seen().text.rfind("Gone App was successfully removed from the Add/Remove Programs list.\n\n", 0), 0u);
    EXPECT_FALSE(Exists(key));
    // The follow-up's removal left its backup like the Remove command's.
    const std::vector<std::string> backups = BackupTexts();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_NE(backups[0].find("[" + kFullUninstall + key + "]\r\n\"DisplayName\"=\"Gone App\"\r\n"), std::string::npos)
        << backups[0];
}

// The wait ends when the uninstaller and everything it started have ended,
// and the offer after it says no more than is known. The stand-ins wait
// for `go`, so each wait dialog is surely seen.
TEST_F(EntryCommandsTest, TheWaitFollowsTheUninstallerToItsEndAndTheOfferSaysWhatIsKnown) {
    const std::string prefix = "ZaltrowTest_" + std::to_string(GetCurrentProcessId()) + "_";
    const fw::KernelHandle go(CreateEventA(nullptr, TRUE, FALSE, (prefix + "Go").c_str()));
    const fw::KernelHandle alone(CreateEventA(nullptr, TRUE, FALSE, (prefix + "Alone").c_str()));
    const std::string listed = "the program is still listed in your Add/Remove Programs list.\n\nWould you like to remove the entry?";
    const std::string ended = "The uninstall program has completed or was cancelled. However, " + listed;
    const std::string unknown = "The uninstall program may still be running: " ZALTROW_PRODUCT_NAME
                                " could not see whether it has finished. For now, " + listed;
    enum Action { LetItEnd, CopyAlone, Next, Escape };
    const struct {
        const char* tag;    // of the entry, "<tag> App"
        std::string words;  // the stand-in's; none: a red row
        Action action;
        std::string offer;  // none: no offer
    } cases[] = {
        {"Copy", "spawn " + prefix + "Alone wait " + prefix + "Go remove", CopyAlone, ""},
        {"Leaves", "wait " + prefix + "Go leave", LetItEnd, ended},
        {"Next", "wait " + prefix + "Go remove", Next, unknown},
        {"Escape", "wait " + prefix + "Go remove", Escape, unknown},
        {"Red", "", LetItEnd, "The uninstaller is missing: " + files.Join("gone\\unins000.exe") + "\n\nNothing was run, and " + listed},
    };
    for (const auto& c : cases) {
        const std::string removal = c.words.ends_with("remove") ? " " + kUninstall + "\\" + prefix + c.tag : "";
        Entry(c.tag, c.tag + std::string(" App"), c.words.empty() ? Phantom() : Uninstaller(c.words + removal));
    }
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        const std::string key = prefix + c.tag;
        ResetEvent(go.get());
        bool waited = false, copyAlone = false, openBeforeGo = false, endedByItself = false;
        std::string note, question;
        HWND waitDialog = nullptr;
        gui::BoxAnswerer answerer([&](HWND w) {
            if (IsOfferDialog(w)) question = gui::ItemText(w, IDC_OFFER_QUESTION);
            if (IsOfferDialog(w) || !IsWaitDialog(w) || w == waitDialog) return IsOfferDialog(w);  // the offer: No
            waitDialog = w;
            waited = true;
            note = gui::ItemText(w, IDC_WAIT_NOTE);
            copyAlone = c.action == CopyAlone && WaitForSingleObject(alone.get(), 10000) == WAIT_OBJECT_0;
            Sleep(700);  // a few of the wait's looks
            openBeforeGo = IsWindowVisible(w) != FALSE;
            if (c.action == Next || c.action == Escape) {
                c.action == Next ? gui::PressButton(w, IDOK) : gui::PressEscape(w);
                return false;
            }
            SetEvent(go.get());
            for (int tries = 0; IsWindow(w) && tries < 500; ++tries) Sleep(20);
            endedByItself = !IsWindow(w);
            if (!endedByItself) gui::PressButton(w, IDOK);  // fails the case rather than hanging it
            return false;
        }, IDCANCEL, c.offer.empty() ? 8000 : 20000);
        MainDialogTestAccess::List(dialog).SetItemState(-1, 0, LVIS_SELECTED);
        Select(RowOf(c.tag + std::string(" App")));
        Press(IDC_UNINSTALL);
        answerer.Seen();
        SetEvent(go.get());  // the stand-ins left running end now

        EXPECT_EQ(waited, !c.words.empty());
        if (waited) {
            EXPECT_EQ(note, "Waiting for the uninstall program to finish.\nClick Next to go on without waiting.");
            EXPECT_TRUE(openBeforeGo) << "the wait ended while the uninstaller ran";
            EXPECT_EQ(endedByItself, c.action == LetItEnd || c.action == CopyAlone);
        }
        EXPECT_EQ(copyAlone, c.action == CopyAlone) << "the stand-in's copy ran on alone";
        EXPECT_EQ(question, c.offer);
        if (c.words.ends_with("remove")) {
            EXPECT_TRUE(gui::PumpUntil([&] { return !Exists(key); }, 10000)) << "the uninstaller did not finish";
        } else {
            EXPECT_TRUE(Exists(key)) << "No was answered";
        }
        EXPECT_EQ(RowOf(c.tag + std::string(" App")) >= 0, c.action != CopyAlone);
    }
}

// "Still listed" means this entry: a namesake that stays in the list does
// not bring the offer once the uninstaller has removed its own entry.
TEST_F(EntryCommandsTest, NamesakeThatStaysListedBringsNoOffer) {
    const std::string key = "ZaltrowTest_" + std::to_string(GetCurrentProcessId()) + "_Gone";
    Entry("Gone", "Shared Name", Uninstaller("remove " + kUninstall + "\\" + key));
    Entry("Other", "Shared Name", "MsiExec.exe /X{9}");
    Open();
    Select(RowOf("Shared Name", Uninstaller("remove " + kUninstall + "\\" + key)));
    gui::BoxAnswerer offer([](HWND w) { return IsOfferDialog(w) || gui::IsMessageBox(w); }, IDCANCEL, 1500);
    Press(IDC_UNINSTALL);  // the wait ends by itself
    EXPECT_EQ(offer.Seen().window, nullptr);
    EXPECT_FALSE(Exists(key));
    EXPECT_GE(RowOf("Shared Name", "MsiExec.exe /X{9}"), 0);
}

}  // namespace

// A per-user install is removed from the user's own keys, subkeys and all.
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
    gui::BoxAnswerer question(gui::IsRemoveQuestion, gui::kYesRemove);
    gui::BoxAnswerer removed(IsSuccessBox, IDOK);
    Press(IDC_REMOVE);
    ASSERT_NE(removed.Seen().window, nullptr);
    EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_CURRENT_USER, kUninstall + "\\Stuck"));

    MainDialogTestAccess::List(dialog).SetItemState(-1, 0, LVIS_SELECTED);
    Select(RowOf("Just Mine"));
    gui::BoxAnswerer again(gui::IsRemoveQuestion, gui::kYesRemove);
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
    gui::BoxAnswerer offer(IsOfferDialog, IDCANCEL, 1500);
    Press(IDC_UNINSTALL);  // the wait ends by itself
    EXPECT_EQ(offer.Seen().window, nullptr);
    EXPECT_FALSE(Exists(key)) << "the launch failed";
}

// Names outside the code page, end to end: a Cyrillic key, a CJK display
// name, an uninstaller in a folder with a letter the code page lacks (its
// lookalike "Zolw" is not there) and a missing file beside it.
TEST_F(EntryCommandsTest, EntryNamedInOtherScriptsIsListedJudgedStartedRemovedAndRestoredExactly) {
    ASSERT_EQ(GetACP(), 1252u) << "these names must lie outside the prefix's code page";
    const std::wstring folder = W(files.Path()) + L"\\Zo\u0142w \u5DE5\u5177";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring uninstaller = folder + L"\\uninst.exe";
    ASSERT_TRUE(CopyFileW(W(FakeUninstaller()).c_str(), uninstaller.c_str(), FALSE));
    const std::wstring tag = L"\u041F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u0430";
    const std::wstring key = L"ZaltrowTest_" + std::to_wstring(GetCurrentProcessId()) + L"_" + tag;
    const std::wstring name = L"\u5DE5\u5177\u7BB1 \u0416 Zo\u0142w";
    // Slow enough for its wait dialog to be read.
    const std::wstring command = L"\"" + uninstaller + L"\" slow 1000 remove " + kWideUninstall + L"\\" + key;
    WideEntry(tag, name, command);
    const std::wstring goneName = L"\u6D88\u3048\u305F Gone";
    WideEntry(L"\u0393\u03BF\u03BD\u03B5", goneName, L"\"" + folder + L"\\\u6D88\u3048\u305F.exe\" /x");
    Open();
    auto& list = MainDialogTestAccess::List(dialog);
    ASSERT_GE(RowOf(name, command), 0) << "listed with its exact name and command";
    EXPECT_EQ(list.GetItemData(RowOf(name)), 0) << "its uninstaller is there";
    ASSERT_GE(RowOf(goneName), 0);
    EXPECT_EQ(list.GetItemData(RowOf(goneName)), PhantomMark) << "its uninstaller is not";

    // Remove, with a backup that the registry editor restores.
    Select(RowOf(name));
    gui::BoxAnswerer question(gui::IsRemoveQuestion, gui::kYesRemove);
    gui::BoxAnswerer success([](HWND w) {
        return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find("successfully") != std::string::npos;
    }, IDOK);
    Press(IDC_REMOVE);
    // A working program's question, naming it exactly.
    EXPECT_EQ(question.Seen().wideText.rfind(name + L"\n\nThis is a working program, not a phantom", 0), 0u)
        << fw::Narrow(question.Seen().wideText);
    EXPECT_EQ(success.Seen().wideText.rfind(name + L" was successfully removed from the Add/Remove Programs list.\n\n", 0), 0u);
    EXPECT_FALSE(WideExists(key));
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_EQ(ImportWithRegedit(Backups()[0]), 0u);
    EXPECT_EQ(ScratchRegistry::GetString(HKEY_LOCAL_MACHINE, kWideUninstall + L"\\" + key, L"DisplayName"), name);
    Press(IDC_REFRESH);

    // Uninstall starts it, with the key's exact name as its argument: it
    // deletes the entry, which is then gone from the list without an offer.
    Select(RowOf(name));
    std::wstring waitName;
    gui::BoxAnswerer wait([&](HWND w) {
        if (!IsWaitDialog(w)) return false;
        waitName = gui::WideItemText(w, 1028);
        return true;
    }, 0);
    gui::BoxAnswerer offer(IsOfferDialog, IDCANCEL, 1500);
    Press(IDC_UNINSTALL);  // the wait ends by itself
    ASSERT_NE(wait.Seen().window, nullptr) << "the uninstaller was not started";
    EXPECT_EQ(waitName, name);
    EXPECT_EQ(offer.Seen().window, nullptr);
    EXPECT_FALSE(WideExists(key));
    EXPECT_EQ(RowOf(name), -1);
}

// "l" and "ł" are one letter to the code page's best fit, never to the
// registry: both keys are listed, and each removal deletes its own.
TEST_F(EntryCommandsTest, KeysThatDifferOnlyByABestFitLetterAreListedAndRemovedApart) {
    ASSERT_EQ(GetACP(), 1252u) << "the code page must lack the letter";
    const std::wstring plain = WideEntry(L"Zolw", L"Zolw Editor", L"MsiExec.exe /X{1}");
    const std::wstring fancy = WideEntry(L"Zo\u0142w", L"Zo\u0142w Editor", L"MsiExec.exe /X{2}");
    Open();
    ASSERT_GE(RowOf(std::wstring(L"Zolw Editor")), 0);
    ASSERT_GE(RowOf(std::wstring(L"Zo\u0142w Editor")), 0);
    for (const auto& [key, name, other] : {std::tuple{fancy, L"Zo\u0142w Editor", plain},
                                           std::tuple{plain, L"Zolw Editor", std::wstring()}}) {
        SCOPED_TRACE(fw::Narrow(key));
        Select(RowOf(std::wstring(name)));
        gui::BoxAnswerer question(gui::IsRemoveQuestion, gui::kYesRemove);
        gui::BoxAnswerer success(IsSuccessBox, IDOK);
        Press(IDC_REMOVE);
        EXPECT_EQ(success.Seen().wideText.rfind(std::wstring(name) + L" was successfully removed from the Add/Remove Programs list.\n\n", 0), 0u);
        EXPECT_FALSE(WideExists(key));
        EXPECT_EQ(RowOf(std::wstring(name)), -1);
        if (!other.empty()) {
            EXPECT_TRUE(WideExists(other));
        }
    }
}

// The same program registered machine-wide and for this user: the rows look
// alike, their tips tell them apart, and each row's commands act on its own
// list only.
TEST_F(EntryCommandsTest, TwinsInTwoListsAreEachActedOnInTheirOwnList) {
    const std::string command = Uninstaller("leave");
    const std::string key = Entry("Twin", "Twin Tool", command);
    const auto addUserTwin = [&] {
        ScratchRegistry::SetString(HKEY_CURRENT_USER, kUninstall + "\\" + key, "DisplayName", "Twin Tool");
        ScratchRegistry::SetString(HKEY_CURRENT_USER, kUninstall + "\\" + key, "UninstallString", command);
    };
    addUserTwin();
    Open();
    const std::wstring userKey = L"HKEY_CURRENT_USER\\" + kWideUninstall + L"\\" + W(key);
    const std::wstring machineKey = L"HKEY_LOCAL_MACHINE\\" + kWideUninstall + L"\\" + W(key);
    ASSERT_EQ(TipOf(RowWithTip("Twin Tool", userKey)), L"This user's programs\n" + userKey);
    ASSERT_GE(RowWithTip("Twin Tool", machineKey), 0);
    EXPECT_NE(TipOf(RowWithTip("Twin Tool", machineKey)).find(L"Machine-wide, "), std::wstring::npos);

    Select(RowWithTip("Twin Tool", userKey));
    {
        gui::BoxAnswerer question(gui::IsRemoveQuestion, gui::kYesRemove);
        gui::BoxAnswerer success(IsSuccessBox, IDOK);
        Press(IDC_REMOVE);
        ASSERT_NE(success.Seen().window, nullptr);
    }
    EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_CURRENT_USER, kUninstall + "\\" + key));
    EXPECT_TRUE(Exists(key));

    addUserTwin();
    Press(IDC_REFRESH);
    Select(RowWithTip("Twin Tool", machineKey));
    gui::BoxAnswerer offer(IsOfferDialog, IDOK);
    gui::BoxAnswerer success(IsSuccessBox, IDOK);
    Press(IDC_UNINSTALL);  // the wait ends by itself
    ASSERT_NE(offer.Seen().window, nullptr) << "this entry is still listed";
    ASSERT_NE(success.Seen().window, nullptr);
    EXPECT_FALSE(Exists(key));
    EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_CURRENT_USER, kUninstall + "\\" + key));
    EXPECT_GE(RowWithTip("Twin Tool", userKey), 0);
}

// Only a phantom's failed launch offers the removal. An uninstaller that is
// there but cannot run, a bare name or a %NAME% path that cannot be found:
// the system's reason, and the entry stays.
TEST_F(EntryCommandsTest, UninstallerThatCannotStartShowsWhyAndOffersNoRemoval) {
    // A truncated program: the file is there, but it cannot start.
    const std::string broken = files.Join("Broken\\uninst.exe");
    files.WriteFile("Broken\\placeholder");
    ASSERT_TRUE(CopyFileA(FakeUninstaller().c_str(), broken.c_str(), FALSE));
    {
        fw::FileHandle file(CreateFileA(broken.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        SetFilePointer(file.get(), 600, nullptr, FILE_BEGIN);
        ASSERT_TRUE(SetEndOfFile(file.get()));
    }
    const struct {
        const char* name;
        std::string command;
        std::string file;
    } cases[] = {
        {"Broken App", Quoted(broken) + " /S", broken},
        {"Bare App", "ZaltrowNoSuchUninstaller.exe /x", "ZaltrowNoSuchUninstaller.exe"},
        {"Env App", "%ZaltrowNoSuchFolder%\\uninst.exe /x", "%ZaltrowNoSuchFolder%\\uninst.exe"},
    };
    for (const auto& c : cases) Entry(c.name, c.name, c.command);
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MainDialogTestAccess::List(dialog).GetItemData(RowOf(c.name)), 0) << "not a phantom";
        Select(RowOf(c.name));
        gui::BoxAnswerer reason(gui::IsMessageBox, IDOK);
        gui::BoxAnswerer other([](HWND w) { return IsOfferDialog(w) || IsWaitDialog(w); }, IDCANCEL, 1000);
        Press(IDC_UNINSTALL);
        const std::string start = std::string(c.name) + "\n\nThe uninstall program could not be started:\n" + c.file + "\n\n";
        EXPECT_EQ(reason.Seen().text.substr(0, start.size()), start);
        EXPECT_GT(reason.Seen().text.size(), start.size()) << "the system's reason follows";
        EXPECT_EQ(reason.Seen().text.find("%1"), std::string::npos);
        EXPECT_EQ(reason.Seen().caption, "Zaltrow");
        EXPECT_EQ(reason.Seen().buttons, kOkOnly);
        EXPECT_EQ(reason.Seen().icon, LoadIcon(nullptr, IDI_HAND));
        EXPECT_EQ(other.Seen().window, nullptr);
        EXPECT_TRUE(Exists(std::string("ZaltrowTest_") + std::to_string(GetCurrentProcessId()) + "_" + c.name));
        MainDialogTestAccess::List(dialog).SetItemState(-1, 0, LVIS_SELECTED);
    }
}

namespace {

TEST_F(EntryCommandsTest, RemoveOnManyRowsAsksOnceBacksEachUpAndReportsOnce) {
    std::vector<std::string> batch;
    for (int i = 1; i <= 12; ++i) {
        const std::string number = std::string(i < 10 ? "0" : "").append(std::to_string(i));
        batch.push_back(Entry("Batch" + number, "Batch " + number, i % 2 ? Phantom() : "MsiExec.exe /X{" + number + "}"));
    }
    const std::string kept = Entry("Keep", "Keeper", "MsiExec.exe /X{K}");
    Open();
    auto& list = MainDialogTestAccess::List(dialog);
    std::vector<int> rows;
    for (int i = 1; i <= 12; ++i) rows.push_back(RowOf("Batch " + std::string(i < 10 ? "0" : "") + std::to_string(i)));
    list.SelectRows(rows, rows.front());

    gui::BoxAnswerer question([](HWND w) { return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find("Do you wish") == 0; },
                              IDYES);
    gui::BoxAnswerer report([](HWND w) { return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find("removed") != std::string::npos; },
                            IDOK);
    Press(IDC_REMOVE);
    EXPECT_EQ(question.Seen().text.rfind("Do you wish to remove these 12 entries from the Add/Remove Programs list?\n\n"
                                         "Batch 01\nBatch 02\n", 0), 0u) << question.Seen().text;
    EXPECT_NE(question.Seen().text.find("\nBatch 10\nand 2 more"), std::string::npos) << question.Seen().text;
    EXPECT_EQ(report.Seen().text.rfind("12 entries were removed from the Add/Remove Programs list.\n\n"
                                       "Their backups were saved in\n" + files.Join("Zaltrow\\Removed"), 0), 0u)
        << report.Seen().text;
    EXPECT_EQ(report.Seen().icon, LoadIcon(nullptr, IDI_ASTERISK));
    for (const std::string& key : batch) EXPECT_FALSE(Exists(key)) << key;
    EXPECT_TRUE(Exists(kept));
    EXPECT_EQ(Backups().size(), 12u) << "each entry backed up once";
    // The row that took the first removed row's place is selected.
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{RowOf("Keeper")});
}


// Alt+Enter with several rows selected: the focused row's Properties.
TEST_F(EntryCommandsTest, PropertiesOfSeveralRowsAreTheFocusedOnes) {
    Entry("First", "First program", "MsiExec.exe /X{1}");
    Entry("Second", "Second program", "MsiExec.exe /X{2}");
    Open();
    auto& list = MainDialogTestAccess::List(dialog);
    list.SelectRows({RowOf("First program"), RowOf("Second program")}, RowOf("Second program"));
    gui::BoxAnswerer properties("Second program Properties", IDCANCEL);
    Press(ID_PROPERTIES);
    EXPECT_NE(properties.Seen().window, nullptr);
}

// The programs' states as the progress window showed them, each time they
// changed: a watch on its own thread, as a person's eyes.
class ProgressWatch {
public:
    using States = std::map<std::wstring, std::wstring>;  // program -> state
    ProgressWatch()
        : thread_([this] {
              HWND window = gui::WaitForDialog([](HWND w) { return GetDlgItem(w, IDC_BATCH_LIST) != nullptr; }, 20000);
              while (window && IsWindow(window)) {
                  // Rows are read one at a time while the batch goes on: only
                  // two reads alike show one moment (states only move forward).
                  States now, again;
                  if (Read(window, now) && Read(window, again) && now == again && (seen.empty() || seen.back() != now))
                      seen.push_back(now);
                  Sleep(15);
              }
          }) {}
    // The progress window's rows now; false while it has none or is going.
    static bool Read(HWND window, States& states) {
        HWND list = GetDlgItem(window, IDC_BATCH_LIST);
        bool whole = true;
        for (int row = 0, rows = ListView_GetItemCount(list); row < rows; ++row) {
            const std::wstring name = gui::ListItemText(list, row, 0), state = gui::ListItemText(list, row, 1);
            whole &= !name.empty() && !state.empty();
            states[name] = state;
        }
        return whole && !states.empty();
    }
    ~ProgressWatch() { Join(); }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    std::vector<States> seen;

private:
    std::thread thread_;
};

DWORD RunAndWait(std::wstring command) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return GetLastError();
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return code;
}

TEST_F(EntryCommandsTest, UninstallOnManyRowsRunsEachInTurnReportsOnceAndOffersTheLeftovers) {
    // Real NSIS programs: each uninstaller honours /S and removes its files
    // and entry; Restart ends with 3010; Keep leaves its entry behind, and
    // Broken too with exit code 2 (both delete themselves: red afterwards).
    // One that can only run with its window, and one already red.
    const std::wstring programs = W(BesideThisProgram("batch\\"));
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::filesystem::path installed = std::filesystem::path(temp) / L"ZaltrowBatch";
    std::error_code ignored;
    std::filesystem::remove_all(installed, ignored);
    const std::vector<std::wstring> nsis = {L"A", L"B", L"Restart", L"Keep", L"Broken"};
    for (const std::wstring& name : nsis) {
        const std::wstring key = L"ZWindow-" + name;
        ASSERT_EQ(RunAndWait(L"\"" + programs + key + L".exe\" /S"), 0u) << fw::Narrow(key);
        keys.push_back(fw::Narrow(key));
    }
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::string windowed = Entry("Windowed", "ZWindow Windowed", "\"" + fw::Narrow(system) + "\\cmd.exe\" /c rem");
    const std::string red = Entry("Red", "ZWindow Red", Phantom());
    Open();
    auto& list = MainDialogTestAccess::List(dialog);
    std::vector<int> rows;
    for (const char* name : {"ZWindow-A", "ZWindow-B", "ZWindow-Restart", "ZWindow-Keep", "ZWindow-Broken",
                             "ZWindow Windowed", "ZWindow Red"})
        rows.push_back(RowOf(name));
    ASSERT_EQ(std::count(rows.begin(), rows.end(), -1), 0);
    list.SelectRows(rows, rows.front());
    std::vector<std::wstring> order;  // as the batch takes them: the list's order
    for (int row : list.SelectedRows()) order.push_back(list.GetItemText(row, 0));

    std::wstring asked;
    bool quietlyChecked = false;
    gui::BoxAnswerer question(
        [&](HWND w) {
            if (!GetDlgItem(w, IDC_UNINSTALL_QUIETLY)) return false;
            asked = gui::WideItemText(w, IDC_MANY_TEXT);
            quietlyChecked = IsDlgButtonChecked(w, IDC_UNINSTALL_QUIETLY) == BST_CHECKED;
            return true;
        },
        IDOK);
    ProgressWatch progress;
    // The last states, as the progress window shows them under the report.
    ProgressWatch::States atReport;
    gui::BoxAnswerer report(
        [&](HWND w) {
            if (!gui::IsMessageBox(w) || gui::ItemText(w, 0xFFFF).find(" uninstalled") == std::string::npos) return false;
            ProgressWatch::Read(GetWindow(w, GW_OWNER), atReport);
            return true;
        },
        IDYES, 60000);
    gui::BoxAnswerer removed(
        [](HWND w) { return gui::IsMessageBox(w) && gui::ItemText(w, 0xFFFF).find("were removed") != std::string::npos; },
        IDOK, 60000);
    Press(IDC_UNINSTALL);
    progress.Join();

    // One question: each program with how it runs.
    const std::map<std::wstring, std::wstring> marks = {
        {L"ZWindow-A", L"runs quietly"}, {L"ZWindow-B", L"runs quietly"}, {L"ZWindow-Restart", L"runs quietly"},
        {L"ZWindow-Keep", L"runs quietly"}, {L"ZWindow-Broken", L"runs quietly"},
        {L"ZWindow Windowed", L"shows its own window"}, {L"ZWindow Red", L"its uninstaller is missing"}};
    std::wstring expected = L"Uninstall these 7 programs, one after another?\n";
    for (const std::wstring& name : order) expected += L"\n" + name + L" \u2014 " + marks.at(name);
    EXPECT_NE(question.Seen().window, nullptr);
    EXPECT_EQ(asked, expected);
    EXPECT_TRUE(quietlyChecked) << "quietly is the default";

    // The progress window: every program waiting at first, then each one
    // running in turn (never two), and how each ended.
    ASSERT_FALSE(progress.seen.empty());
    for (std::size_t i = 2; i < order.size(); ++i) EXPECT_EQ(progress.seen.front().at(order[i]), L"Waiting");
    std::set<std::wstring> ranSeen;
    for (const ProgressWatch::States& states : progress.seen) {
        int running = 0;
        for (const auto& [name, state] : states)
            if (state.starts_with(L"Running")) {
                ++running;
                ranSeen.insert(name);
            }
        EXPECT_LE(running, 1);
    }
    EXPECT_TRUE(ranSeen.count(L"ZWindow-A") && ranSeen.count(L"ZWindow-Keep")) << ranSeen.size();
    const ProgressWatch::States ended = {
        {L"ZWindow-A", L"Uninstalled"}, {L"ZWindow-B", L"Uninstalled"}, {L"ZWindow-Restart", L"Restart needed"},
        {L"ZWindow-Keep", L"Still listed, uninstaller gone"}, {L"ZWindow-Broken", L"Failed (exit code 2)"},
        {L"ZWindow Windowed", L"Still listed"}, {L"ZWindow Red", L"Still listed, uninstaller gone"}};
    EXPECT_EQ(atReport, ended);

    // One report, which offers the three left behind with no uninstaller.
    const std::string said = report.Seen().text;
    for (const char* part : {"2 programs uninstalled:\n", "1 program uninstalled, to be finished when Windows restarts:\n    ZWindow-Restart",
                             "1 program not uninstalled:\n    ZWindow-Broken: The uninstaller ended with exit code 2.",
                             "2 programs still listed after the uninstaller ended:\n",
                             "1 program with no uninstaller left to run:\n    ZWindow Red",
                             "3 programs are still listed, and their uninstallers are gone:\n",
                             "Remove their entries? Each is backed up first"})
        EXPECT_NE(said.find(part), std::string::npos) << part << "\n---\n" << said;
    EXPECT_NE(removed.Seen().window, nullptr);
    // Each uninstaller ran once, one after another; the leftovers went with
    // their backups; the one with its own window stays listed.
    std::ifstream ranFile(installed / L"ran.txt");
    const std::string ran((std::istreambuf_iterator<char>(ranFile)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::count(ran.begin(), ran.end(), '\n'), 5) << ran;
    for (const std::wstring& name : nsis)
        EXPECT_NE(ran.find("ZWindow-" + fw::Narrow(name) + "\n"), std::string::npos) << ran;
    for (const char* key : {"ZWindow-A", "ZWindow-B", "ZWindow-Restart", "ZWindow-Keep", "ZWindow-Broken"})
        EXPECT_FALSE(Exists(key)) << key;
    EXPECT_FALSE(Exists(red));
    EXPECT_TRUE(Exists(windowed));
    EXPECT_EQ(Backups().size(), 3u);
    std::filesystem::remove_all(installed, ignored);
}

}  // namespace
