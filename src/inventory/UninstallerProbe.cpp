#include "inventory/UninstallerProbe.h"

#include <windows.h>

#include "framework/FilePresence.h"
#include "framework/UniqueHandle.h"
#include "inventory/EntrySource.h"
#include "inventory/EntryValidation.h"

namespace {

// Up to `size` bytes of the file from `offset`; fewer at its end.
std::string ReadAt(HANDLE file, std::size_t offset, std::size_t size) {
    std::string bytes(size, '\0');
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(offset) >> 32);
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(size), &read, &at)) read = 0;
    bytes.resize(read);
    return bytes;
}

bool IsNsisUninstaller(const std::wstring& path) {
    const fw::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const std::size_t data = quiet_uninstall::NsisDataOffset(ReadAt(file.get(), 0, quiet_uninstall::kHeadBytes));
    return data != 0 && quiet_uninstall::HasNsisUninstallerHeader(ReadAt(file.get(), data, quiet_uninstall::kDataBytes));
}

std::wstring SystemFolderFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return name;
    return std::wstring(folder, length) + L"\\" + name;
}

}  // namespace

quiet_uninstall::QuietForm QuietUninstallOf(const ProgramEntry& entry, const std::wstring& file,
                                            const std::wstring& args) {
    quiet_uninstall::Facts facts{entry.quietCommand, entry.productCode, file, args, false, false};
    // What another account's entry names is not opened (MayOpenNetworkPaths'
    // rule), nor anything not on a local drive.
    const bool readable = entry.quietCommand.empty() && entry.productCode.empty() && NamesDrivePath(file) &&
                          !fw::IsNetworkPath(file) && file.size() < kMaxTestedPathChars;
    if (readable) {
        facts.nsisUninstaller = IsNsisUninstaller(file);
        facts.innoDataBeside = !facts.nsisUninstaller && quiet_uninstall::IsInnoUninstallerName(file) &&
                               !fw::FileIsMissing(quiet_uninstall::InnoDataFile(file));
    }
    quiet_uninstall::QuietForm form = quiet_uninstall::QuietFormOf(facts);
    if (form.basis == quiet_uninstall::Basis::WindowsInstaller)
        form.file = SystemFolderFile(L"msiexec.exe");
    else if (form.basis == quiet_uninstall::Basis::QuietUninstallString)
        form.file = FileOfSource(form.file, entry.source);
    return form;
}
