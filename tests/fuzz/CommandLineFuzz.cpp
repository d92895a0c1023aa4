// The console program's words (zero code units part them) and its --from
// file.
#include <algorithm>

#include "FuzzInput.h"
#include "cli/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::WideOf(data, size);
    const ParsedCommandLine parsed = ParseCommandLine(fuzz::Split(text, L'\0'));
    fuzz::Check(parsed.command.has_value() != !parsed.error.empty(), "either a command or why not");
    if (parsed.command) {
        // A filter's text is a word given after its option, never made up.
        const std::vector<std::wstring> words = fuzz::Split(text, L'\0');
        for (const std::wstring* filter : {&parsed.command->match, &parsed.command->publisher})
            fuzz::Check(filter->empty() || std::find(words.begin(), words.end(), *filter) != words.end(),
                        "a filter's text is one of the words");
    }
    const TargetLines targets = ParseTargetLines(text);
    for (const EntryTarget& target : targets.targets) {
        if (targets.error.empty()) fuzz::Check(IsListName(target.list), "every target's list is a list name");
    }
    return 0;
}
