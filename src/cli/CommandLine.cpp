#include "cli/CommandLine.h"

#include <algorithm>
#include <array>

#include "inventory/EntryKeyName.h"

namespace {

struct VerbName {
    std::wstring_view name;
    Verb verb;
    std::wstring_view options;  // the options it takes, each followed by a blank
};

constexpr std::array<VerbName, 7> kVerbs{{
    {L"list", Verb::List, L"--json --csv --html --phantoms --all-users --match --publisher "},
    {L"check", Verb::Check, L"--json --all-users --match --publisher "},
    {L"clean", Verb::Clean, L"--json --dry-run --all-users --backups "},
    {L"remove", Verb::Remove, L"--json --from --backups --result "},
    {L"restore", Verb::Restore, L"--json --replace --backups --result --sha256 "},
    {L"backups", Verb::Backups, L"--json --csv --backups "},
    {L"uninstall", Verb::Uninstall,
     L"--json --from --match --publisher --all-users --quiet --remove-if-phantom --timeout --result --dry-run --backups "},
}};

bool Takes(const VerbName& verb, std::wstring_view option) {
    const std::size_t at = verb.options.find(option);
    return at != std::wstring_view::npos && (at == 0 || verb.options[at - 1] == L' ') &&
           verb.options[at + option.size()] == L' ';
}

ParsedCommandLine Error(std::wstring text) { return {std::nullopt, std::move(text) + L" (zaltrow help shows the usage)"}; }

}  // namespace

