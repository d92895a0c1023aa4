#pragma once
// The main window's list of Add/Remove Programs entries (report view).
//
// The control renders a row model (ProgramRows) that its owner keeps: the
// list view keeps only each row's item data (PhantomMark on red rows) and
// selection, and asks for texts and image by callback (LVN_GETDISPINFO), so
// any program reading the list through the ordinary messages still gets
// them. A header click sorts the control's order of the model's rows
// (stable, as the platform's merge sort) and touches only the rows whose
// item data or selection changes. A filter shows some of the model's rows
// only, in the same order; rows it hides are no items of the control, so
// nothing selects or acts on them. The columns are ColumnChoice's.
// Red rows are light red with the phantom badge over their icon; selected
// red rows dark red with white text. A line is ruled under every row slot
// of the visible page. In the dark look (SetLook) the rows, the selection
// and the header take the dark palette's colours.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/ColumnChoice.h"
#include "app/ThemePalette.h"
#include "app/ThemedListView.h"
#include "framework/ListView.h"
#include "framework/UniqueHandle.h"
#include "inventory/ProgramRows.h"

// Item data of a phantom row; 0 for every other row.
constexpr LPARAM PhantomMark = 100;


class ProgramListCtrl : public ThemedListView {
public:
    // The light look's colours; the dark look's are theme::kDarkRows.
    static constexpr COLORREF kPhantomText = theme::kLightRows.phantomText;
    static constexpr COLORREF kPhantomBackground = theme::kLightRows.phantomBackground;
    static constexpr COLORREF kSelectedPhantomText = theme::kLightRows.selectedPhantomText;
    static constexpr COLORREF kSelectedPhantomBackground = theme::kLightRows.selectedPhantomBackground;
    static constexpr COLORREF kRulingColor = theme::kLightRows.ruling;
    // The phantom badge's size at 100 % scale, in the icon cell's bottom
    // right corner: half the row icon's.
    static constexpr int kBadgeSize = 16;

    // Once: the default columns at `dpi` and the header's sort arrow.
    void SetUp(UINT dpi);
    ColumnChoice& Columns() { return columns_; }
    const ColumnChoice& Columns() const { return columns_; }
    // Shows or hides a column; a hidden sort column gives the sort to Name.
    void SetColumnShown(ProgramColumn column, bool shown);
    // The badge red rows show over their icon: the phantom icon at half
    // the row icon's size (kBadgeSize at 100 %).
    void SetBadge(fw::Icon phantomBadge);
    // The colours of rows, ruling lines and header; the owner gives the
    // list its background and text colours.
    void SetLook(theme::Look look);
    theme::Look Look() const { return look_; }
    // Shows every row of `rows` (none for null), put in the current sort
    // order (rows that tie keep the model's order). The model must live
    // as long as it is shown; a change to it is shown again by Show.
    void Show(const ProgramRows* rows);
    // Which of the model's rows are shown, by the model's row; none (the
    // default) shows all. Kept for the next Show, as a filter stays on
    // through a refresh: the owner gives it again for the new rows.
    using RowFilter = std::function<bool(std::size_t modelRow)>;
    void SetFilter(RowFilter shown);
    // Rows shown; rows of the model.
    std::size_t ShownCount() const { return order_.size(); }
    std::size_t ModelCount() const { return model_ ? model_->Count() : 0; }

    // The model's row now at `row`; none for no such row.
    std::optional<std::size_t> ModelRowAt(int row) const;
    const ProgramRow* RowAt(int row) const;
    // Where the model's row is shown now; -1 for nowhere.
    int PositionOf(std::size_t modelRow) const;
    // Paints those of the model's rows that are on screen again (after
    // their images changed).
    void RedrawModelRows(const std::vector<std::size_t>& modelRows);

    // The entry of the row now at `row`; none for no such row.
    std::optional<std::size_t> EntryAt(int row) const;
    // The row now showing `entry`; -1 for none.
    int RowOfEntry(std::size_t entry) const;
    bool IsPhantomRow(int row) const;
    // Why the row is red; empty for other rows and for no such row.
    const std::wstring& ReasonAt(int row) const;
    // The rows on screen, partly shown ones included: [first, last).
    std::pair<int, int> VisibleRows() const;

    // A ProgramColumn's number.
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return sortAscending_; }
    // Sorts by `column` in that direction from now on, rows and header
    // arrow alike. Selected and focused entries stay so, wherever they
    // move; the focused one is scrolled into view.
    void SetSort(int column, bool ascending);

    bool OnReflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool DrawsDark() const override { return look_ == theme::Look::Dark; }

private:
    // Puts sorted_ in sort order, then shows the filter's part of it.
    // False when there was no memory to sort: nothing moved.
    bool SortRows();
    // The rows of sorted_ the filter lets through.
    std::vector<std::size_t> Filtered() const;
    // Shows `next` (the model's rows, in order) in the items the control
    // has, adding and taking away items at the end, and brings item data,
    // selection and focus along: what stays shown stays selected.
    bool ShowOrder(std::vector<std::size_t> next);
    int InsertRowItem(int at);
    void ShowSortArrow();
    void IndexPositions();
    void AnswerDisplayInfo(LVITEMW& item) const;
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) const;
    void DrawBadge(const NMLVCUSTOMDRAW& draw) const;
    void DrawRulingLines();

    const ProgramRows* model_ = nullptr;
    std::vector<std::size_t> sorted_; // every model row, in sort order
    std::vector<std::size_t> order_;  // the model's row at each position shown
    std::vector<int> positionOf_;     // by the model's row
    std::vector<int> rowOfEntry_;     // current position by entry; -1 for none
    int sortColumn_ = 0;
    bool sortAscending_ = true;
    fw::Icon badge_;
    RowFilter filter_;
    bool filling_ = false;  // Show adds the items itself
    bool remaking_ = false; // ShowOrder empties the list to make its rows anew
    theme::Look look_ = theme::Look::Light;
    ColumnChoice columns_;
};
