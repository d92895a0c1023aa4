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
constexpr const char* kColumnsValue = "ColumnWidths";   // by ProgramColumn number
constexpr const char* kOrderValue = "ColumnOrder";      // ProgramColumn numbers, left to right
constexpr const char* kShownValue = "ColumnsShown";     // 1 or 0 by ProgramColumn number
constexpr const char* kSortValue = "SortOrder";            // column,ascending
constexpr int kColumns = ProgramRows::kColumns;
// Name and the uninstall command, all an earlier version had.
constexpr int kFirstColumns = 2;
constexpr int kStoredDpi = fw::kDefaultDpi;

}  // namespace

WindowLayout::Stored WindowLayout::Load(HWND window, ProgramListCtrl& list, UINT windowDpi, SIZE minimum) {
    Stored restored;
    SettingsStore store;
    const int dpi = static_cast<int>(windowDpi);
    using settings_numbers::Scale;
    const auto read = [&store](const char* value, std::size_t count) {
        return settings_numbers::Split(store.ReadString(kSettingsKey, value, HKEY_CURRENT_USER), count);
    };
    ColumnChoice::Layout layout = ColumnChoice::DefaultLayout(windowDpi);
    std::vector<int> widths = read(kColumnsValue, kColumns);
    if (widths.empty()) widths = read(kColumnsValue, kFirstColumns);
    for (std::size_t column = 0; column < widths.size(); ++column) {
        if (widths[column] > 0) {
            layout.widths[column] = Scale(widths[column], kStoredDpi, dpi);
            restored.columns = true;
        }
    }
    const std::vector<int> order = read(kOrderValue, kColumns);
    if (!order.empty()) std::copy(order.begin(), order.end(), layout.order.begin());
    const std::vector<int> shown = read(kShownValue, kColumns);
    for (std::size_t column = 0; column < shown.size(); ++column) layout.shown[column] = shown[column] != 0;
    list.Columns().Apply(list, layout);

    const std::vector<int> sort = read(kSortValue, 2);
    if (!sort.empty() && sort[0] >= 0 && sort[0] < kColumns && list.Columns().Shown(static_cast<ProgramColumn>(sort[0])))
        list.SetSort(sort[0], sort[1] != 0);
    else
        list.SetSort(list.SortColumn(), list.SortAscending());  // the arrow on its column

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
    const ColumnChoice::Layout layout = list.Columns().Current(list);
    std::vector<int> widths, order, shown;
    for (int column = 0; column < kColumns; ++column) {
        widths.push_back(Scale(layout.widths[column], dpi, kStoredDpi));
        order.push_back(layout.order[column]);
        shown.push_back(layout.shown[column] ? 1 : 0);
    }
    store.WriteString(kSettingsKey, kColumnsValue, settings_numbers::Join(widths));
    store.WriteString(kSettingsKey, kOrderValue, settings_numbers::Join(order));
    store.WriteString(kSettingsKey, kShownValue, settings_numbers::Join(shown));
    store.WriteString(kSettingsKey, kSortValue,
                      settings_numbers::Join({list.SortColumn(), list.SortAscending() ? 1 : 0}));
}

