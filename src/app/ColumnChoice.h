#pragma once
// Which of the program list's columns are shown, in what order and how
// wide, and the header's menu that chooses them. A hidden column is taken
// out of the list control, not squeezed to no width, so it cannot be
// dragged back open by accident; the shown ones keep the order of their
// ProgramColumn numbers as list columns (Name is column 0 with the icon,
// the uninstall command column 1 whenever it is shown), and their order
// on screen is the header's own. Name is always shown.

#include <windows.h>

#include <array>
#include <optional>
#include <vector>

#include "framework/ListView.h"
#include "inventory/ProgramColumn.h"

class ColumnChoice {
public:
    // By ProgramColumn number: widths in pixels, the order on screen (the
    // shown columns left to right, then the hidden ones), shown or not.
    struct Layout {
        std::array<int, kProgramColumns> widths{};
        std::array<int, kProgramColumns> order{};
        std::array<bool, kProgramColumns> shown{};
    };
    // The layout a new user sees, at `dpi`.
    static Layout DefaultLayout(UINT dpi);

    // Once, on an empty list: the default columns at `dpi`.
    void SetUp(fw::ListView& list, UINT dpi);
    // What the list shows now; hidden columns with the width they had.
    Layout Current(const fw::ListView& list) const;
    // Shows `layout` (its Name column always shown); an order that is no
    // arrangement of the columns keeps the default one.
    void Apply(fw::ListView& list, const Layout& layout);
    void SetShown(fw::ListView& list, ProgramColumn column, bool shown);
    bool Shown(ProgramColumn column) const { return IndexOf(column) >= 0; }

    // The list column showing `column`; -1 when it is hidden.
    int IndexOf(ProgramColumn column) const;
    // What list column `index` shows; Name for none.
    ProgramColumn ColumnAt(int index) const;
    int ShownCount() const { return static_cast<int>(shown_.size()); }

    // The header's menu at `screen`: every column with a check mark where
    // shown (Name's greyed). The column the user chose to show or hide.
    std::optional<ProgramColumn> Choose(HWND owner, POINT screen) const;

private:
    // The shown columns' numbers left to right on screen.
    std::vector<int> ScreenOrder(const fw::ListView& list) const;
    void SetScreenOrder(fw::ListView& list, const std::vector<int>& columns) const;

    std::vector<ProgramColumn> shown_;  // by list column: ascending numbers
    std::array<int, kProgramColumns> hiddenWidths_{};  // what a hidden column opens at again
    std::vector<int> hiddenOrder_;  // the hidden columns' numbers, as stored
};
