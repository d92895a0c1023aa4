#include "inventory/BackupKeys.h"

#include "inventory/EntryKeyName.h"
#include "registry/RegistryText.h"

namespace {

constexpr std::u16string_view kWindowsParts[] = {u"Microsoft", u"Windows", u"CurrentVersion"};
constexpr std::u16string_view kUninstall = u"\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr std::u16string_view kArpCache = u"\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache\\";

// Names that differ in the case of letters other than ASCII ones count as
// different: that can only refuse a file, never merge two entries.
using registry_text::SameIgnoringAsciiCase;

bool StartsWith(std::u16string_view text, std::u16string_view start) {
    return text.size() >= start.size() && SameIgnoringAsciiCase(text.substr(0, start.size()), start);
}

enum class List { None, Machine, Machine32, User, OtherUser };

// A user's own SID, as HKEY_USERS names a loaded hive: S-1-5-21-... (local
// and domain accounts) or S-1-12-1-... (Azure AD ones), then only decimal
// sub-authorities. Anything else (_Classes hives, letters, empty parts)
// is no user's list.
bool IsUserSid(std::u16string_view sid) {
    std::u16string_view rest;
    for (std::u16string_view start : {std::u16string_view(u"S-1-5-21-"), std::u16string_view(u"S-1-12-1-")})
        if (StartsWith(sid, start)) rest = sid.substr(start.size());
    if (rest.empty()) return false;
    std::size_t digits = 0;
    for (const char16_t c : rest) {
        if (c == u'-') {
            if (digits == 0) return false;
            digits = 0;
        } else if (c >= u'0' && c <= u'9' && digits < 10) {
            ++digits;
        } else {
            return false;
        }
    }
    return digits > 0;
}

// The list whose root the first parts of a name are, and how many parts
// that root has.
List ListOf(const std::vector<std::u16string_view>& parts, std::size_t& rootParts) {
    const auto is = [&](std::size_t i, std::u16string_view name) {
        return i < parts.size() && SameIgnoringAsciiCase(parts[i], name);
    };
    if (is(0, u"HKEY_LOCAL_MACHINE") && is(1, u"SOFTWARE")) {
        rootParts = is(2, u"Wow6432Node") ? 3 : 2;
        return rootParts == 3 ? List::Machine32 : List::Machine;
    }
    rootParts = 2;
    if (is(0, u"HKEY_CURRENT_USER") && is(1, u"Software")) return List::User;
    rootParts = 3;
    if (is(0, u"HKEY_USERS") && parts.size() > 1 && IsUserSid(parts[1]) && is(2, u"Software")) return List::OtherUser;
    return List::None;
}

struct Place {
    std::u16string_view listRoot;
    std::u16string_view keyName;
    bool uninstallKey = false;  // the entry's Uninstall key itself
};

// Where a key of the file stands: in which list, under which entry.
std::optional<Place> PlaceOf(std::u16string_view name) {
    const std::vector<std::u16string_view> parts = registry_text::KeyNameParts(name);
    // Parts the registry would take other than as written, or not at all.
    for (std::u16string_view part : parts) {
        if (part.empty() || part == u"." || part == u"..") return std::nullopt;
    }
    std::size_t i = 0;
    if (ListOf(parts, i) == List::None) return std::nullopt;
    Place place;
    place.listRoot = name.substr(0, parts[i - 1].data() + parts[i - 1].size() - name.data());
    for (std::u16string_view fixed : kWindowsParts) {
        if (i == parts.size() || !SameIgnoringAsciiCase(parts[i++], fixed)) return std::nullopt;
    }
    std::size_t keyIndex = 0;
    if (i + 1 < parts.size() && SameIgnoringAsciiCase(parts[i], u"Uninstall")) {
        keyIndex = i + 1;
        place.uninstallKey = keyIndex + 1 == parts.size();
    } else if (i + 2 < parts.size() && SameIgnoringAsciiCase(parts[i], u"App Management") && SameIgnoringAsciiCase(parts[i + 1], u"ARPCache")) {
        keyIndex = i + 2;
    } else {
        return std::nullopt;
    }
    place.keyName = parts[keyIndex];
    return place;
}

std::u16string Quoted(std::u16string_view text) {
    // Appended: GCC 12 misreads the same sum as overlapping copies.
    std::u16string quoted(u"\"");
    quoted.append(text).append(u"\"");
    return quoted;
}

// A text value's characters up to its first zero; a lone last byte is no
// character.
std::u16string TextOf(const std::vector<std::uint8_t>& data) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

}  // namespace

