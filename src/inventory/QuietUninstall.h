#pragma once
// How an entry's uninstaller can run without a window: one table, no
// guessing beyond it. The entry's own QuietUninstallString; for a Windows
// Installer entry, msiexec's quiet removal; for an uninstaller recognised by
// its file, that maker's quiet options (NSIS: /S; Inno Setup: /VERYSILENT
// /SUPPRESSMSGBOXES /NORESTART); otherwise none, and the uninstaller can
// only run with its own window. Pure: what the file is (UninstallerProbe)
// is found by the caller.

#include <string>
#include <string_view>

namespace quiet_uninstall {

enum class Basis {
    None,                  // only with its own window
    QuietUninstallString,  // the entry says how
    WindowsInstaller,      // msiexec /x {code} /qn /norestart
    Nsis,                  // the file carries NSIS's uninstaller header
    InnoSetup,             // unins###.exe with its unins###.dat beside it
};

// What is known of the entry and its uninstaller's file.
struct Facts {
    std::wstring_view quietCommand;  // QuietUninstallString as it is to be run; empty: none
    std::wstring_view productCode;   // a Windows Installer entry's; empty otherwise
    std::wstring_view file;          // the uninstaller, as its Uninstall starts it
    std::wstring_view args;          // and its arguments
    bool nsisUninstaller = false;    // the file carries NSIS's header, marked as an uninstaller
    bool innoDataBeside = false;     // InnoDataFile(file) is there
};

struct QuietForm {
    Basis basis = Basis::None;
    std::wstring command;  // as shown; empty for None
    // What is started: a file and its arguments. A Windows Installer entry
    // names "msiexec.exe" alone, for the caller to find in the system folder.
    std::wstring file;
    std::wstring args;
};

QuietForm QuietFormOf(const Facts& facts);

// The machine word of each basis in the console's reports; empty for None.
std::wstring_view BasisWord(Basis basis);

// A file named unins###.exe (three digits, letter case ignored), in any folder.
bool IsInnoUninstallerName(std::wstring_view path);
// The same path ending in .dat instead of .exe.
std::wstring InnoDataFile(std::wstring_view path);

// NSIS writes its data after the program's last section, from a 512-byte
// boundary on. `head` is the file's first bytes (kHeadBytes of them, or
// all): where that data would begin, or 0 for bytes that are no program.
constexpr std::size_t kHeadBytes = 4096;
std::size_t NsisDataOffset(std::string_view head);
// `data` is the file's bytes from that offset on (kDataBytes, or to the
// end): they open with NSIS's first header (flags, 0xDEADBEEF,
// "NullsoftInst") at one of the next few 512-byte boundaries, with its
// uninstaller flag set. An NSIS setup has the flag clear: /S would install.
constexpr std::size_t kDataBytes = 4 * 512;
bool HasNsisUninstallerHeader(std::string_view data);

// The command as a line is written: the file quoted, then its arguments.
std::wstring CommandLineText(std::wstring_view file, std::wstring_view args);

}  // namespace quiet_uninstall
