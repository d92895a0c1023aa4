// Backups before removal, for real: entries in the test prefix's registry,
// files in a folder of the test's own (the local application data folder is
// pointed there through the scratch user's shell folders), and the real
// registry editor of the prefix importing what was written. The editor is a
// process of its own, so these entries are real keys under unique names,
// removed again by the test.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "inventory/EntryBackup.h"
#include "inventory/EntryRemoval.h"
#include "registry/RegistryExport.h"

namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kArpCache = "Software\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";

using Bytes = std::vector<unsigned char>;
// Every key under a root (by path relative to it), every value by name:
// type and bytes as the wide-character calls hand them out.
using Values = std::map<std::wstring, std::pair<DWORD, Bytes>>;
using Tree = std::map<std::wstring, Values>;

void ReadTree(HKEY key, const std::wstring& path, Tree& tree) {
    Values& values = tree[path];
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        Bytes data(size + 1);
        nameLength = 16384;
        ASSERT_EQ(RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size), ERROR_SUCCESS);
        data.resize(size);
        values[std::wstring(name, nameLength)] = {type, data};
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY child = nullptr;
        ASSERT_EQ(RegOpenKeyExW(key, name, 0, KEY_READ, &child), ERROR_SUCCESS);
        ReadTree(child, path + L"\\" + name, tree);
        RegCloseKey(child);
    }
}

Tree Snapshot(const std::string& path) {
    Tree tree;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return tree;
    ReadTree(key, L"", tree);
    RegCloseKey(key);
    return tree;
}

HKEY Create(const std::string& path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

void Set(HKEY key, const std::wstring& name, DWORD type, const Bytes& data) {
    EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
}

Bytes Text(const std::wstring& text, bool terminated = true) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.c_str());
    return Bytes(bytes, bytes + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
}

// `regedit /s file`, as a double-click would import it; its exit code.
DWORD ImportWithRegedit(const std::filesystem::path& file) {
    std::wstring command = L"regedit.exe /s \"" + file.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return GetLastError() | 0x80000000;
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string ascii;  // UTF-16LE after the BOM, non-ASCII as '?'
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        ascii.push_back(bytes[i + 1] == 0 && static_cast<unsigned char>(bytes[i]) < 0x80 ? bytes[i] : '?');
    return bytes.substr(0, 2) == "\xFF\xFE" ? ascii : "<no byte-order mark>";
}

class EntryBackupTest : public ::testing::Test {
protected:
    EntryBackupTest() : scratch(ScratchRegistry::Roots::UserOnly) {
        ScratchRegistry::SetString(HKEY_CURRENT_USER,
                                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                   "Local AppData", files.Path());
    }
    ~EntryBackupTest() override {
        for (const std::string& path : cleanup) RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
    }

    // A key name of this test's own, with a code page 1252 character.
    std::string Key(const std::string& tag) {
        const std::string key = "ZaltrowBackupTest " + std::to_string(GetCurrentProcessId()) + " " + tag + " Caf\xe9";
        cleanup.push_back(kUninstall + "\\" + key);
        cleanup.push_back(kArpCache + "\\" + key);
        return key;
    }
    std::vector<std::filesystem::path> Backups() const {
        std::vector<std::filesystem::path> found;
        std::error_code ignored;
        for (const auto& file : std::filesystem::directory_iterator(files.Join("Zaltrow\\Removed"), ignored))
            found.push_back(file.path());
        return found;
    }

    TempFolder files;
    ScratchRegistry scratch;
    std::vector<std::string> cleanup;
};

