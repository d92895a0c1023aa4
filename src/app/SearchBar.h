#pragma once
// The row above the main window's list: the search box, the quick filters
// beside it and the count of shown rows. It decides which of the list's
// rows are shown (the search rule, search_text::Matches, and the quick
// filter's list and colour) and says so; the window applies it to the list.

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "inventory/ProgramRows.h"

class SearchBar {
public:
    static constexpr const wchar_t* kCueText = L"Search names, publishers, commands";

    // The quick filters: which lists, and red rows only or not.
    enum class Lists { All, Machine, ThisUser, OtherUsers };
    struct Quick {
        Lists lists = Lists::All;
        bool redOnly = false;
        bool operator==(const Quick&) const = default;
    };

    // Once, in the window's initialisation: the controls' ids in `dialog`.
    void Attach(HWND dialog, int boxId, int quickId, int countId);
    // The quick filters the rows' lists call for (another user's lists
    // only where they were read), keeping the chosen one where it stays.
    void OfferLists(const ProgramRows& rows);

    std::wstring Text() const;
    Quick Chosen() const;
    // A search text or a quick filter other than All is on.
    bool Active() const;
    // The text and quick filter as they are now, to judge rows by.
    struct RowCriteria {
        std::wstring text;
        Quick quick;
        bool Passes(const ProgramRows& rows, std::size_t row) const;
    };
    RowCriteria Criteria() const { return {Text(), Chosen()}; }

    bool HasFocus() const;
    // Ctrl+F and F3: the box gets the focus, its text selected.
    void Focus();
    // Escape in the box: the text goes, the quick filter stays. False when
    // there was nothing to clear.
    bool Clear();
    // The box's own keys, before the window's accelerators and dialog
    // manager see them: Delete and Ctrl+A edit the text (never Remove or
    // select rows), Escape clears it, and Enter and Down take the focus to
    // `list` rather than start Uninstall. True when `message` was one.
    bool HandleKey(const MSG& message, HWND list);

    // "N of M shown" while a filter is on, nothing otherwise; `note` after it.
    void ShowCount(std::size_t shown, std::size_t total, const std::wstring& note = {});

    HWND Box() const { return box_; }
    HWND QuickBox() const { return quick_; }

private:
    HWND box_ = nullptr;
    HWND quick_ = nullptr;
    HWND count_ = nullptr;
    std::vector<Quick> offered_;  // by the quick box's item
};
