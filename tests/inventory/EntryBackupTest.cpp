// Backups before removal, for real: entries in the test prefix's registry,
// files in a folder of the test's own (the local application data folder is
// pointed there through the scratch user's shell folders), and the prefix's
// real registry editor importing what was written. The editor is a process
// of its own, so the entries are real keys under unique names, removed again
// by the test.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "RegistryEditor.h"
#include "RegistryPaths.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "app/RemoveCommand.h"
#include "inventory/EntryBackup.h"
#include "inventory/EntryRemoval.h"
#include "registry/RegistryExport.h"

namespace {

std::wstring W(const std::string& text) { return fw::Widen(text); }

ProgramEntry MachineEntry(const std::string& key, const std::wstring& name) {
    ProgramEntry entry;
    entry.keyName = W(key);
    entry.displayName = name;
    return entry;
}

using Bytes = std::vector<unsigned char>;
struct Value {
    std::wstring name;
    DWORD type;
    Bytes data;
    bool operator==(const Value&) const = default;
};
// Every key below a key (by relative path) with its values, as the
// wide-character calls hand them out: the stored bytes.
using Tree = std::map<std::wstring, std::map<std::wstring, std::pair<DWORD, Bytes>>>;

void ReadTree(HKEY key, const std::wstring& path, Tree& tree) {
    auto& values = tree[path];
    wchar_t name[16384];
    for (DWORD i = 0, length = 16384, type, size = 0;
         RegEnumValueW(key, i, name, &length, nullptr, &type, nullptr, &size) == ERROR_SUCCESS; ++i, length = 16384) {
        Bytes data(size);
        length = 16384;
        EXPECT_EQ(RegEnumValueW(key, i, name, &length, nullptr, &type, data.data(), &size), ERROR_SUCCESS);
        values[name] = {type, data};
    }
    for (DWORD i = 0, length = 256; RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) ==
                                    ERROR_SUCCESS; ++i, length = 256) {
        fw::RegKey child;
        RegOpenKeyExW(key, name, 0, KEY_READ, child.put());
        ReadTree(child.get(), path + L"\\" + name, tree);
    }
}

Tree Snapshot(const std::string& path) {
    Tree tree;
    fw::RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS)
        ReadTree(key.get(), L"", tree);
    return tree;
}

void Seed(const std::string& path, const std::vector<Value>& values) {
    fw::RegKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    for (const Value& v : values) {
        // The registry stores a text's closing zero too when the caller left
        // it out but it follows the counted bytes: whatever lies behind the
        // data must not be one.
        Bytes buffer = v.data;
        buffer.insert(buffer.end(), {0xFF, 0xFF});
        EXPECT_EQ(RegSetValueExW(key.get(), v.name.c_str(), 0, v.type, buffer.data(), static_cast<DWORD>(v.data.size())),
                  ERROR_SUCCESS);
    }
}

// Wide text as stored, with its terminating zero unless told otherwise.
Bytes Text(const std::wstring& text, bool terminated = true) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.c_str());
    return Bytes(bytes, bytes + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
}

// The file's text after its byte-order mark, non-ASCII characters as '?'.
std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.substr(0, 2) != "\xFF\xFE") return "<no byte-order mark>";
    std::string ascii;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        ascii.push_back(bytes[i + 1] == 0 && static_cast<unsigned char>(bytes[i]) < 0x80 ? bytes[i] : '?');
    return ascii;
}

class EntryBackupTest : public ::testing::Test {
protected:
    EntryBackupTest() : scratch(ScratchRegistry::Roots::UserOnly) { SetLocalData(files.Path()); }
    ~EntryBackupTest() override {
        for (const std::string& path : cleanup) RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
    }
    static void SetLocalData(const std::string& folder) {
        ScratchRegistry::SetString(HKEY_CURRENT_USER,
                                   kUserShellFolders,
                                   "Local AppData", folder);
    }
    // A key name of this test's own, with a code page 1252 character.
    std::string Key(const std::string& tag) {
        const std::string key = "ZaltrowBackupTest " + std::to_string(GetCurrentProcessId()) + " " + tag + " Caf\xe9";
        cleanup.insert(cleanup.end(), {kUninstall + "\\" + key, kArpCache + "\\" + key});
        return key;
    }
    std::vector<std::filesystem::path> Backups() const { return files.FilesIn("Zaltrow\\Removed"); }