std::optional<BackupEntry> EntryOfBackupKeys(const std::vector<reg_file::Key>& keys, std::u16string& reason) {
    if (keys.empty()) {
        reason = u"It holds no keys.";
        return std::nullopt;
    }
    std::optional<Place> first;
    const reg_file::Key* uninstallKey = nullptr;
    for (const reg_file::Key& key : keys) {
        const std::optional<Place> place = PlaceOf(key.name);
        if (!place) {
            reason = Quoted(key.name) + u" is not part of an Add/Remove Programs entry.";
            return std::nullopt;
        }
        for (std::u16string_view part : registry_text::KeyNameParts(key.name)) {
            if (part.size() > kMaxEntryKeyChars) {
                reason = Quoted(key.name) + u" has a part longer than a key name can be.";
                return std::nullopt;
            }
        }
        if (!first) first = place;
        if (!SameIgnoringAsciiCase(place->listRoot, first->listRoot) || !SameIgnoringAsciiCase(place->keyName, first->keyName)) {
            reason = u"It holds more than one entry: " + Quoted(keys.front().name) + u" and " + Quoted(key.name) + u".";
            return std::nullopt;
        }
        if (place->uninstallKey && !uninstallKey) uninstallKey = &key;
    }
    if (!uninstallKey) {
        reason = u"It holds no Uninstall key, only an ARPCache record.";
        return std::nullopt;
    }
    const Place place = *PlaceOf(uninstallKey->name);
    BackupEntry entry{std::u16string(place.listRoot), std::u16string(place.keyName), {}};
    for (const reg_file::Value& value : uninstallKey->values) {
        if (SameIgnoringAsciiCase(value.name, u"DisplayName") &&
            (value.type == reg_file::kString || value.type == reg_file::kExpandString))
            entry.displayName = TextOf(value.data);
    }
    return entry;
}

std::u16string UninstallKeyName(const BackupEntry& entry) {
    return entry.listRoot + std::u16string(kUninstall) + entry.keyName;
}

std::u16string ArpCacheKeyName(const BackupEntry& entry) {
    return entry.listRoot + std::u16string(kArpCache) + entry.keyName;
}

std::u16string ListNameOfRoot(std::u16string_view listRoot, bool systemIs64Bit) {
    const std::vector<std::u16string_view> parts = registry_text::KeyNameParts(listRoot);
    std::size_t rootParts = 0;
    const List list = ListOf(parts, rootParts);
    if (rootParts != parts.size()) return {};
    switch (list) {
    case List::Machine: return systemIs64Bit ? u"machine-64" : u"machine-32";
    case List::Machine32: return u"machine-32";
    case List::User: return u"user";
    case List::OtherUser: return u"user:" + std::u16string(parts[1]);
    default: return {};
    }
}

std::u16string InOneMachineView(std::u16string_view keyName) {
    const std::vector<std::u16string_view> parts = registry_text::KeyNameParts(keyName);
    std::size_t rootParts = 0;
    if (ListOf(parts, rootParts) != List::Machine32) return std::u16string(keyName);
    // The third part goes, with the backslash before it.
    const std::size_t start = static_cast<std::size_t>(parts[2].data() - keyName.data()) - 1;
    return std::u16string(keyName.substr(0, start)) + std::u16string(keyName.substr(start + 1 + parts[2].size()));
}

namespace {

constexpr std::u16string_view kCountedMark = u" A backup of one Add/Remove Programs entry; its last line counts its keys and values.";

std::u16string CountLine(const std::vector<reg_file::Key>& keys) {
    std::size_t values = 0;
    for (const reg_file::Key& key : keys) values += key.values.size();
    const auto number = [](std::size_t n) {
        std::u16string digits;
        do digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10)); while (n /= 10);
        return digits;
    };
    // Built by appending: GCC 12 misreads the same sum as overlapping copies.
    std::u16string line(u" ");
    line.append(number(keys.size())).append(keys.size() == 1 ? u" key, " : u" keys, ");
    line.append(number(values)).append(values == 1 ? u" value" : u" values");
    return line;
}

}  // namespace

std::u16string BackupFileText(const std::vector<reg_file::Key>& keys) {
    std::u16string text = reg_file::FileText(keys);
    // After the header line, before the blank line that follows it.
    const std::size_t headerEnd = reg_file::kHeader.size() + 2;
    std::u16string mark(u";");
    mark.append(kCountedMark).append(u"\r\n");
    text.insert(headerEnd, mark);
    text.append(u";").append(CountLine(keys)).append(u"\r\n");
    return text;
}

std::u16string BackupCountProblem(const std::vector<std::u16string>& comments, const std::vector<reg_file::Key>& keys) {
    if (comments.empty() || comments.front() != kCountedMark) return {};
    if (comments.size() < 2 || comments.back() != CountLine(keys))
        return u"It is not whole: its last line does not count the keys and values it holds, so it was cut short or changed.";
    return {};
}