TEST_F(EntryBackupTest, RemovedEntryComesBackBitForBitThroughTheRegistryEditor) {
    const std::string key = Key("Trip");
    HKEY entry = Create(kUninstall + "\\" + key);
    Set(entry, L"", REG_SZ, Text(L"the default value"));
    Set(entry, L"DisplayName", REG_SZ, Text(L"Backup Trip Caf\u00e9 \u20ac"));
    Set(entry, L"UninstallString", REG_SZ, Text(L"\"C:\\Program Files\\Trip\\unins000.exe\" /S"));
    Set(entry, L"Pfad \u00e4\u00f6\u00fc \"quoted\" \\", REG_EXPAND_SZ, Text(L"%ProgramFiles%\\Trip"));
    Set(entry, L"Lines", REG_MULTI_SZ, Text(std::wstring(L"one\0tw\u00f6\0", 8)));
    Set(entry, L"EstimatedSize", REG_DWORD, {0x78, 0x56, 0x34, 0x12});
    Set(entry, L"InstallTime", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 0x80});
    Bytes blob(300);
    for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<unsigned char>(i * 7);
    Set(entry, L"Blob", REG_BINARY, blob);
    Set(entry, L"Marker", REG_NONE, {});
    Set(entry, L"Marker with data", REG_NONE, {0, 1, 2});
    Set(entry, L"Odd", REG_SZ, {'o', 0, 'd', 0, 'd'});
    Set(entry, L"Raw", REG_SZ, Text(std::wstring(L"a\0b", 3), false));
    Set(entry, L"Empty", REG_SZ, {});
    Set(entry, L"Short dword", REG_DWORD, {1, 2});
    Set(entry, L"Tab\tin name", REG_SZ, Text(L"tab\tin data"));
    // Code page 1252 text through the ANSI call, as installers write it.
    const char ansi[] = "Gr\xfc\xdf \x80 \xe9t\xe9";
    EXPECT_EQ(RegSetValueExA(entry, "Ansi \xe9", 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi), sizeof ansi),
              ERROR_SUCCESS);
    RegCloseKey(entry);
    HKEY cache = Create(kArpCache + "\\" + key);
    Bytes record(552, 0);
    const std::wstring file = L"C:\\Program Files\\Trip\\trip.exe";
    std::copy_n(reinterpret_cast<const unsigned char*>(file.c_str()), file.size() * 2, record.begin() + 28);
    Set(cache, L"SlowInfoCache", REG_BINARY, record);
    Set(cache, L"Changed", REG_BINARY, {9, 8, 7, 6, 5, 4, 3, 2});
    RegCloseKey(cache);

    const Tree entryBefore = Snapshot(kUninstall + "\\" + key);
    const Tree cacheBefore = Snapshot(kArpCache + "\\" + key);
    ASSERT_EQ(entryBefore.at(L"").size(), 16u);

    bool refreshed = false;
    gui::BoxAnswerer success(gui::IsMessageBox, IDOK);
    RemoveProgramEntry(nullptr, key, "Backup Trip", [&] { refreshed = true; });
    EXPECT_EQ(success.Seen().text, "Backup Trip was successfully removed from the Add/Remove Programs list.");
    EXPECT_TRUE(refreshed);
    ASSERT_TRUE(Snapshot(kUninstall + "\\" + key).empty());
    ASSERT_TRUE(Snapshot(kArpCache + "\\" + key).empty());

    const std::vector<std::filesystem::path> backups = Backups();
    ASSERT_EQ(backups.size(), 1u);
    const std::wstring name = backups[0].filename().wstring();
    EXPECT_EQ(name.substr(19), L" ZaltrowBackupTest " + std::to_wstring(GetCurrentProcessId()) + L" Trip Caf\u00e9.reg");
    const std::string text = FileText(backups[0]);
    // Under WOW64 the name is the 32-bit view's (Wow6432Node), so that the
    // 64-bit editor puts it back where it was.
    const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n[" +
                               RegistryExport::NameInFile(HKEY_LOCAL_MACHINE, 0, kUninstall) + "\\";
    EXPECT_EQ(text.rfind(header, 0), 0u) << text;

    // Text values that do not end in a zero character are in the file as
    // their exact bytes, the only form that can carry them ...
    EXPECT_NE(text.find("\r\n\"Odd\"=hex(1):6f,00,64,00,64\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n\"Raw\"=hex(1):61,00,00,00,62,00\r\n"), std::string::npos);

    EXPECT_EQ(ImportWithRegedit(backups[0]), 0u);
    Tree entryAfter = Snapshot(kUninstall + "\\" + key);
    // ... but the editor terminates such text on import: it comes back as
    // the same type, the stored characters, then a zero character.
    auto& raw = entryAfter[L""][L"Raw"];
    EXPECT_EQ(raw.first, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw.second, Text(std::wstring(L"a\0b", 3)));
    raw = entryBefore.at(L"").at(L"Raw");
    auto& odd = entryAfter[L""][L"Odd"];
    EXPECT_EQ(odd.first, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Bytes(odd.second.begin(), odd.second.begin() + std::min<std::size_t>(4, odd.second.size())),
              (Bytes{'o', 0, 'd', 0}));
    odd = entryBefore.at(L"").at(L"Odd");
    // Everything else comes back bit for bit.
    EXPECT_EQ(entryAfter, entryBefore);
    EXPECT_EQ(Snapshot(kArpCache + "\\" + key), cacheBefore);
}

TEST_F(EntryBackupTest, SubkeysAtAnyDepthAndLongPathsComeBackThroughTheRegistryEditor) {
    const std::string root = "Software\\ZaltrowExportTest " + std::to_string(GetCurrentProcessId());
    cleanup.push_back(root);
    // The full path of the deepest key is far past the 260 characters an
    // ANSI path may have.
    const std::string longName(200, 'L');
    const std::string deep = root + "\\Child\\" + longName + "\\" + std::string(100, 'M');
    RegCloseKey(Create(root + "\\Child\\Empty Grandchild"));
    HKEY top = Create(root);
    Set(top, L"Top", REG_DWORD, {1, 0, 0, 0});
    RegCloseKey(top);
    HKEY parent = Create(root + "\\Child\\" + longName);
    HKEY leaf = nullptr;
    ASSERT_EQ(RegCreateKeyExA(parent, std::string(100, 'M').c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &leaf,
                              nullptr),
              ERROR_SUCCESS);
    Set(leaf, L"Deep \u00e9", REG_SZ, Text(L"deep value"));
    RegCloseKey(leaf);
    RegCloseKey(parent);
    const Tree before = Snapshot(root);
    ASSERT_EQ(before.size(), 5u);

    RegistryExport exporter(HKEY_LOCAL_MACHINE, 0);
    EXPECT_EQ(exporter.AddKey(root + "\\Not There", "HKEY_LOCAL_MACHINE\\" + root + "\\Not There"),
              RegistryExport::Outcome::Absent);
    EXPECT_TRUE(exporter.Empty());
    ASSERT_EQ(exporter.AddKey(root, RegistryExport::NameInFile(HKEY_LOCAL_MACHINE, 0, root)),
              RegistryExport::Outcome::Added);
    const std::vector<std::uint8_t> bytes = exporter.FileBytes();
    const std::string file = files.Join("tree.reg");
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());

    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, root.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(ImportWithRegedit(file), 0u);
    EXPECT_EQ(Snapshot(root), before);
}