    TempFolder files;
    ScratchRegistry scratch;
    std::vector<std::string> cleanup;
};

TEST_F(EntryBackupTest, RemovedEntryComesBackBitForBitThroughTheRegistryEditor) {
    const std::string key = Key("Trip");
    Bytes blob(300), record(552, 0);
    for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<unsigned char>(i * 7);
    const Bytes program = Text(L"C:\\Program Files\\Trip\\trip.exe");
    std::copy(program.begin(), program.end(), record.begin() + 28);
    Seed(kUninstall + "\\" + key,
         {{L"", REG_SZ, Text(L"the default value")},
          {L"DisplayName", REG_SZ, Text(L"Backup Trip Caf\u00e9 \u20ac")},
          {L"UninstallString", REG_SZ, Text(L"\"C:\\Program Files\\Trip\\unins000.exe\" /S")},
          {L"Pfad \u00e4\u00f6\u00fc \"quoted\" \\", REG_EXPAND_SZ, Text(L"%ProgramFiles%\\Trip")},
          {L"Lines", REG_MULTI_SZ, Text(std::wstring(L"one\0tw\u00f6\0", 8))},
          {L"EstimatedSize", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
          {L"InstallTime", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 0x80}},
          {L"Blob", REG_BINARY, blob},
          {L"Marker", REG_NONE, {}},
          {L"Marker with data", REG_NONE, {0, 1, 2}},
          {L"Odd", REG_SZ, {'o', 0, 'd', 0, 'd'}},
          {L"Raw", REG_SZ, Text(std::wstring(L"a\0b", 3), false)},
          {L"Empty", REG_SZ, {}},
          {L"Short dword", REG_DWORD, {1, 2}},
          {L"Tab\tin name", REG_SZ, Text(L"tab\tin data")}});
    Seed(kArpCache + "\\" + key, {{L"SlowInfoCache", REG_BINARY, record}, {L"Changed", REG_BINARY, {9, 8, 7}}});
    {   // Code page 1252 text through the ANSI call, as installers write it.
        fw::RegKey entry;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kUninstall + "\\" + key).c_str(), 0, KEY_SET_VALUE, entry.put());
        const char ansi[] = "Gr\xfc\xdf \x80 \xe9t\xe9";
        EXPECT_EQ(RegSetValueExA(entry.get(), "Ansi \xe9", 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi), sizeof ansi),
                  ERROR_SUCCESS);
    }
    const Tree entryBefore = Snapshot(kUninstall + "\\" + key);
    const Tree cacheBefore = Snapshot(kArpCache + "\\" + key);
    ASSERT_EQ(entryBefore.at(L"").size(), 16u);

    gui::BoxAnswerer success(gui::IsMessageBox, IDOK);
    RemoveProgramEntry(nullptr, MachineEntry(key, L"Backup Trip"), [] {});
    EXPECT_EQ(success.Seen().text.rfind("Backup Trip was successfully removed from the Add/Remove Programs list.\n\n", 0), 0u);
    ASSERT_TRUE(Snapshot(kUninstall + "\\" + key).empty());
    ASSERT_TRUE(Snapshot(kArpCache + "\\" + key).empty());

    const std::vector<std::filesystem::path> backups = Backups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(backups[0].filename().wstring().substr(19),
              L" ZaltrowBackupTest " + std::to_wstring(GetCurrentProcessId()) + L" Trip Caf\u00e9.reg");
    // Under WOW64 the name is the 32-bit view's (Wow6432Node), so that the
    // 64-bit editor puts the entry back where it was.
    const std::string text = FileText(backups[0]);
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\r\n;", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n\r\n[" + fw::Narrow(RegistryExport::NameInFile(HKEY_LOCAL_MACHINE, 0, W(kUninstall))) + "\\"),
              std::string::npos)
        << text;
    // Text values that do not end in a zero character are in the file as
    // their exact bytes, the only form that can carry them ...
    EXPECT_NE(text.find("\r\n\"Odd\"=hex(1):6f,00,64,00,64\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n\"Raw\"=hex(1):61,00,00,00,62,00\r\n"), std::string::npos);

    EXPECT_EQ(ImportWithRegedit(backups[0]), 0u);
    Tree entryAfter = Snapshot(kUninstall + "\\" + key);
    // ... but the editor terminates such text on import: the same type and
    // characters come back, then a zero character.
    auto& raw = entryAfter[L""][L"Raw"];
    EXPECT_EQ(raw, std::make_pair(DWORD{REG_SZ}, Text(std::wstring(L"a\0b", 3))));
    auto& odd = entryAfter[L""][L"Odd"];
    EXPECT_EQ(odd.first, DWORD{REG_SZ});
    EXPECT_EQ(Bytes(odd.second.begin(), odd.second.begin() + std::min<std::size_t>(4, odd.second.size())),
              (Bytes{'o', 0, 'd', 0}));
    raw = entryBefore.at(L"").at(L"Raw");
    odd = entryBefore.at(L"").at(L"Odd");
    // Everything else comes back bit for bit.
    EXPECT_EQ(entryAfter, entryBefore);
    EXPECT_EQ(Snapshot(kArpCache + "\\" + key), cacheBefore);
}

