#include "inventory/ProgramRows.h"

#include <map>
#include <utility>

#include "framework/FilePresence.h"
#include "framework/RegistryKey.h"
#include "inventory/EntryJudgement.h"

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
    for (ListedEntry& judged : listed) {
        const ProgramEntry& entry = *judged.entry;
        ProgramRow row{static_cast<std::size_t>(judged.entry - first), entry.displayName, entry.uninstallString,
                       judged.phantom, std::move(judged.reason), 0, EntryIdentity(entry), std::move(judged.file),
                       std::move(judged.args), kNoIconSource};
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
    switch (column) {
    case 0: return rows_[row].name;
    case 1: return rows_[row].command;
    default: return kNoText;
    }
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
