#include "inventory/ProgramRows.h"

#include <map>
#include <utility>

#include "framework/FilePresence.h"
#include "framework/RegistryKey.h"
#include "framework/LocaleTime.h"
#include "inventory/EntryJudgement.h"
#include "inventory/EntryProperties.h"
#include "inventory/SearchText.h"

namespace {

const std::wstring kNoText;

}  // namespace

ProgramRows::ProgramRows(std::vector<ProgramRow> rows) : rows_(std::move(rows)) {}

void ProgramRows::Fill(const ProgramInventory& inventory) {
    inventory_ = &inventory;
    rows_.clear();
    iconSources_.clear();
    const ProgramEntry* const first = inventory.Entries().data();
    std::vector<ListedEntry> listed = ListEntries(inventory);
    rows_.reserve(listed.size());
    // Paths are compared as Windows names files: in any letter case.
    std::map<std::pair<std::wstring, int>, std::size_t> sourceOf;
    // Many entries share a day: each is put in words once.
    std::map<std::uint32_t, std::wstring> dayText;
    for (ListedEntry& judged : listed) {
        const ProgramEntry& entry = *judged.entry;
        ProgramRow row;
        row.entry = static_cast<std::size_t>(judged.entry - first);
        row.name = entry.displayName;
        row.command = entry.uninstallString;
        row.phantom = judged.phantom;
        row.reason = std::move(judged.reason);
        row.identity = EntryIdentity(entry);
        row.file = std::move(judged.file);
        row.args = std::move(judged.args);
        row.source = entry.source;
        row.keyName = entry.keyName;
        row.publisher = entry.publisher;
        row.version = entry.displayVersion;
        row.location = entry.installLocation;
        row.listWords = SourceDescription(entry.source);
        if (const std::optional<CalendarDate> date = ParseInstallDate(entry.installDate)) {
            const std::uint32_t key = static_cast<std::uint32_t>(date->year * 10000 + date->month * 100 + date->day);
            auto [text, added] = dayText.try_emplace(key);
            if (added) text->second = fw::LocaleDay(date->year, date->month, date->day);
            // A day the system cannot put in words is blank, never a guess.
            if (!text->second.empty()) {
                row.installedOn = text->second;
                row.dateKey = key;
            }
        }
        if (entry.estimatedSizeKb) {
            row.sizeKb = entry.estimatedSizeKb;
            row.size = SizeText(entry.estimatedSizeKb);
        }
        if (!entry.iconPath.empty() && (MayOpenNetworkPaths(entry) || !fw::IsNetworkPath(entry.iconPath))) {
            const auto [source, added] =
                sourceOf.try_emplace({fw::FoldedKeyName(entry.iconPath), entry.iconIndex}, iconSources_.size());
            if (added) iconSources_.push_back({entry.iconPath, entry.iconIndex, {}});
            row.iconSource = source->second;
            iconSources_[source->second].rows.push_back(rows_.size());
        }
        rows_.push_back(std::move(row));
    }
}

const std::wstring& ProgramRows::Text(std::size_t row, int column) const {
    if (row >= rows_.size()) return kNoText;
    const ProgramRow& shown = rows_[row];
    switch (static_cast<ProgramColumn>(column)) {
    case ProgramColumn::Name: return shown.name;
    case ProgramColumn::Command: return shown.command;
    case ProgramColumn::Publisher: return shown.publisher;
    case ProgramColumn::Version: return shown.version;
    case ProgramColumn::InstalledOn: return shown.installedOn;
    case ProgramColumn::Size: return shown.size;
    case ProgramColumn::Location: return shown.location;
    case ProgramColumn::List: return shown.listWords;
    }
    return kNoText;
}

SortKey ProgramRows::Key(std::size_t row, int column) const {
    if (row >= rows_.size()) return {{}, 0, true};
    const ProgramRow& shown = rows_[row];
    switch (static_cast<ProgramColumn>(column)) {
    case ProgramColumn::InstalledOn: return {{}, shown.dateKey, shown.dateKey == 0};
    case ProgramColumn::Size: return {{}, shown.sizeKb, shown.sizeKb == 0};
    default: {
        const std::wstring& text = Text(row, column);
        return {text, 0, text.empty()};
    }
    }
}

bool ProgramRows::Matches(std::size_t row, std::wstring_view needle) const {
    if (row >= rows_.size()) return false;
    const ProgramRow& shown = rows_[row];
    return search_text::Matches({shown.name, shown.publisher, shown.keyName, shown.command}, needle);
}

const ProgramEntry* ProgramRows::Entry(std::size_t row) const {
    if (!inventory_ || row >= rows_.size() || rows_[row].entry >= inventory_->Count()) return nullptr;
    return &inventory_->Entries()[rows_[row].entry];
}

std::optional<std::size_t> ProgramRows::RowOfIdentity(const std::wstring& identity) const {
    for (std::size_t row = 0; row < rows_.size(); ++row)
        if (rows_[row].identity == identity) return row;
    return std::nullopt;
}

bool ProgramRows::AnyPhantom() const {
    for (const ProgramRow& row : rows_)
        if (row.phantom) return true;
    return false;
}

void ProgramRows::SetSourceImage(std::size_t source, int image) {
    if (source >= iconSources_.size()) return;
    for (std::size_t row : iconSources_[source].rows) rows_[row].image = image;
}