TEST_F(EntryBackupTest, SubkeysAtAnyDepthAndLongPathsComeBackThroughTheRegistryEditor) {
    const std::string root = "Software\\ZaltrowExportTest " + std::to_string(GetCurrentProcessId());
    cleanup.push_back(root);
    Seed(root, {{L"Top", REG_DWORD, {1, 0, 0, 0}}});
    Seed(root + "\\Child\\Empty Grandchild", {});
    // The deepest key's full path is far past the 260 characters an ANSI
    // path may have; it is created step by step for the same reason.
    const std::string longName(200, 'L');
    Seed(root + "\\Child\\" + longName, {});
    fw::RegKey parent, leaf;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, (root + "\\Child\\" + longName).c_str(), 0, KEY_ALL_ACCESS, parent.put());
    ASSERT_EQ(RegCreateKeyExW(parent.get(), std::wstring(100, L'M').c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              leaf.put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(leaf.get(), L"Deep \u00e9", 0, REG_SZ, Text(L"deep").data(), 10);
    const Tree before = Snapshot(root);
    ASSERT_EQ(before.size(), 5u);

    RegistryExport exporter(HKEY_LOCAL_MACHINE, 0);
    EXPECT_EQ(exporter.AddKey(W(root + "\\Not There"), W("HKEY_LOCAL_MACHINE\\" + root + "\\Not There")),
              RegistryExport::ExportOutcome::Absent);
    EXPECT_TRUE(exporter.Empty());
    ASSERT_EQ(exporter.AddKey(W(root), RegistryExport::NameInFile(HKEY_LOCAL_MACHINE, 0, W(root))),
              RegistryExport::ExportOutcome::Added);
    const std::vector<std::uint8_t> bytes = exporter.FileBytes();
    const std::string file = files.Join("tree.reg");
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());

    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, root.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(ImportWithRegedit(file), 0u);
    EXPECT_EQ(Snapshot(root), before);
}

TEST_F(EntryBackupTest, NoCompleteBackupMeansNothingIsDeleted) {
    const std::string key = Key("Kept");
    const std::string cacheName = fw::Narrow(RegistryExport::NameInFile(HKEY_LOCAL_MACHINE, 0, W(kArpCache + "\\" + key)));
    const struct {
        const char* what;
        std::string inTheWay;      // a file where a folder must be
        std::string localData;     // where local application data is said to be
        std::wstring valueName;    // of a value of the ARPCache record
        std::string message;       // how the message starts
    } cases[] = {
        {"a file named like the program's folder", "Zaltrow", files.Path(), L"x",
         "written to\n" + files.Join("Zaltrow") + "\n"},
        {"a file named like the backup folder", "Zaltrow\\Removed", files.Path(), L"x",
         "written to\n" + files.Join("Zaltrow\\Removed") + "\n"},
        {"local data folder under a file", "data", files.Join("data\\Local"), L"x",
         "written to\nthe local application data folder\n"},
        {"a value name no file can hold", "", files.Path(), L"line\nbreak",
         "read from\n" + cacheName + "\nA name in it cannot be stored in a registration file."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Seed(kUninstall + "\\" + key, {{L"DisplayName", REG_SZ, Text(L"Kept App")}});
        Seed(kArpCache + "\\" + key, {{c.valueName, REG_BINARY, {1, 2, 3}}});
        SetLocalData(c.localData);
        if (!c.inTheWay.empty()) files.WriteFile(c.inTheWay);

        bool refreshed = false;
        gui::BoxAnswerer failure(gui::IsMessageBox, IDOK);
        RemoveProgramEntry(nullptr, MachineEntry(key, L"Kept App"), [&] { refreshed = true; });
        const std::string start = "The program entry was not removed: its backup could not be " + c.message;
        EXPECT_EQ(failure.Seen().text.substr(0, start.size()), start);
        EXPECT_GT(failure.Seen().text.size(), start.size() - 1) << "the reason follows";
        EXPECT_EQ(failure.Seen().caption, "Zaltrow");
        EXPECT_EQ(failure.Seen().icon, LoadIcon(nullptr, IDI_HAND));
        EXPECT_FALSE(refreshed);
        EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key));
        EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kArpCache + "\\" + key));
        EXPECT_TRUE(Backups().empty());
        if (!c.inTheWay.empty()) std::filesystem::remove_all(files.Join(c.inTheWay));
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kArpCache + "\\" + key).c_str());
    }
}

