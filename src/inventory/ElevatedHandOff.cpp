#include "inventory/ElevatedHandOff.h"

#include <cstdint>
#include <optional>

#include "BuildConfig.h"
#include "framework/ModulePath.h"
#include "framework/SystemErrorText.h"
#include "framework/TextConversion.h"
#include "framework/UniqueFolder.h"
#include "framework/UniqueHandle.h"

namespace {

// The hand-off's files, in a folder of their own that goes with them.
class WorkFolder {
public:
    WorkFolder() {
        wchar_t temp[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        if (length == 0 || length > MAX_PATH) return;
        std::wstring parent(temp, length);
        if (parent.back() == L'\\') parent.pop_back();
        DWORD error = ERROR_SUCCESS;
        path_ = fw::MakeUniqueFolder(parent, L"" ZALTROW_PRODUCT_NAME L" hand-off", nullptr, error);
        SetLastError(error);
    }
    ~WorkFolder() {
        if (path_.empty()) return;
        for (const std::wstring& file : files_) DeleteFileW(file.c_str());
        RemoveDirectoryW(path_.c_str());
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const wchar_t* name) { return files_.emplace_back(path_ + L"\\" + name); }

private:
    std::wstring path_;
    std::vector<std::wstring> files_;
};

// A file of the hand-off, made here and kept open: the elevated step reads
// it through this handle (ResultHandleArgument), so nothing the user does
// to the folder after the consent prompt changes what it reads. No other
// writer may open it meanwhile; it goes when the handle closes.
fw::FileHandle HandedFile(const std::wstring& path, const std::wstring& text) {
    const std::string bytes = fw::ToUtf8(text);
    fw::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    DWORD written = 0;
    if (file && !(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size()))
        file.reset();
    return file;
}

std::wstring LentArgument(const fw::FileHandle& file) {
    return ResultHandleArgument(GetCurrentProcessId(), reinterpret_cast<std::uintptr_t>(file.get()));
}

// The result file as the elevated step writes it, read from where the
// last read ended: each whole line (the step writes a line in one write)
// is parsed as it arrives; a line not yet ended waits for its end, unless
// the step has ended.
class ResultReader {
public:
    ResultReader(HANDLE file, const ResultArrived& arrived, std::vector<OperationResult>& results)
        : file_(file), arrived_(arrived), results_(results) {}

    void ReadNew(bool last) {
        char buffer[65536];
        for (;;) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset_);
            at.OffsetHigh = static_cast<DWORD>(offset_ >> 32);
            DWORD read = 0;
            if (!ReadFile(file_, buffer, sizeof buffer, &read, &at) || read == 0) break;
            pending_.append(buffer, read);
            offset_ += read;
        }
        std::size_t start = 0;
        for (std::size_t end; (end = pending_.find('\n', start)) != std::string::npos; start = end + 1)
            Parse(pending_.substr(start, end - start));
        pending_.erase(0, start);
        if (last && !pending_.empty()) {
            Parse(pending_);
            pending_.clear();
        }
    }

private:
    void Parse(const std::string& bytes) {
        std::wstring line;
        fw::FromUtf8(bytes, line);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        std::optional<OperationResult> parsed = ParseResultFileLine(line);
        if (!parsed) return;
        results_.push_back(std::move(*parsed));
        if (arrived_) arrived_(results_.back());
    }

    HANDLE file_;
    const ResultArrived& arrived_;
    std::vector<OperationResult>& results_;
    std::string pending_;
    std::uint64_t offset_ = 0;
};

// The system folder, where the elevated step runs: a folder the user could
// change would let a planted file be taken for one of its own.
std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// The console program beside this one.
std::wstring ConsoleProgram() {
    std::wstring path = fw::WideModulePath();
    path.erase(path.find_last_of(L'\\') + 1);
    return path + L"" ZALTROW_CONSOLE_FILE;
}

}  // namespace

ElevatedHandOff::HandOffOutcome ElevatedHandOff::Remove(const ElevatedRunner& run,
                                                        const std::vector<ProgramEntry>& entries) {
    return WithEntries(run, L"remove", entries, L"", {}, {});
}

