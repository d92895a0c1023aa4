#include "inventory/QuietUninstall.h"

#include <cstdint>

#include "inventory/UninstallCommand.h"

namespace quiet_uninstall {

namespace {

constexpr std::wstring_view kInnoOptions = L"/VERYSILENT /SUPPRESSMSGBOXES /NORESTART";

std::wstring_view FileName(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

bool HasWord(std::wstring_view args, std::wstring_view word) {
    for (std::size_t at = 0; (at = args.find(word, at)) != std::wstring_view::npos; at += word.size())
        if ((at == 0 || args[at - 1] == L' ') && (at + word.size() == args.size() || args[at + word.size()] == L' '))
            return true;
    return false;
}

// NSIS reads _?= only as the last argument, and everything after it as the
// folder: /S goes before it. It is kept where the entry's command has it and
// never added, since without it the copy NSIS starts from %TEMP% is followed
// as every process the uninstaller starts, and can delete its own folder.
std::wstring NsisArgs(std::wstring_view args) {
    if (HasWord(args, L"/S")) return std::wstring(args);
    std::size_t inPlace = args.find(L"_?=");
    if (inPlace != std::wstring_view::npos && (inPlace == 0 || args[inPlace - 1] == L' ')) {
        std::wstring before(args.substr(0, inPlace));
        return before + L"/S " + std::wstring(args.substr(inPlace));
    }
    return args.empty() ? std::wstring(L"/S") : std::wstring(args) + L" /S";
}

std::wstring Appended(std::wstring_view args, std::wstring_view options) {
    return args.empty() ? std::wstring(options) : std::wstring(args) + L" " + std::wstring(options);
}

}  // namespace

std::wstring CommandLineText(std::wstring_view file, std::wstring_view args) {
    std::wstring text = L"\"" + std::wstring(file) + L"\"";
    if (!args.empty()) text.append(L" ").append(args);
    return text;
}

QuietForm QuietFormOf(const Facts& facts) {
    QuietForm form;
    if (!facts.quietCommand.empty()) {
        const UninstallCommand split = SplitUninstallString(facts.quietCommand);
        form = {Basis::QuietUninstallString, std::wstring(facts.quietCommand), split.programPath, split.programArgs};
    } else if (!facts.productCode.empty()) {
        form.basis = Basis::WindowsInstaller;
        form.file = L"msiexec.exe";
        form.args = L"/x " + std::wstring(facts.productCode) + L" /qn /norestart";
        form.command = L"msiexec " + form.args;
    } else if (facts.file.empty()) {
        return form;
    } else if (facts.nsisUninstaller) {
        form = {Basis::Nsis, {}, std::wstring(facts.file), NsisArgs(facts.args)};
    } else if (facts.innoDataBeside && IsInnoUninstallerName(facts.file)) {
        form = {Basis::InnoSetup, {}, std::wstring(facts.file), Appended(facts.args, kInnoOptions)};
    } else {
        return form;
    }
    if (form.command.empty()) form.command = CommandLineText(form.file, form.args);
    return form;
}

std::wstring_view BasisWord(Basis basis) {
    switch (basis) {
    case Basis::QuietUninstallString: return L"QuietUninstallString";
    case Basis::WindowsInstaller: return L"windows-installer";
    case Basis::Nsis: return L"nsis";
    case Basis::InnoSetup: return L"inno-setup";
    case Basis::None: break;
    }
    return L"";
}

bool IsInnoUninstallerName(std::wstring_view path) {
    const std::wstring name = AsciiLowerCopy(FileName(path));
    return name.size() == 12 && name.starts_with(L"unins") && name.ends_with(L".exe") &&
           name.substr(5, 3).find_first_not_of(L"0123456789") == std::wstring::npos;
}

std::wstring InnoDataFile(std::wstring_view path) {
    if (path.size() < 4) return std::wstring(path);
    return std::wstring(path.substr(0, path.size() - 4)) + L".dat";
}

namespace {

std::uint32_t Little(std::string_view bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

}  // namespace

std::size_t NsisDataOffset(std::string_view head) {
    if (head.size() < 0x40 || head.substr(0, 2) != "MZ") return 0;
    const std::size_t pe = Little(head, 0x3C, 4);
    if (pe > head.size() || head.size() - pe < 24 || head.substr(pe, 4) != std::string_view("PE\0\0", 4)) return 0;
    const std::size_t sections = Little(head, pe + 6, 2);
    const std::size_t table = pe + 24 + Little(head, pe + 20, 2);  // after the optional header
    std::size_t end = 0;
    for (std::size_t i = 0; i < sections; ++i) {
        const std::size_t at = table + 40 * i;
        if (at > head.size() || head.size() - at < 40) return 0;
        const std::size_t last = std::size_t{Little(head, at + 20, 4)} + Little(head, at + 16, 4);
        if (last > end) end = last;
    }
    return end == 0 ? 0 : (end + 511) / 512 * 512;
}

bool HasNsisUninstallerHeader(std::string_view data) {
    // firsthdr: flags, siginfo 0xDEADBEEF, "NullsoftInst", two lengths.
    constexpr std::string_view kSignature("\xEF\xBE\xAD\xDE" "NullsoftInst", 16);
    constexpr std::uint8_t kUninstallFlag = 1;
    for (std::size_t at = 0; at < kDataBytes && data.size() >= at + 4 + kSignature.size(); at += 512)
        if (data.substr(at + 4, kSignature.size()) == kSignature)
            return (static_cast<std::uint8_t>(data[at]) & kUninstallFlag) != 0;
    return false;
}

}  // namespace quiet_uninstall
