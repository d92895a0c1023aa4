#include "widgets/UrlLauncher.h"

#include <shellapi.h>

#include <cstring>

#include "BuildConfig.h"
#include "framework/RegistryKey.h"
#include "framework/TextConversion.h"
#include "widgets/ShellCommandText.h"

namespace {
constexpr DWORD kRegistryValueSize = 260;
}  // namespace

INT_PTR UrlLauncher::ShellOpenUrl(const std::string& url, int showCommand) {
    const INT_PTR shell =
        reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, showCommand));
    if (shell > 32) return shell;

    // The shell could not: run the web browser that opens ".htm" files.
    std::string key;
    if (ReadRegDefault(HKEY_CLASSES_ROOT, ".htm", key) != ERROR_SUCCESS) return shell;
    std::string command;
    if (ReadRegDefault(HKEY_CLASSES_ROOT, key + "\\shell\\open\\command", command) != ERROR_SUCCESS) return shell;
    // A command that would not fit the command buffer is not run; the
    // shell's failure is what the user hears about.
    const std::optional<std::string> run = shell_text::BrowserCommand(command, url);
    if (!run) return shell;
    return static_cast<INT_PTR>(WinExec(run->c_str(), static_cast<UINT>(showCommand)));
}

LONG UrlLauncher::ReadRegDefault(HKEY root, const std::string& subkey, std::string& value) {
    LONG opened = ERROR_SUCCESS;
    const fw::RegKey key = fw::OpenRegKey(root, fw::Widen(subkey), KEY_QUERY_VALUE, &opened);
    if (!key) return opened;
    char data[kRegistryValueSize] = {};
    LONG size = sizeof data;
    const LONG read = RegQueryValueA(key.get(), nullptr, data, &size);
    if (read != ERROR_SUCCESS) return read;
    value.assign(data, strnlen(data, sizeof data));
    return ERROR_SUCCESS;
}

void UrlLauncher::ReportLinkError(HWND owner, INT_PTR code) {
    const std::string text = shell_text::LinkErrorText(code);
    MessageBoxA(owner, text.c_str(), ZALTROW_MESSAGE_CAPTION, MB_ICONEXCLAMATION | MB_OK);
}