TEST_F(EntryBackupTest, NoFolderForTheBackupMeansNothingIsDeleted) {
    const struct {
        const char* what;
        std::string inTheWay;   // a file where a folder must be
        std::string localData;  // where local application data is said to be
        std::string named;      // the place the message names
    } cases[] = {
        {"file named like the program's folder", "Zaltrow", files.Path(), files.Join("Zaltrow")},
        {"file named like the backup folder", "Zaltrow\\Removed", files.Path(), files.Join("Zaltrow\\Removed")},
        {"local data folder under a file", "data", files.Join("data\\Local"), "the local application data folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string key = Key("Kept");
        ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "DisplayName", "Kept App");
        ScratchRegistry::SetBinary(HKEY_LOCAL_MACHINE, kArpCache + "\\" + key, "SlowInfoCache", {1, 2, 3});
        ScratchRegistry::SetString(HKEY_CURRENT_USER,
                                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                   "Local AppData", c.localData);
        const std::string blocker = files.WriteFile(c.inTheWay);

        bool refreshed = false;
        gui::BoxAnswerer failure(gui::IsMessageBox, IDOK);
        RemoveProgramEntry(nullptr, key, "Kept App", [&] { refreshed = true; });
        const std::string start = "The program entry was not removed: its backup could not be written to\n" + c.named + "\n";
        EXPECT_EQ(failure.Seen().text.substr(0, start.size()), start);
        EXPECT_GT(failure.Seen().text.size(), start.size()) << "the reason follows";
        EXPECT_EQ(failure.Seen().caption, "Zaltrow");
        EXPECT_EQ(failure.Seen().icon, LoadIcon(nullptr, IDI_HAND));
        EXPECT_FALSE(refreshed);
        EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key));
        EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kArpCache + "\\" + key));
        std::filesystem::remove_all(blocker);
    }
}

TEST_F(EntryBackupTest, ANameNoFileCanHoldMeansNothingIsDeleted) {
    const std::string key = Key("Unwritable");
    HKEY cache = Create(kArpCache + "\\" + key);
    Set(cache, L"line\nbreak", REG_SZ, Text(L"x"));
    RegCloseKey(cache);
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "DisplayName", "Odd Names");

    gui::BoxAnswerer failure(gui::IsMessageBox, IDOK);
    RemoveProgramEntry(nullptr, key, "Odd Names", [] {});
    EXPECT_EQ(failure.Seen().text, "The program entry was not removed: its backup could not be read from\n" +
                                       RegistryExport::NameInFile(HKEY_LOCAL_MACHINE, 0, kArpCache + "\\" + key) +
                                       "\nA name in it cannot be stored in a registration file.");
    EXPECT_EQ(failure.Seen().icon, LoadIcon(nullptr, IDI_HAND));
    EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key));
    EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kArpCache + "\\" + key));
    EXPECT_TRUE(Backups().empty());
}

TEST_F(EntryBackupTest, EveryBackupIsANewFileAndNoUninstallKeyMeansNoFile) {
    const std::string key = Key("Twice");
    ScratchRegistry::SetString(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key, "DisplayName", "Twice");
    EntryBackup backup(HKEY_LOCAL_MACHINE, 0);
    ASSERT_TRUE(backup.Save(key)) << backup.FailureText();
    const std::wstring first = backup.File();
    const std::string firstText = FileText(first);
    ASSERT_TRUE(backup.Save(key)) << backup.FailureText();
    EXPECT_NE(backup.File(), first);
    EXPECT_EQ(Backups().size(), 2u);
    EXPECT_EQ(FileText(first), firstText);
    EXPECT_TRUE(ScratchRegistry::KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\" + key)) << "saving deletes nothing";
    // No ARPCache record: the file holds the Uninstall key alone.
    EXPECT_EQ(firstText.find("ARPCache"), std::string::npos);

    EXPECT_TRUE(backup.Save(Key("Missing")));
    EXPECT_TRUE(backup.File().empty());
    EXPECT_EQ(Backups().size(), 2u);
}

}  // namespace
