#pragma once
// The main window's list of Add/Remove Programs entries (report view):
// sorts by the clicked column, alternating direction; draws phantom rows
// (item data PhantomMark) in black on light red; rules a line under every
// row slot of the visible page.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "framework/ListView.h"

// Item data of a phantom row; 0 for every other row.
constexpr LPARAM PhantomMark = 100;

class ProgramListCtrl : public fw::ListView {
public:
    static constexpr COLORREF kPhantomText = RGB(0, 0, 0);
    static constexpr COLORREF kPhantomBackground = RGB(255, 180, 180);
    static constexpr COLORREF kRulingColor = RGB(225, 225, 225);

    void SortByColumn(int column, bool ascending);
    // Sorts again by column 0 in the current direction.
    void Resort() { SortByColumn(0, sortAscending); }
    // True when a row with text `a` in the sort column belongs before one
    // with `b` in the current direction (the comparison SortByColumn uses).
    bool InOrder(const std::wstring& a, const std::wstring& b) const;

    bool OnReflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Where the rows of the last fill are now, and which entry each shows.
    // A fill puts rows in at positions 0..n-1 and says so, with the number
    // of the entry (in its owner's inventory) of each; only sorting moves
    // them after that. The item data stay free for PhantomMark.
    void RowsFilled(std::vector<std::size_t> entries);
    // The current position of the row a fill put in at `filledAt`; -1 when
    // there is no such row.
    int CurrentRow(int filledAt) const;
    // The entry number of the row now at `row`; none for a row that no fill
    // put in.
    std::optional<std::size_t> EntryAt(int row) const;

    bool sortAscending = true;
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return sortAscending; }
    // The sort the next fill applies.
    void SetSort(int column, bool ascending) {
        sortColumn_ = column;
        sortAscending = ascending;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
    void DrawRulingLines();

    int sortColumn_ = 0;
    std::vector<int> rowOfFilled_;            // current position by position at the fill
    std::vector<std::size_t> entryOfFilled_;  // entry number by position at the fill
};
