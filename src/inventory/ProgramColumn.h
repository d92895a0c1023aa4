#pragma once
// The program list's columns, as Programs and Features shows them: each
// column's number is its sub-item in the list control, so Name and the
// uninstall command stay sub-items 0 and 1 for every program reading the
// list, whatever order and choice the user gives them on screen. Pure.

#include <array>

enum class ProgramColumn : int { Name, Command, Publisher, Version, InstalledOn, Size, Location, List };
constexpr int kProgramColumns = 8;

// How a column's rows compare: Name by the user's locale (as Windows sorts
// names), Path by the list's original rule (A-Z as a-z, the rest by code),
// Number by value. Blanks come last in either direction.
enum class SortKind { Name, Path, Number };

struct ColumnInfo {
    const wchar_t* title;
    int width;  // before the user widens it, at 100 % scale
    bool shownByDefault;
    SortKind sort;
    bool rightAligned;  // numbers line up on the right
};

inline const ColumnInfo& ColumnInfoOf(ProgramColumn column) {
    static constexpr std::array<ColumnInfo, kProgramColumns> kInfo{{
        {L"Add/Remove Program Entries", 260, true, SortKind::Name, false},
        {L"Uninstall Path", 600, true, SortKind::Path, false},
        {L"Publisher", 160, true, SortKind::Name, false},
        {L"Version", 90, true, SortKind::Name, false},
        {L"Installed On", 90, true, SortKind::Number, false},
        {L"Size", 70, true, SortKind::Number, true},
        {L"Location", 240, false, SortKind::Name, false},
        {L"List", 170, false, SortKind::Name, false},
    }};
    const int at = static_cast<int>(column);
    return kInfo[at >= 0 && at < kProgramColumns ? at : 0];
}

// The order a new user sees them in, left to right; the columns not shown
// by default come last.
constexpr std::array<ProgramColumn, kProgramColumns> kDefaultColumnOrder{
    ProgramColumn::Name,    ProgramColumn::Publisher, ProgramColumn::InstalledOn, ProgramColumn::Size,
    ProgramColumn::Version, ProgramColumn::Command,   ProgramColumn::Location,    ProgramColumn::List};
