// The window reads the elevated step's result lines while the step runs:
// a line is taken once it is written whole, never half of one, and what
// is left unended when the step ends is read then. Asked to stop, it makes
// the list it lent longer, once.
#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "inventory/ElevatedHandOff.h"
#include "inventory/ResultLine.h"

namespace {

std::string Line(const wchar_t* key, OperationOutcome outcome) {
    OperationResult result{L"machine", key, L"", outcome, L""};
    result.uninstall = UninstallFields{};
    std::string bytes;
    for (wchar_t c : ResultFileLine(result)) bytes += static_cast<char>(c);
    return bytes;
}

}  // namespace

TEST(ElevatedHandOffTest, ResultLinesArriveWhenWrittenWhole) {
    const std::string first = Line(L"First", OperationOutcome::Uninstalled) + "\r\n";
    const std::string second = Line(L"Second", OperationOutcome::Skipped);
    // What the step has written by each look while it runs, and the keys
    // the window has heard of by then.
    struct Look {
        std::string written;
        std::vector<std::wstring> heard;
        bool stop;            // the window asks to stop by then
        LONGLONG listGrewBy;  // and the lent list has grown by this much
    };
    const std::vector<Look> looks = {
        {"", {}, false, 0},
        {first.substr(0, 7), {}, false, 0},
        {first.substr(7), {L"First"}, true, 2},
        {second.substr(0, 5), {L"First"}, true, 2},
        {second.substr(5), {L"First"}, true, 2},  // no line end yet: it may go on
    };
    std::vector<std::wstring> heard;
    std::size_t look = 0;
    bool stop = false;
    const ElevatedRunner run = [&](const std::wstring&, const std::wstring& arguments, const std::wstring&,
                                   DWORD& exitCode, const std::function<void()>& whileWaiting) -> DWORD {
        const auto lent = [&](const wchar_t* option) -> HANDLE {
            std::wsmatch found;
            if (!std::regex_search(arguments, found, std::wregex(std::wstring(option) + L" \"handle:\\d+:(\\d+)\"")))
                return nullptr;
            return reinterpret_cast<HANDLE>(std::stoull(found[1].str()));
        };
        const HANDLE result = lent(L"--result"), list = lent(L"--from");
        if (!result || !list) return ERROR_INVALID_PARAMETER;
        LARGE_INTEGER listed{}, now{};
        GetFileSizeEx(list, &listed);
        for (look = 0; look < looks.size(); ++look) {
            DWORD written = 0;
            WriteFile(result, looks[look].written.data(), static_cast<DWORD>(looks[look].written.size()), &written,
                      nullptr);
            stop = looks[look].stop;
            whileWaiting();
            EXPECT_EQ(heard, looks[look].heard) << "look " << look;
            GetFileSizeEx(list, &now);
            EXPECT_EQ(now.QuadPart - listed.QuadPart, looks[look].listGrewBy) << "look " << look;
        }
        exitCode = 0;
        return ERROR_SUCCESS;
    };
    ProgramEntry entry;
    entry.keyName = L"First";
    const ElevatedHandOff::HandOffOutcome outcome = ElevatedHandOff::Uninstall(
        run, {entry}, [&](const OperationResult& line) { heard.push_back(line.key); }, [&] { return stop; });
    EXPECT_EQ(look, looks.size());
    EXPECT_EQ(outcome.error, static_cast<DWORD>(ERROR_SUCCESS));
    // The step has ended: its last line counts, end or none.
    EXPECT_EQ(heard, (std::vector<std::wstring>{L"First", L"Second"}));
    ASSERT_EQ(outcome.results.size(), 2u);
    EXPECT_EQ(outcome.results[1].outcome, OperationOutcome::Skipped);
}
