#include "app/ExportCommand.h"

#include <commdlg.h>

#include <algorithm>
#include <array>

#include "BuildConfig.h"
#include "framework/RunningAccount.h"
#include "framework/SystemErrorText.h"
#include "framework/UniqueHandle.h"
#include "inventory/ReportHeading.h"

namespace {

// The Save As dialog's types, in its order; the first is chosen at first.
struct FileType {
    ExportFormat format;
    const wchar_t* extension;
};
constexpr std::array<FileType, 3> kTypes{{
    {ExportFormat::Html, L"html"},
    {ExportFormat::Csv, L"csv"},
    {ExportFormat::Json, L"json"},
}};
// Pairs of description and pattern, each ended by a zero; a second zero ends all.
constexpr wchar_t kFilter[] = L"Web page (*.html)\0*.html;*.htm\0"
                              L"CSV, for spreadsheets (*.csv)\0*.csv\0"
                              L"JSON (*.json)\0*.json\0";

// A file name carries none of \ / : * ? " < > |.
std::wstring FileNamePart(std::wstring text) {
    for (wchar_t& c : text)
        if (c < L' ' || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
    return text;
}

bool WriteWhole(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

}  // namespace

DWORD ExportCommand::Write(const std::wstring& path, ExportFormat format) const {
    const ReportHeader header = ReadReportHeading(&inventory_);
    const std::string bytes =
        ExportBytes(format, L"" ZALTROW_PRODUCT_NAME, header, ReportRowsOf(rows_, shown_, fw::RunningUserSid()));
    // Written beside it first, so a full disk or a lost share leaves an
    // earlier export as it was.
    const std::wstring part = path + L".part";
    DWORD error = ERROR_SUCCESS;
    {
        fw::FileHandle file(CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                          nullptr));
        if (!file) return GetLastError();
        if (!WriteWhole(file.get(), bytes) || !FlushFileBuffers(file.get())) error = GetLastError();
    }
    if (error == ERROR_SUCCESS && !MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) error = GetLastError();
    if (error != ERROR_SUCCESS) DeleteFileW(part.c_str());
    return error;
}

bool ExportCommand::Run(HWND owner) const {
    std::array<wchar_t, 32768> path{};
    const std::wstring suggested = FileNamePart(L"Programs on " + ReadReportHeading(nullptr).computer) + L".html";
    suggested.copy(path.data(), std::min(suggested.size(), path.size() - 1));

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = L"Export shown rows";
    dialog.lpstrDefExt = kTypes[0].extension;
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog)) return false;

    const std::wstring chosen(path.data());
    // The name's own type wins; a name of another type gets the chosen one's format.
    const std::size_t index = dialog.nFilterIndex >= 1 && dialog.nFilterIndex <= kTypes.size() ? dialog.nFilterIndex - 1 : 0;
    const ExportFormat format = ExportFormatOf(chosen).value_or(kTypes[index].format);
    const DWORD error = Write(chosen, format);
    if (error == ERROR_SUCCESS) return true;
    const std::wstring text = L"The shown rows could not be saved to\n" + chosen + L"\n\n" + fw::SystemErrorText(error);
    MessageBoxW(owner, text.c_str(), L"" ZALTROW_MESSAGE_CAPTION, MB_OK | MB_ICONEXCLAMATION);
    return false;
}
