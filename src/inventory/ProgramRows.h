#pragma once
// The rows of the program list, made once per fill from the inventory: each
// listed entry with its judgement, the texts of its columns, its icon slot
// and what identifies it in the next fill. The list control renders from
// this model, sorting, Properties and Uninstall read it, and nothing judges
// an entry a second time.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "inventory/EntryValidation.h"
#include "inventory/ProgramInventory.h"
#include "inventory/RowSort.h"

struct ProgramRow {
    std::size_t entry = 0;  // in the inventory the rows were made from
    std::wstring name;      // column 0: the entry's name
    std::wstring command;   // column 1: its uninstall command
    bool phantom = false;   // red: its uninstaller is gone
    std::wstring reason;    // why it is red, in words; empty otherwise
    int image = 0;          // in the list's image list; 0 the placeholder
    std::wstring identity;  // EntryIdentity of the entry
    // What Uninstall starts, as the judgement resolved it.
    std::wstring file;
    std::wstring args;
    std::size_t iconSource = static_cast<std::size_t>(-1);  // in IconSources(); kNoIconSource for none
    // The columns Programs and Features shows, read in the same walk.
    EntrySource source = EntrySource::Machine;
    std::wstring keyName;
    std::wstring publisher;
    std::wstring version;
    std::wstring installedOn;  // the user's short date; empty for a date that names no day
    std::wstring size;         // KB, MB or GB; empty where the entry gives none
    std::wstring location;
    std::wstring listWords;    // whose list, as the Properties view says it
    std::uint32_t dateKey = 0;  // YYYYMMDD of installedOn; 0 when blank
    std::uint32_t sizeKb = 0;
};

// One icon file and index, with every row that shows it: many entries name
// MsiExec.exe or one setup program, and each source is extracted once.
struct RowIconSource {
    std::wstring path;
    int index = 0;
    std::vector<std::size_t> rows;  // in row order
};

class ProgramRows {
public:
    static constexpr std::size_t kNoIconSource = static_cast<std::size_t>(-1);
    static constexpr int kColumns = kProgramColumns;

    ProgramRows() = default;
    // Rows made elsewhere, with no inventory behind them (Entry() is null).
    explicit ProgramRows(std::vector<ProgramRow> rows);

    // The listed entries of `inventory`, judged, in inventory order; the
    // inventory must outlive the rows or the next Fill.
    void Fill(const ProgramInventory& inventory);

    std::size_t Count() const { return rows_.size(); }
    const ProgramRow& operator[](std::size_t row) const { return rows_[row]; }
    const std::vector<ProgramRow>& All() const { return rows_; }
    // The text a column (a ProgramColumn) shows; empty for a column there is not.
    const std::wstring& Text(std::size_t row, int column) const;
    // What the column sorts the row by (RowSort); a blank for no such row.
    SortKey Key(std::size_t row, int column) const;
    // The search box's rule (search_text::Matches) over the row's name,
    // publisher, key name and uninstall command.
    bool Matches(std::size_t row, std::wstring_view needle) const;
    // The entry a row was made from; null for no such row or no inventory.
    const ProgramEntry* Entry(std::size_t row) const;
    // The row of the entry whose EntryIdentity is `identity`.
    std::optional<std::size_t> RowOfIdentity(const std::wstring& identity) const;
    bool AnyPhantom() const;

    const std::vector<RowIconSource>& IconSources() const { return iconSources_; }
    // Every row of the source shows `image` from now on.
    void SetSourceImage(std::size_t source, int image);

private:
    const ProgramInventory* inventory_ = nullptr;
    std::vector<ProgramRow> rows_;
    std::vector<RowIconSource> iconSources_;
};
