// The --result file's lines, as the window reads back what the elevated
// console program did: a line read is written back as the same line (bar
// stray CRs inside it, which the writer never writes and reads as blanks).
#include "FuzzInput.h"
#include "inventory/ResultLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (std::wstring line : fuzz::Split(fuzz::WideOf(data, size), L'\n')) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();  // as the window reads the file
        const std::optional<OperationResult> read = ParseResultFileLine(line);
        if (!read) continue;
        const std::optional<OperationResult> again = ParseResultFileLine(ResultFileLine(*read));
        fuzz::Check(again.has_value(), "a line written from what was read reads back");
        fuzz::Check(again->list == OneLine(read->list) && again->key == OneLine(read->key) &&
                        again->outcome == read->outcome && again->detail == OneLine(read->detail),
                    "written and read again, the result is the same");
    }
    // The hand-off's handle form: what reads as one writes back the same.
    const std::wstring whole = fuzz::WideOf(data, size);
    if (const std::optional<ResultHandle> lent = ParseResultHandleArgument(whole))
        fuzz::Check(ResultHandleArgument(lent->process, lent->handle) == whole, "a handle argument reads back as written");
    return 0;
}
