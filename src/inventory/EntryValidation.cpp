#include "inventory/EntryValidation.h"

#include <windows.h>

#include "framework/FilePresence.h"
#include "framework/RunningAccount.h"
#include "inventory/InstallerProducts.h"
#include "inventory/UninstallCommand.h"

std::wstring MissingUninstallerText(const std::wstring& file) { return L"The uninstaller is missing: " + file; }

std::wstring NetworkPathText(const std::wstring& file) { return file + L" is on a network path, not checked."; }

bool MayOpenNetworkPaths(const ProgramEntry& entry) {
    return entry.source == EntrySource::User && fw::RunningRights() != fw::AccountRights::System;
}

std::wstring UnknownProductText(const std::wstring& productCode) {
    return L"Windows Installer does not know the product " + productCode + L".";
}

int FileExists(const std::wstring& path) {
    if (path.size() > kMaxTestedPathChars) return 1;
    return fw::FileIsMissing(path) ? 0 : 1;
}

bool NamesDrivePath(std::wstring_view programPath) {
    return programPath.find(L":\\") != std::wstring_view::npos;
}

bool IsPhantom(const std::wstring& programPath) {
    // The file is tested as stored rather than lower-cased: Windows' file
    // names ignore letter case, so the answer is the same, but Wine finds a
    // name written in another case only by searching its folder, which
    // made the phantom tests of a list fill several times slower.
    return NamesDrivePath(programPath) && FileExists(programPath) == 0;
}

namespace {

bool IsFile(const std::wstring& path) {
    if (path.empty() || path.size() > kMaxTestedPathChars || !NamesDrivePath(path)) return false;
    const DWORD attributes = fw::FileAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

UninstallTarget ResolveUninstaller(const ProgramEntry& entry) {
    UninstallTarget target{FileOfSource(entry.programPath, entry.source), entry.programArgs, false, {}};
    if (!entry.productCode.empty()) {
        // msiexec is always there: only Windows Installer can tell whether
        // the product it would be asked to remove is still known. One load
        // of msi.dll serves the process.
        static InstallerProducts products;
        target.phantom = products.IsUnknown(entry.productCode);
        if (target.phantom) target.reason = UnknownProductText(entry.productCode);
        return target;
    }
    // Another account's entry could otherwise make this one authenticate to
    // a host of its choosing (as SYSTEM: the machine's account): such a
    // path is never opened, and counts as there.
    const bool network = !MayOpenNetworkPaths(entry);
    if (network && fw::IsNetworkPath(target.file)) {
        target.reason = NetworkPathText(target.file);
        return target;
    }
    if (entry.commandUnknown || !IsPhantom(target.file)) return target;
    for (UninstallCommand& candidate : CommandCandidates(entry.command)) {
        std::wstring file = FileOfSource(candidate.programPath, entry.source);
        if (network && fw::IsNetworkPath(file)) {
            std::wstring reason = NetworkPathText(file);
            return {std::move(file), std::move(candidate.programArgs), false, std::move(reason)};
        }
        if (IsFile(file)) return {std::move(file), std::move(candidate.programArgs), false, {}};
    }
    target.phantom = true;
    target.reason = MissingUninstallerText(target.file);
    return target;
}
