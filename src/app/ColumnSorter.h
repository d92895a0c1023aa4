#pragma once
// Sorting the program list by one column's text. LVM_SORTITEMS hands the
// comparison only the rows' item data, so for the length of one sort each
// row's item data is replaced by a SortRecord holding its text and its own
// item data; the sorter puts every row's item data back when it goes.

#include <windows.h>

#include <string>
#include <vector>

#include "framework/ListView.h"

struct SortRecord {
    virtual ~SortRecord() = default;
    std::wstring text;      // the row's text in the sort column
    LPARAM savedData = 0;   // the row's item data before the sort
    int row = 0;            // the row's position before the sort
};

class ColumnSorter {
public:
    ColumnSorter(fw::ListView& list, int column);
    virtual ~ColumnSorter();
    ColumnSorter(const ColumnSorter&) = delete;
    ColumnSorter& operator=(const ColumnSorter&) = delete;

    // Replaces every row's item data by a record. Separate from the
    // constructor so that a derived sorter's NewRecord is the one used.
    void Prepare();
    // Sorts the rows; does nothing when a record could not be made, so the
    // list stays as it was.
    void Sort(bool ascending);
    bool Complete() const { return complete_; }
    // Puts every row's own item data back (the destructor does it when this
    // was not called) and notes where each row went.
    void Restore();
    // True when Sort ran, so rows may have moved.
    bool Sorted() const { return sorted_; }
    // After Restore of a sort that ran: the new position of the row that
    // was at position i before; empty when there was no memory to say.
    const std::vector<int>& NewPositions() const { return newPositions_; }

    // The order of a against b, reversed when descending: character by
    // character, A-Z as a-z, every other character by its UTF-16 value.
    static int Compare(const std::wstring& a, const std::wstring& b, bool ascending);

protected:
    // Makes one record; null when there is no memory for it. Called from
    // Prepare, once per row.
    virtual SortRecord* NewRecord(std::wstring text, LPARAM savedData);

private:
    static int CALLBACK CompareAscending(LPARAM a, LPARAM b, LPARAM);
    static int CALLBACK CompareDescending(LPARAM a, LPARAM b, LPARAM);

    fw::ListView& list_;
    int column_;
    int replaced_ = 0;  // rows whose item data is a record
    bool complete_ = false;
    bool sorted_ = false;
    std::vector<int> newPositions_;
};