bool IsListName(std::wstring_view name) {
    if (name == L"machine-64" || name == L"machine-32" || name == L"user") return true;
    constexpr std::wstring_view kUserPrefix = L"user:S-";
    if (!name.starts_with(kUserPrefix) || name.size() == kUserPrefix.size()) return false;
    const std::wstring_view sid = name.substr(kUserPrefix.size());
    return std::all_of(sid.begin(), sid.end(), [](wchar_t c) { return (c >= L'0' && c <= L'9') || c == L'-'; });
}

ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& words) {
    if (words.empty()) return Error(L"No verb given");
    const auto endOfOptions = std::find(words.begin(), words.end(), L"--");
    if (words[0] == L"help") return {CommandLine{}, {}};
    if (words.size() == 1 && words[0] == L"--version") {
        CommandLine version;
        version.verb = Verb::Version;
        return {version, {}};
    }
    for (auto word = words.begin(); word != endOfOptions; ++word)
        if (*word == L"--help" || *word == L"-h" || *word == L"/?") return {CommandLine{}, {}};

    const auto verb = std::find_if(kVerbs.begin(), kVerbs.end(), [&](const VerbName& v) { return v.name == words[0]; });
    if (verb == kVerbs.end()) return Error(L"Unknown verb \"" + words[0] + L"\"");
    CommandLine command;
    command.verb = verb->verb;
    std::vector<std::wstring> seen, positional;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::wstring& word = words[i];
        if (word == L"--") {
            positional.insert(positional.end(), words.begin() + static_cast<std::ptrdiff_t>(i) + 1, words.end());
            break;
        }
        if (!word.starts_with(L"--")) {
            positional.push_back(word);
            continue;
        }
        if (!Takes(*verb, word)) return Error(L"\"" + word + L"\" is not an option of " + std::wstring(verb->name));
        if (std::find(seen.begin(), seen.end(), word) != seen.end()) return Error(word + L" is given twice");
        seen.push_back(word);
        if (word == L"--sha256") {
            if (i + 1 >= words.size() || words[i + 1].empty()) return Error(word + L" needs the files' digests after it");
            const std::wstring& list = words[++i];
            for (std::size_t start = 0;;) {
                const std::size_t comma = list.find(L',', start);
                const std::wstring digest = list.substr(start, comma - start);
                if (digest.size() != 64 || digest.find_first_not_of(L"0123456789abcdefABCDEF") != std::wstring::npos)
                    return Error(L"\"" + digest + L"\" is not a SHA-256 in hexadecimal");
                command.sha256s.push_back(digest);
                if (comma == std::wstring::npos) break;
                start = comma + 1;
            }
        } else if (word == L"--backups" || word == L"--from" || word == L"--result") {
            if (i + 1 >= words.size() || words[i + 1].empty()) return Error(word + L" needs a file or folder after it");
            std::wstring& value = word == L"--backups" ? command.backups : word == L"--from" ? command.from : command.result;
            value = words[++i];
        } else if (word == L"--match" || word == L"--publisher") {
            // An empty text would match everything: a typing slip, not a filter.
            if (i + 1 >= words.size() || words[i + 1].empty()) return Error(word + L" needs a text after it");
            (word == L"--match" ? command.match : command.publisher) = words[++i];
        } else if (word == L"--timeout") {
            const std::wstring value = i + 1 < words.size() ? words[++i] : L"";
            unsigned minutes = 0;
            const bool digits = !value.empty() && value.size() <= 4 && value.find_first_not_of(L"0123456789") == std::wstring::npos;
            if (digits) minutes = static_cast<unsigned>(std::stoul(value));
            if (!digits || minutes < 1 || minutes > kMaxTimeoutMinutes)
                return Error(L"--timeout needs whole minutes from 1 to " + std::to_wstring(kMaxTimeoutMinutes));
            command.timeoutMinutes = minutes;
        } else if (word == L"--json" || word == L"--csv" || word == L"--html") {
            if (command.format != ReportFormat::Text) return Error(L"--json, --csv and --html exclude each other");
            command.format = word == L"--json" ? ReportFormat::Json : word == L"--csv" ? ReportFormat::Csv : ReportFormat::Html;
        } else {
            (word == L"--phantoms"           ? command.phantomsOnly
             : word == L"--all-users"         ? command.allUsers
             : word == L"--dry-run"           ? command.dryRun
             : word == L"--quiet"             ? command.quiet
             : word == L"--remove-if-phantom" ? command.removeIfPhantom
                                              : command.replace) = true;
        }
    }

    const bool searched = !command.match.empty() || !command.publisher.empty();
    switch (command.verb) {
    case Verb::Uninstall:
        if ((!command.from.empty()) + (!positional.empty()) + searched > 1)
            return Error(L"Name the entries in one way: as arguments, with --from or with --match/--publisher");
        if (command.from.empty() && positional.empty() && !searched)
            return Error(L"uninstall needs LIST KEY pairs, --from FILE or --match TEXT");
        if (command.allUsers && !searched) return Error(L"--all-users goes with --match or --publisher");
        [[fallthrough]];
    case Verb::Remove:
        if (!command.from.empty() && !positional.empty()) return Error(L"Name the entries either with --from or as arguments");
        if (command.from.empty() && positional.empty() && !searched)
            return Error(L"remove needs LIST KEY pairs or --from FILE");
        if (positional.size() % 2 != 0)
            return Error(std::wstring(verb->name) + L" takes pairs of LIST KEY; the last list has no key");
        for (std::size_t i = 0; i < positional.size(); i += 2) {
            if (!IsListName(positional[i])) return Error(L"\"" + positional[i] + L"\" is not a list's name");
            if (const std::wstring problem = EntryKeyProblem(positional[i + 1]); !problem.empty())
                return Error(L"The key \"" + positional[i + 1] + L"\" after " + positional[i] + L" " + problem +
                             (command.verb == Verb::Remove ? L"; nothing was removed" : L"; nothing was uninstalled"));
            command.targets.push_back({positional[i], positional[i + 1]});
        }
        break;
    case Verb::Restore:
        if (positional.empty()) return Error(L"restore needs the backup files to restore");
        if (!command.sha256s.empty() && command.sha256s.size() != positional.size())
            return Error(L"--sha256 needs one digest per file");
        command.files = std::move(positional);
        break;
    default:
        if (!positional.empty()) return Error(L"Unexpected \"" + positional[0] + L"\"");
    }
    return {std::move(command), {}};
}

TargetLines ParseTargetLines(std::wstring_view text) {
    TargetLines parsed;
    std::size_t number = 0;
    if (text.starts_with(L'\xFEFF')) text.remove_prefix(1);  // a byte-order mark
    while (!text.empty()) {
        const std::size_t end = text.find(L'\n');
        std::wstring_view line = text.substr(0, end);
        text = end == std::wstring_view::npos ? std::wstring_view() : text.substr(end + 1);
        ++number;
        if (line.ends_with(L'\r')) line.remove_suffix(1);
        if (line.empty()) continue;
        const std::size_t tab = line.find(L'\t');
        const std::wstring_view list = line.substr(0, tab);
        if (tab == std::wstring_view::npos || tab + 1 == line.size() || !IsListName(list)) {
            parsed.targets.clear();
            parsed.error = L"Line " + std::to_wstring(number) + L" is not LIST<TAB>KEY";
            return parsed;
        }
        const std::wstring key(line.substr(tab + 1));
        if (const std::wstring problem = EntryKeyProblem(key); !problem.empty()) {
            parsed.targets.clear();
            parsed.error = L"Line " + std::to_wstring(number) + L": the key \"" + key + L"\" " + problem;
            return parsed;
        }
        parsed.targets.push_back({std::wstring(list), key});
    }
    return parsed;
}

