#include "app/WindowLayout.h"

#include <algorithm>
#include <vector>

#include "BuildConfig.h"
#include "app/SettingsNumbers.h"
#include "framework/Dpi.h"
#include "registry/SettingsStore.h"

namespace {

constexpr const char* kSettingsKey = ZALTROW_SETTINGS_KEY;
// What the window remembers between starts, under kSettingsKey, in pixels
// at 100 % scale.
constexpr const char* kPlacementValue = "WindowPlacement";  // left,top,width,height,maximized
constexpr const char* kColumnsValue = "ColumnWidths";
constexpr const char* kSortValue = "SortOrder";            // column,ascending
constexpr int kColumns = ProgramRows::kColumns;
constexpr int kStoredDpi = fw::kDefaultDpi;

}  // namespace

WindowLayout::Stored WindowLayout::Load(HWND window, ProgramListCtrl& list, UINT windowDpi, SIZE minimum) {
    Stored restored;
    SettingsStore store;
    const int dpi = static_cast<int>(windowDpi);
    using settings_numbers::Scale;
    const std::vector<int> sort = settings_numbers::Split(store.ReadString(kSettingsKey, kSortValue, HKEY_CURRENT_USER), 2);
    if (!sort.empty() && sort[0] >= 0 && sort[0] < kColumns) list.SetSort(sort[0], sort[1] != 0);

    const std::vector<int> widths =
        settings_numbers::Split(store.ReadString(kSettingsKey, kColumnsValue, HKEY_CURRENT_USER), kColumns);
    for (std::size_t column = 0; column < widths.size(); ++column) {
        if (widths[column] > 0) {
            SendMessageW(list.Hwnd(), LVM_SETCOLUMNWIDTH, column, Scale(widths[column], kStoredDpi, dpi));
            restored.columns = true;
        }
    }

    const std::vector<int> box =
        settings_numbers::Split(store.ReadString(kSettingsKey, kPlacementValue, HKEY_CURRENT_USER), 5);
    if (box.empty()) return restored;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return restored;
    RECT& normal = placement.rcNormalPosition;
    // Never smaller than the window opens: the controls would overlap.
    const int width = std::max<int>(Scale(box[2], kStoredDpi, dpi), minimum.cx);
    const int height = std::max<int>(Scale(box[3], kStoredDpi, dpi), minimum.cy);
    RECT stored{Scale(box[0], kStoredDpi, dpi), Scale(box[1], kStoredDpi, dpi), 0, 0};
    stored.right = stored.left + width;
    stored.bottom = stored.top + height;
    // A place on a screen that is no longer there keeps the centred one.
    if (MonitorFromRect(&stored, MONITOR_DEFAULTTONULL)) {
        normal = stored;
    } else {
        normal.right = normal.left + width;
        normal.bottom = normal.top + height;
    }
    placement.showCmd = box[4] ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    placement.flags = 0;
    restored.placement = SetWindowPlacement(window, &placement) != FALSE;
    return restored;
}

void WindowLayout::Save(HWND window, const ProgramListCtrl& list, UINT windowDpi) {
    SettingsStore store;
    const int dpi = static_cast<int>(windowDpi);
    using settings_numbers::Scale;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window, &placement)) {
        const RECT& normal = placement.rcNormalPosition;
        const bool maximized = placement.showCmd == SW_SHOWMAXIMIZED ||
                               (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED));
        store.WriteString(kSettingsKey, kPlacementValue,
                          settings_numbers::Join({Scale(normal.left, dpi, kStoredDpi), Scale(normal.top, dpi, kStoredDpi),
                                                  Scale(normal.right - normal.left, dpi, kStoredDpi),
                                                  Scale(normal.bottom - normal.top, dpi, kStoredDpi), maximized ? 1 : 0}));
    }
    std::vector<int> widths;
    for (int column = 0; column < kColumns; ++column)
        widths.push_back(
            Scale(static_cast<int>(SendMessageW(list.Hwnd(), LVM_GETCOLUMNWIDTH, column, 0)), dpi, kStoredDpi));
    store.WriteString(kSettingsKey, kColumnsValue, settings_numbers::Join(widths));
    store.WriteString(kSettingsKey, kSortValue,
                      settings_numbers::Join({list.SortColumn(), list.SortAscending() ? 1 : 0}));
}

