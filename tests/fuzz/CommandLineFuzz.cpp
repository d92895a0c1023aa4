// The console program's words (zero code units part them) and its --from
// file.
#include "FuzzInput.h"
#include "cli/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::WideOf(data, size);
    const ParsedCommandLine parsed = ParseCommandLine(fuzz::Split(text, L'\0'));
    fuzz::Check(parsed.command.has_value() != !parsed.error.empty(), "either a command or why not");
    const TargetLines targets = ParseTargetLines(text);
    for (const EntryTarget& target : targets.targets) {
        if (targets.error.empty()) fuzz::Check(IsListName(target.list), "every target's list is a list name");
    }
    return 0;
}
