#include "app/ColumnSorter.h"

#include <new>

namespace {

// A-Z compare as a-z: the underscore, below the lower-case letters, sorts
// before every letter.
unsigned Folded(wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : static_cast<unsigned>(c); }

int CaseInsensitiveOrder(const std::wstring& a, const std::wstring& b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned x = Folded(a[i]);
        const unsigned y = Folded(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

}  // namespace

ColumnSorter::ColumnSorter(fw::ListView& list, int column) : list_(list), column_(column) {}

void ColumnSorter::Prepare() {
    const int count = list_.GetItemCount();
    for (int row = 0; row < count; ++row) {
        SortRecord* record = NewRecord(list_.GetItemText(row, column_), list_.GetItemData(row));
        if (!record) return;  // incomplete: Sort leaves the rows alone
        record->row = row;
        list_.SetItemData(row, reinterpret_cast<LPARAM>(record));
        ++replaced_;
    }
    complete_ = true;
}

ColumnSorter::~ColumnSorter() { Restore(); }

void ColumnSorter::Restore() {
    if (replaced_ == 0) return;
    if (sorted_) {
        try {
            newPositions_.assign(static_cast<std::size_t>(replaced_), -1);
        } catch (const std::bad_alloc&) {
            newPositions_.clear();  // the item data still go back below
        }
    }
    // Unsorted when incomplete, so the records sit in rows 0..replaced_-1.
    for (int row = 0; row < replaced_; ++row) {
        auto* record = reinterpret_cast<SortRecord*>(list_.GetItemData(row));
        if (!record) continue;
        list_.SetItemData(row, record->savedData);
        if (sorted_ && record->row >= 0 && record->row < replaced_) newPositions_[record->row] = row;
        delete record;
    }
    replaced_ = 0;
}

SortRecord* ColumnSorter::NewRecord(std::wstring text, LPARAM savedData) {
    auto* record = new (std::nothrow) SortRecord;
    if (!record) return nullptr;
    try {
        record->text = std::move(text);
    } catch (const std::bad_alloc&) {
        delete record;
        return nullptr;
    }
    record->savedData = savedData;
    return record;
}

void ColumnSorter::Sort(bool ascending) {
    if (!complete_) return;
    sorted_ = true;
    list_.SortItems(ascending ? &ColumnSorter::CompareAscending : &ColumnSorter::CompareDescending, 0);
}

int ColumnSorter::Compare(const std::wstring& a, const std::wstring& b, bool ascending) {
    return ascending ? CaseInsensitiveOrder(a, b) : CaseInsensitiveOrder(b, a);
}

int CALLBACK ColumnSorter::CompareAscending(LPARAM a, LPARAM b, LPARAM) {
    return Compare(reinterpret_cast<SortRecord*>(a)->text, reinterpret_cast<SortRecord*>(b)->text, true);
}

int CALLBACK ColumnSorter::CompareDescending(LPARAM a, LPARAM b, LPARAM) {
    return Compare(reinterpret_cast<SortRecord*>(a)->text, reinterpret_cast<SortRecord*>(b)->text, false);
}