ElevatedHandOff::HandOffOutcome ElevatedHandOff::Uninstall(const ElevatedRunner& run,
                                                           const std::vector<ProgramEntry>& entries,
                                                           const ResultArrived& arrived,
                                                           const std::function<bool()>& stopAsked) {
    return WithEntries(run, L"uninstall", entries, L" --quiet", arrived, stopAsked);
}

ElevatedHandOff::HandOffOutcome ElevatedHandOff::WithEntries(const ElevatedRunner& run, const wchar_t* verb,
                                                             const std::vector<ProgramEntry>& entries,
                                                             const wchar_t* options, const ResultArrived& arrived,
                                                             const std::function<bool()>& stopAsked) {
    WorkFolder work;
    if (work.Path().empty()) return {GetLastError(), 0, {}};
    std::wstring lines;
    for (const ProgramEntry& entry : entries) lines += ListName(ListOf(entry)) + L"\t" + entry.keyName + L"\r\n";
    const fw::FileHandle list = HandedFile(work.Path() + L"\\entries.txt", lines);
    if (!list) return {GetLastError(), 0, {}};
    bool told = false;
    const auto askToStop = [&] {
        if (told || !stopAsked || !stopAsked()) return;
        told = true;
        // Written at its end, as one more line break the step passes over.
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(list.get(), &size)) return;
        OVERLAPPED atEnd{};
        atEnd.Offset = static_cast<DWORD>(size.QuadPart);
        atEnd.OffsetHigh = static_cast<DWORD>(size.QuadPart >> 32);
        DWORD written = 0;
        WriteFile(list.get(), "\r\n", 2, &written, &atEnd);
    };
    return Run(run, std::wstring(verb) + L" --from " + Quoted(LentArgument(list)) + options, work.Path(), arrived,
               askToStop);
}

ElevatedHandOff::HandOffOutcome ElevatedHandOff::Restore(const ElevatedRunner& run, const std::vector<std::wstring>& files,
                                                         const std::vector<std::wstring>& sha256s, bool replace) {
    WorkFolder work;
    if (work.Path().empty()) return {GetLastError(), 0, {}};
    std::wstring arguments = L"restore";
    for (const std::wstring& file : files) arguments += L" " + Quoted(file);
    std::wstring digests;
    for (const std::wstring& digest : sha256s) digests += (digests.empty() ? L"" : L",") + digest;
    if (!digests.empty()) arguments += L" --sha256 " + digests;
    if (replace) arguments += L" --replace";
    return Run(run, arguments, work.Path(), {}, {});
}

ElevatedHandOff::HandOffOutcome ElevatedHandOff::Run(const ElevatedRunner& run, const std::wstring& arguments,
                                                     const std::wstring& workFolder, const ResultArrived& arrived,
                                                     const std::function<void()>& whileWaiting) {
    HandOffOutcome outcome;
    // The result file is opened here, as the user, and the elevated step
    // writes through this very handle (ResultHandleArgument): nothing it
    // writes goes where the user could not write, whatever link is planted.
    const fw::FileHandle result(CreateFileW((workFolder + L"\\result.txt").c_str(),
                                            GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE,
                                            nullptr));
    if (!result) return {GetLastError(), 0, {}};
    ResultReader reader(result.get(), arrived, outcome.results);
    outcome.error = run(ConsoleProgram(), arguments + L" --result " + Quoted(LentArgument(result)),
                        SystemFolder(), outcome.exitCode, [&] {
                            reader.ReadNew(false);
                            if (whileWaiting) whileWaiting();
                        });
    if (outcome.error != ERROR_SUCCESS) return outcome;
    reader.ReadNew(true);
    return outcome;
}

std::wstring ElevatedHandOff::NotDoneText(DWORD error, const wchar_t* what) {
    if (error == ERROR_CANCELLED)
        return std::wstring(L"Nothing was ") + what +
               L": changing the computer's own list needs an administrator, and the request for administrator "
               L"rights was declined.";
    return std::wstring(L"Nothing was ") + what + L": " ZALTROW_CONSOLE_FILE L" could not be started with administrator rights. " +
           fw::SystemErrorText(error);
}