TEST_F(EntryBackupTest, EveryBackupIsANewFileAndNoUninstallKeyMeansNoFile) {
    const std::string key = Key("Twice");
    Seed(kUninstall + "\\" + key, {{L"DisplayName", REG_SZ, Text(L"Twice")}});
    EntryBackup backup(ListRef{EntrySource::Machine, {}});
    ASSERT_TRUE(backup.Save(W(key), DefaultBackupFolder())) << fw::Narrow(backup.FailureText());
    const std::filesystem::path first = backup.File();
    const std::string firstText = FileText(first);
    ASSERT_TRUE(backup.Save(W(key), DefaultBackupFolder())) << fw::Narrow(backup.FailureText());
    EXPECT_NE(backup.File(), first.wstring());
    EXPECT_EQ(Backups().size(), 2u);
    EXPECT_EQ(FileText(first), firstText);
    EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key)) << "saving deletes nothing";
    EXPECT_EQ(firstText.find("ARPCache"), std::string::npos) << "no ARPCache record, none in the file";

    EXPECT_TRUE(backup.Save(W(Key("Missing")), DefaultBackupFolder()));
    EXPECT_TRUE(backup.File().empty());
    EXPECT_EQ(Backups().size(), 2u);
}

}  // namespace

namespace {

// The one removal path the window, the console and the elevated hand-off
// share: a name that is no single direct subkey of the list leaves both
// trees exactly as they were; one that differs only in letter case removes
// the entry under its stored name.
TEST_F(EntryBackupTest, RemovalTakesExactlyOneDirectSubkey) {
    const std::string key = Key("Guarded");
    Seed(kUninstall + "\\" + key, {{L"DisplayName", REG_SZ, Text(L"Guarded")}});
    Seed(kUninstall + "\\" + key + "\\Components", {{L"x", REG_SZ, Text(L"y")}});
    Seed(kArpCache + "\\" + key, {{L"x", REG_BINARY, {1}}});
    const Tree uninstall = Snapshot(kUninstall), cache = Snapshot(kArpCache);
    const ListRef machine{EntrySource::Machine, {}};
    for (const std::wstring& hostile : {std::wstring(), std::wstring(L"\\"), W(key) + L"\\Components", W(key) + L"\\",
                                        std::wstring(256, L'k'), W(key) + L"-none"}) {
        const RemovalResult result = RemoveEntry(machine, hostile, DefaultBackupFolder());
        EXPECT_NE(result.outcome, RemovalResult::RemovalOutcome::Removed) << fw::Narrow(hostile);
        EXPECT_EQ(Snapshot(kUninstall), uninstall) << fw::Narrow(hostile);
        EXPECT_EQ(Snapshot(kArpCache), cache) << fw::Narrow(hostile);
        EXPECT_TRUE(Backups().empty()) << fw::Narrow(hostile);
    }
    std::wstring upper = W(key);
    for (wchar_t& c : upper) c = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
    const RemovalResult removed = RemoveEntry(machine, upper, DefaultBackupFolder());
    EXPECT_EQ(removed.outcome, RemovalResult::RemovalOutcome::Removed);
    EXPECT_EQ(removed.keyName, W(key));
    EXPECT_NE(removed.backupFile.find(W(key)), std::wstring::npos) << fw::Narrow(removed.backupFile);
    EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key));
    EXPECT_FALSE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kArpCache + "\\" + key));
}

}  // namespace
